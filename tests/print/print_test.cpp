// "Print" with a recording printer: what goes to the printer and what the user is told.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/main.h"
#include "core/print_page.h"
#include "support/app_fixture.h"
#include "ui/frm_main.h"

namespace {

using testing_support::AppTest;

class PrintTest : public AppTest {
 protected:
  app::Main& StartWithStore() {
    SetStore("[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer.exe\r\n");
    return Start();
  }

  // Presses "Print" the way a click reaches the window.
  void PressPrint() {
    ui::frm_main& window = program().MainWindow();
    SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(ui::frm_main::btn_print, BN_CLICKED),
                 reinterpret_cast<LPARAM>(window.Control(ui::frm_main::btn_print)));
  }
};

TEST_F(PrintTest, EachPressPrintsThePageOfTheKeyInTheRegistryAtThatMoment) {
  InstallInRegistry("SHOWN-KEY", "name", "sig");
  app::Main& m = StartWithStore();
  // Changed behind the program's back after the label was filled: the new value is printed.
  key_.SetString(L"InstallKey", "NEW KEY 42");
  PressPrint();
  key_.SetString(L"InstallKey", "THIRD-KEY");
  PressPrint();

  ASSERT_EQ(printer_.pages.size(), 2u);
  const core::PrintedLine& first = printer_.pages[0];
  EXPECT_EQ(first.text, L"NEW KEY 42");  // the key alone: no label, no account name
  EXPECT_EQ(first.face, L"Arial");
  EXPECT_EQ(first.points, 24);
  EXPECT_TRUE(first.bold);
  EXPECT_TRUE(first.italic);
  EXPECT_EQ(first.colour, (core::TextColour{0, 0, 0}));
  EXPECT_EQ(printer_.pages[1], core::InstalledIdLine(L"THIRD-KEY"));

  EXPECT_TRUE(prompts_.asked.empty()) << "a print that worked shows no message";
  EXPECT_EQ(m.CurrentId.InstallKey, L"THIRD-KEY");
  EXPECT_EQ(m.CurrentId.MPAccountName, L"name");
}

TEST_F(PrintTest, AMissingOrEmptyKeyPrintsAnEmptyLineWithoutAMessage) {
  InstallInRegistry("", "name", "sig");
  StartWithStore();
  PressPrint();
  key_.Delete();  // no game key at all
  PressPrint();

  ASSERT_EQ(printer_.pages.size(), 2u);
  EXPECT_EQ(printer_.pages[0], core::InstalledIdLine(L""));
  EXPECT_EQ(printer_.pages[1], core::InstalledIdLine(L""));
  EXPECT_TRUE(prompts_.asked.empty());
}

TEST_F(PrintTest, AFailedPrintShowsOnlyThePrintErrorBox) {
  InstallInRegistry("KEY-1", "name", "sig");
  app::Main& m = StartWithStore();
  printer_.fail_with = ERROR_INVALID_PRINTER_NAME;
  prompts_.Answer(app::Prompts::Answer::Ok);
  PressPrint();

  ASSERT_EQ(prompts_.asked.size(), 1u);
  EXPECT_EQ(prompts_.asked[0].text, L"Unable to print.\r\nCheck your printer is plugged in and switch on ;)");
  EXPECT_EQ(prompts_.asked[0].title, L"Quorvel - Print Error");
  EXPECT_EQ(prompts_.asked[0].buttons, app::Prompts::Buttons::Ok);
  EXPECT_EQ(prompts_.asked[0].icon, app::Prompts::Icon::Stop);
  EXPECT_TRUE(prompts_.Drained());
  // The program goes on as before.
  EXPECT_FALSE(m.Ended());
  EXPECT_EQ(m.MainWindow().Text(ui::frm_main::lbl_currentid), L"KEY-1");
}

}  // namespace

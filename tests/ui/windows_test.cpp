// The four windows: their designs, one instance each, created hidden on first touch, destroyed by the
// close box and made afresh on the next touch, and every control where its row says at 96 and 144 DPI.
#include <gtest/gtest.h>

#include <tuple>

#include "app/main.h"
#include "support/app_fixture.h"
#include "ui/frm_about.h"
#include "ui/frm_main.h"
#include "ui/frm_mng_ids.h"
#include "ui/frm_save_id.h"

namespace {

using Answer = app::Prompts::Answer;

constexpr char kStore[] =
    "[QRVL_Settings]\r\nFLPATH=C:\\FL\\Freelancer.exe\r\n"
    "[FLID_1]\r\nINSTALL=one\r\nMAN=1\r\nMANS=1\r\n"
    "[FLID_2]\r\nINSTALL=two\r\nMAN=2\r\nMANS=2\r\n";

class WindowsTest : public testing_support::AppTest {
 protected:
  void SetUp() override {
    SetStore(kStore);
    InstallInRegistry("installed", "n", "s");
    Start();
  }
  int CountTopLevel(const wchar_t* title) {
    int count = 0;
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, nullptr, title)) != nullptr)
      if (GetWindowThreadProcessId(found, nullptr) == GetCurrentThreadId()) ++count;
    return count;
  }
};

RECT ClientRectOf(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Checks every control of a window against its row at the window's DPI, and the client size.
void ExpectLaidOutAsDesigned(ui::Window& w, int client_height_twips) {
  const UINT dpi = w.Dpi();
  for (const ui::ControlRow& row : w.design().rows) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(row.name)) + " at " + std::to_string(dpi) + " dpi");
    const HWND control = w.Control(row.id);
    ASSERT_NE(control, nullptr);
    const RECT want = w.RowRect(row);
    const RECT got = ClientRectOf(control);
    EXPECT_EQ(std::tuple(got.left, got.top, got.right), std::tuple(want.left, want.top, want.right));
    if (row.kind != ui::Kind::Combo) {  // a combo's height is its edit field's, set by the system
      EXPECT_EQ(got.bottom, want.bottom);
    }
    if (row.kind != ui::Kind::Combo && row.kind != ui::Kind::Edit && row.caption[0] != L'\0') {
      EXPECT_EQ(w.Text(row.id), std::wstring(row.caption)) << "caption";
    }
    const bool bold = [&] {
      LOGFONTW lf{};
      GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof lf, &lf);
      return lf.lfWeight >= FW_BOLD;
    }();
    EXPECT_EQ(bold, row.bold);
  }
  RECT client;
  GetClientRect(w.hwnd(), &client);
  EXPECT_EQ(client.right, ui::TwipsToPixels(w.design().client_width, dpi));
  // The system keeps a window within the screen: a tall window at a high DPI on a small screen is cut.
  if (ui::TwipsToPixels(client_height_twips, dpi) + 60 < GetSystemMetrics(SM_CYSCREEN)) {
    EXPECT_EQ(client.bottom, ui::TwipsToPixels(client_height_twips, dpi));
  }
}

TEST_F(WindowsTest, EveryControlStandsWhereItsRowSaysAt96And144Dpi) {
  app::Main& m = program();
  struct Case {
    ui::Window* window;
    int client_height;
  };
  m.MainWindow().about_Click();
  for (const Case& c : {Case{&m.MainWindow(), 3375}, Case{&m.MngIdsWindow(), 4410 - 480},
                        Case{&m.SaveIdWindow(), 1470}, Case{&m.AboutWindow(), 7815}}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.window->design().title)));
    ASSERT_EQ(c.window->Dpi(), 96u);
    ExpectLaidOutAsDesigned(*c.window, c.client_height);
    // Moved to a 144 DPI monitor: the window follows the suggested place and lays itself out again.
    RECT suggested{10, 10, 500, 500};
    SendMessageW(c.window->hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    ASSERT_EQ(c.window->Dpi(), 144u);
    ExpectLaidOutAsDesigned(*c.window, c.client_height);
  }
}

// Each window opened twice: one instance, shown, with its title, a fixed border, a close box and no owner.
TEST_F(WindowsTest, OneOwnerlessInstanceEachWithItsTitleBorderAndMenu) {
  app::Main& m = program();
  m.MainWindow().Show();
  for (int i = 0; i < 2; ++i) {
    m.MainWindow().about_Click();
    m.MainWindow().btn_mng_ids_Click();
    m.MainWindow().btn_saveid_Click();
  }
  const std::pair<ui::Window*, const wchar_t*> windows[] = {{&m.MainWindow(), L"Quorvel - Main"},
                                                             {&m.MngIdsWindow(), L"Quorvel - Manage saved IDs"},
                                                             {&m.SaveIdWindow(), L"Quorvel - Save FL ID"},
                                                             {&m.AboutWindow(), L"About"}};
  for (const auto& [w, title] : windows) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(title)));
    EXPECT_EQ(CountTopLevel(title), 1);
    wchar_t shown[64] = {};
    GetWindowTextW(w->hwnd(), shown, 64);
    EXPECT_STREQ(shown, title);
    const LONG_PTR style = GetWindowLongPtrW(w->hwnd(), GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME) << "fixed border";
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU) << "close box";
    EXPECT_EQ(GetWindow(w->hwnd(), GW_OWNER), nullptr) << "modeless and ownerless";
    EXPECT_TRUE(w->Visible());
  }

  const HMENU menu = GetMenu(m.MainWindow().hwnd());
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 1);
  wchar_t item[16] = {};
  GetMenuStringW(menu, 0, item, 16, MF_BYPOSITION);
  EXPECT_STREQ(item, L"Info");
  EXPECT_EQ(GetSubMenu(menu, 0), nullptr);
}

TEST_F(WindowsTest, ManageListHoldsEverySavedIdOnceHoweverOftenItIsOpened) {
  app::Main& m = program();
  m.MainWindow().btn_mng_ids_Click();
  m.MainWindow().btn_mng_ids_Click();
  ui::frm_mng_ids& w = m.MngIdsWindow();
  ASSERT_EQ(w.ItemCount(), 2);
  EXPECT_EQ(w.ItemText(0), L"one");
  EXPECT_EQ(w.ItemText(1), L"two");

  // An ID saved meanwhile shows at the next press, not before.
  prompts_.Answer(Answer::Ok);
  m.SaveInstalledId();
  EXPECT_EQ(w.ItemCount(), 2);
  m.MainWindow().btn_mng_ids_Click();
  ASSERT_EQ(w.ItemCount(), 3);
  EXPECT_EQ(w.ItemText(2), L"installed");
}

TEST_F(WindowsTest, ManageWindowOpensCompactAndSwitchesHeight) {
  app::Main& m = program();
  m.MainWindow().btn_mng_ids_Click();
  ui::frm_mng_ids& w = m.MngIdsWindow();
  // Outer and client height: the designed outer heights 4410 (compact, cutting off the description
  // editor) and 6375 twips include a 480-twip frame.
  const auto heights = [&] {
    RECT outer, client;
    GetWindowRect(w.hwnd(), &outer);
    GetClientRect(w.hwnd(), &client);
    return std::pair<int, int>(outer.bottom - outer.top, client.bottom);
  };
  const int compact = ui::TwipsToPixels(4410 - 480, 96), expanded = ui::TwipsToPixels(6375 - 480, 96);
  const int frame = heights().first - heights().second;
  EXPECT_EQ(heights().second, compact);
  for (int i = 0; i < 2; ++i) {
    w.btn_disc_Click();
    EXPECT_EQ(heights(), std::pair(expanded + frame, expanded));
  }
  for (int i = 0; i < 2; ++i) {
    w.btn_cancel_Click();
    EXPECT_EQ(heights(), std::pair(compact + frame, compact));
  }

  // Closed while expanded, it comes back compact, with its list filled and an empty installed-ID label.
  w.btn_disc_Click();
  SendMessageW(w.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(m.MngIdsExists());
  m.MainWindow().btn_mng_ids_Click();
  EXPECT_EQ(heights().second, compact);
  EXPECT_EQ(w.ItemCount(), 2);
  EXPECT_EQ(w.Text(ui::frm_mng_ids::lbl_current_id), L"");
  EXPECT_EQ(w.Text(ui::frm_mng_ids::cmbo_flids), L"- Select ID -");
}

TEST_F(WindowsTest, ARefreshRecreatesClosedWindowsHiddenWithTheirLabels) {
  app::Main& m = program();
  m.MainWindow().btn_mng_ids_Click();
  SendMessageW(m.MngIdsWindow().hwnd(), WM_CLOSE, 0, 0);
  SendMessageW(m.SaveIdWindow().hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(m.MngIdsExists());
  EXPECT_FALSE(m.SaveIdExists());
  m.MainWindow().btn_refresh_Click();
  ASSERT_TRUE(m.MngIdsExists());
  EXPECT_FALSE(m.MngIdsWindow().Visible());
  EXPECT_EQ(m.MngIdsWindow().Text(ui::frm_mng_ids::lbl_current_id), L"installed");
  EXPECT_EQ(m.SaveIdWindow().Text(ui::frm_save_id::lbl_current_id), L"installed");
}

TEST_F(WindowsTest, ClosingTheMainWindowEndsEverythingWithoutAsking) {
  app::Main& m = program();
  m.MainWindow().about_Click();
  m.MainWindow().btn_mng_ids_Click();
  m.MainWindow().btn_saveid_Click();
  const std::string before = Store();
  SendMessageW(m.MainWindow().hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(m.Ended());
  EXPECT_FALSE(m.MngIdsExists());
  EXPECT_FALSE(m.SaveIdExists());
  EXPECT_FALSE(m.AboutExists());
  EXPECT_EQ(CountTopLevel(L"Quorvel - Main"), 0);
  EXPECT_TRUE(prompts_.asked.empty());
  EXPECT_EQ(Store(), before);
}

TEST_F(WindowsTest, InformationWindowShowsItsParagraphsInReadingOrder) {
  app::Main& m = program();
  m.MainWindow().about_Click();
  ui::frm_about& w = m.AboutWindow();
  const int order[] = {ui::frm_about::Label3, ui::frm_about::Label4, ui::frm_about::Label5, ui::frm_about::Label8,
                       ui::frm_about::Label6, ui::frm_about::Label7, ui::frm_about::Label9};
  int last_top = -1;
  for (int id : order) {
    const RECT r = ClientRectOf(w.Control(id));
    EXPECT_GT(r.top, last_top);
    last_top = r.top;
  }
  EXPECT_NE(w.Text(ui::frm_about::Label4).find(L"IDs.     It will NOT"), std::wstring::npos);
  for (int id : {ui::frm_about::Label3, ui::frm_about::Label4, ui::frm_about::Label5})
    EXPECT_EQ(w.Text(id).back(), L' ');
  EXPECT_NE(w.Text(ui::frm_about::Label1).find(L"1.1"), std::wstring::npos);
}

}  // namespace

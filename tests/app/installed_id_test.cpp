// Showing, refreshing, installing and clearing the installed ID against the real registry.
#include <gtest/gtest.h>

#include "app/main.h"
#include "support/app_fixture.h"
#include "ui/frm_main.h"
#include "ui/frm_mng_ids.h"
#include "ui/frm_save_id.h"

namespace {

using testing_support::AppTest;
using Answer = app::Prompts::Answer;
using Buttons = app::Prompts::Buttons;
using Icon = app::Prompts::Icon;

// What the program leaves in a value it wrote: the text, then zero bytes up to 255.
std::string Padded(std::string_view text) {
  std::string data(text);
  data.resize(255, '\0');
  return data;
}

constexpr char kTwoIds[] =
    "[QRVL_Settings]\r\nFLPATH=C:\\FL\\Freelancer.exe\r\n"
    "[FLID_1]\r\nINSTALL=key-one\r\nMAN=man-one\r\nMANS=sig-one\r\n"
    "[FLID_2]\r\nINSTALL=key-two\r\nMAN=\r\nMANS=sig-two\r\n";

class InstalledIdTest : public AppTest {
 protected:
  std::wstring Labels() {
    app::Main& m = program();
    return m.MainWindow().Text(ui::frm_main::lbl_currentid) + L"/" +
           m.MngIdsWindow().Text(ui::frm_mng_ids::lbl_current_id) + L"/" +
           m.SaveIdWindow().Text(ui::frm_save_id::lbl_current_id);
  }
};

TEST_F(InstalledIdTest, ShowsTheInstallKeyInAllThreeLabelsAndRefreshesOnlyOnRequest) {
  SetStore(kTwoIds);
  InstallInRegistry("first", "n", "s");
  app::Main& m = Start();
  EXPECT_EQ(Labels(), L"first/first/first");
  EXPECT_EQ(m.CurrentId.MPAccountName, L"n");
  EXPECT_EQ(m.CurrentId.MPAccountNameSig, L"s");

  key_.SetString(L"InstallKey", "second");
  EXPECT_EQ(Labels(), L"first/first/first");
  m.MainWindow().btn_refresh_Click();
  EXPECT_EQ(Labels(), L"second/second/second");
}

TEST_F(InstalledIdTest, MissingKeyOrValuesShowEmptyLabels) {
  key_.Delete();
  SetStore(kTwoIds);
  app::Main& m = Start();
  EXPECT_EQ(Labels(), L"//");
  EXPECT_EQ(m.CurrentId.InstallKey, L"");
  EXPECT_FALSE(key_.Exists());
}

TEST_F(InstalledIdTest, InstallWritesTheSavedRowPaddedTo255BytesThenRefreshesAndSaysDone) {
  SetStore(kTwoIds);
  InstallInRegistry("old", "old-man", "old-sig");
  app::Main& m = Start();
  prompts_.Answer(Answer::Yes);
  prompts_.Answer(Answer::Ok);
  m.InstallSavedId(2);

  EXPECT_EQ(RegistryValue(L"InstallKey"), Padded("key-two"));
  EXPECT_EQ(RegistryValue(L"MPAccountName"), Padded(""));  // an empty saved value blanks, never deletes
  EXPECT_EQ(RegistryValue(L"MPAccountNameSig"), Padded("sig-two"));
  EXPECT_EQ(Labels(), L"key-two/key-two/key-two");
  ASSERT_EQ(prompts_.asked.size(), 2u);
  EXPECT_EQ(prompts_.asked[0].text, L"This will reset your FL ID to the one selected, continue?");
  EXPECT_EQ(prompts_.asked[0].title, L"Quorvel");
  EXPECT_EQ(prompts_.asked[0].buttons, Buttons::YesNo);
  EXPECT_EQ(prompts_.asked[0].icon, Icon::None);
  EXPECT_EQ(prompts_.asked[1].text, L"FL ID Changed.");
  EXPECT_EQ(prompts_.asked[1].title, L"Done!");
  EXPECT_EQ(prompts_.asked[1].icon, Icon::Information);
}

TEST_F(InstalledIdTest, AnsweringNoChangesNothingAndSaysNothingMore) {
  SetStore(kTwoIds);
  InstallInRegistry("old", "old-man", "old-sig");
  app::Main& m = Start();
  prompts_.Answer(Answer::No);
  m.InstallSavedId(1);
  prompts_.Answer(Answer::No);
  m.ClearInstalledId();
  EXPECT_EQ(prompts_.asked.size(), 2u);
  EXPECT_EQ(RegistryValue(L"InstallKey"), std::string("old\0", 4));
}

TEST_F(InstalledIdTest, RowsOutsideTheTableAreIgnored) {
  SetStore(kTwoIds);
  app::Main& m = Start();
  for (std::int16_t row : {std::int16_t{0}, std::int16_t{-1}, std::int16_t{3}, std::int16_t{32767}})
    m.InstallSavedId(row);
  EXPECT_TRUE(prompts_.asked.empty());
}

TEST_F(InstalledIdTest, FailedWritesAreReportedInsteadOfDoneAndTheKeyIsNotCreated) {
  SetStore(kTwoIds);
  key_.Delete();  // the game was never installed for this user
  app::Main& m = Start();

  prompts_.Answer(Answer::Yes);
  prompts_.Answer(Answer::Ok);
  m.InstallSavedId(1);
  prompts_.Answer(Answer::Yes);
  prompts_.Answer(Answer::Ok);
  m.ClearInstalledId();

  ASSERT_EQ(prompts_.asked.size(), 4u);
  for (size_t i : {1u, 3u}) {
    EXPECT_EQ(prompts_.asked[i].title, L"Quorvel - Registry Error");
    EXPECT_EQ(prompts_.asked[i].icon, Icon::Stop);
    EXPECT_NE(prompts_.asked[i].text.find(L"InstallKey, MPAccountName, MPAccountNameSig"), std::wstring::npos)
        << testing::PrintToString(prompts_.asked[i].text);
    EXPECT_NE(prompts_.asked[i].text.find(key_.path()), std::wstring::npos);
  }
  EXPECT_NE(prompts_.asked[1].text.find(L"not changed"), std::wstring::npos);
  EXPECT_NE(prompts_.asked[3].text.find(L"not cleared"), std::wstring::npos);
  EXPECT_FALSE(key_.Exists());
  EXPECT_EQ(Labels(), L"//");
}

TEST_F(InstalledIdTest, ClearBlanksTheThreeValuesWithoutDeletingThem) {
  SetStore(kTwoIds);
  InstallInRegistry("old", "old-man", "old-sig");
  app::Main& m = Start();
  prompts_.Answer(Answer::Yes);
  prompts_.Answer(Answer::Ok);
  m.MainWindow().btn_clearid_Click();

  for (const wchar_t* name : {L"InstallKey", L"MPAccountName", L"MPAccountNameSig"})
    EXPECT_EQ(RegistryValue(name), std::string(255, '\0')) << testing::PrintToString(std::wstring(name));
  EXPECT_EQ(m.CurrentId.InstallKey, L"");
  EXPECT_EQ(m.CurrentId.MPAccountNameSig, L"");
  EXPECT_EQ(Labels(), L"//");
  ASSERT_EQ(prompts_.asked.size(), 2u);
  EXPECT_EQ(prompts_.asked[0].text, L"This will clear the current installed FL ID, continue?");
  EXPECT_EQ(prompts_.asked[0].title, L"Sure?");
  EXPECT_EQ(prompts_.asked[1].text, L"FL ID Cleard!");
  EXPECT_EQ(prompts_.asked[1].title, L"Done!");
}

TEST_F(InstalledIdTest, ChangeButtonNeedsASelectionAndInstallsTheSelectedRow) {
  SetStore(kTwoIds);
  InstallInRegistry("old", "old-man", "old-sig");
  app::Main& m = Start();
  m.MainWindow().btn_mng_ids_Click();
  ui::frm_mng_ids& w = m.MngIdsWindow();

  prompts_.Answer(Answer::Ok);
  w.btn_changeit_Click();
  ASSERT_EQ(prompts_.asked.size(), 1u);
  EXPECT_EQ(prompts_.asked[0].text, L"Please select an ID!");
  EXPECT_EQ(prompts_.asked[0].title, L"Oops!");
  EXPECT_EQ(prompts_.asked[0].buttons, Buttons::Ok);
  EXPECT_EQ(prompts_.asked[0].icon, Icon::Exclamation);

  // Typed text in the combo's edit field counts as no selection.
  SendMessageW(w.Control(ui::frm_mng_ids::cmbo_flids), CB_SETCURSEL, 0, 0);
  SetWindowTextW(w.Control(ui::frm_mng_ids::cmbo_flids), L"typed");
  SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(ui::frm_mng_ids::cmbo_flids, CBN_EDITCHANGE),
               reinterpret_cast<LPARAM>(w.Control(ui::frm_mng_ids::cmbo_flids)));
  EXPECT_EQ(w.SelectedIndex(), -1);
  EXPECT_EQ(w.Text(ui::frm_mng_ids::cmbo_flids), L"typed");
  prompts_.Answer(Answer::Ok);
  w.btn_changeit_Click();
  EXPECT_EQ(prompts_.asked.back().text, L"Please select an ID!");

  SendMessageW(w.Control(ui::frm_mng_ids::cmbo_flids), CB_SETCURSEL, 1, 0);
  prompts_.Answer(Answer::Yes);
  prompts_.Answer(Answer::Ok);
  w.btn_changeit_Click();
  EXPECT_EQ(RegistryValue(L"InstallKey"), Padded("key-two"));
  EXPECT_EQ(prompts_.asked.back().text, L"FL ID Changed.");
}

}  // namespace

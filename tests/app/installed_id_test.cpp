// Showing, refreshing, installing and clearing the installed ID against the real registry.
#include <gtest/gtest.h>

#include "app/main.h"
#include "boxes.h"
#include "support/app_fixture.h"
#include "ui/frm_main.h"
#include "ui/frm_mng_ids.h"
#include "ui/frm_save_id.h"

namespace {

using boxes::Box;
using Answer = app::Prompts::Answer;
using Buttons = app::Prompts::Buttons;
using Icon = app::Prompts::Icon;

constexpr char kTwoIds[] =
    "[QRVL_Settings]\r\nFLPATH=C:\\FL\\Freelancer.exe\r\n"
    "[FLID_1]\r\nINSTALL=key-one\r\nMAN=man-one\r\nMANS=sig-one\r\n"
    "[FLID_2]\r\nINSTALL=key-two\r\nMAN=\r\nMANS=sig-two\r\n";

// What the program leaves in a value it wrote: the text, then zero bytes up to 255.
std::string Padded(std::string_view text) {
  std::string data(text);
  data.resize(255, '\0');
  return data;
}

class InstalledIdTest : public testing_support::AppTest {
 protected:
  // Starts on two saved IDs, with an installed ID unless `installed` is false (no game key at all).
  app::Main& StartOnTwoIds(bool installed = true) {
    SetStore(kTwoIds);
    if (installed) {
      InstallInRegistry("old", "old-man", "old-sig");
    } else {
      key_.Delete();
    }
    return Start();
  }
  std::wstring Labels() {
    app::Main& m = program();
    return m.MainWindow().Text(ui::frm_main::lbl_currentid) + L"/" +
           m.MngIdsWindow().Text(ui::frm_mng_ids::lbl_current_id) + L"/" +
           m.SaveIdWindow().Text(ui::frm_save_id::lbl_current_id);
  }
  std::string Registry() {
    return RegistryValue(L"InstallKey") + "/" + RegistryValue(L"MPAccountName") + "/" + RegistryValue(L"MPAccountNameSig");
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
  app::Main& m = StartOnTwoIds(false);
  EXPECT_EQ(Labels(), L"//");
  EXPECT_EQ(m.CurrentId.InstallKey, L"");
  EXPECT_FALSE(key_.Exists());
}

// "Change FL ID" installs the picked item's row: each value padded to 255 bytes, an empty one blanked,
// never deleted; then the labels are refreshed.
TEST_F(InstalledIdTest, ChangeInstallsThePickedRowThenRefreshesAndSaysDone) {
  app::Main& m = StartOnTwoIds();
  m.MainWindow().btn_mng_ids_Click();
  SendMessageW(m.MngIdsWindow().Control(ui::frm_mng_ids::cmbo_flids), CB_SETCURSEL, 1, 0);
  prompts_.Answer(Answer::Yes);
  prompts_.Answer(Answer::Ok);
  m.MngIdsWindow().btn_changeit_Click();
  EXPECT_EQ(Registry(), Padded("key-two") + "/" + Padded("") + "/" + Padded("sig-two"));
  EXPECT_EQ(Labels(), L"key-two/key-two/key-two");
  EXPECT_EQ(boxes::Asked(prompts_),
            (std::vector<Box>{{L"This will reset your FL ID to the one selected, continue?", L"Quorvel", Buttons::YesNo, Icon::None},
                              {L"FL ID Changed.", L"Done!", Buttons::Ok, Icon::Information}}));
}

TEST_F(InstalledIdTest, ClearBlanksTheThreeValuesWithoutDeletingThem) {
  app::Main& m = StartOnTwoIds();
  prompts_.Answer(Answer::Yes);
  prompts_.Answer(Answer::Ok);
  m.MainWindow().btn_clearid_Click();
  EXPECT_EQ(Registry(), Padded("") + "/" + Padded("") + "/" + Padded(""));
  EXPECT_EQ(m.CurrentId.InstallKey, L"");
  EXPECT_EQ(m.CurrentId.MPAccountNameSig, L"");
  EXPECT_EQ(Labels(), L"//");
  EXPECT_EQ(boxes::Asked(prompts_),
            (std::vector<Box>{{L"This will clear the current installed FL ID, continue?", L"Sure?", Buttons::YesNo, Icon::None},
                              {L"FL ID Cleard!", L"Done!", Buttons::Ok, Icon::Information}}));
}

TEST_F(InstalledIdTest, AnsweringNoOrARowOutsideTheTableChangesNothing) {
  app::Main& m = StartOnTwoIds();
  prompts_.Answer(Answer::No);
  m.InstallSavedId(1);
  prompts_.Answer(Answer::No);
  m.ClearInstalledId();
  EXPECT_EQ(prompts_.asked.size(), 2u);
  for (const int row : {0, -1, 3, 32767}) m.InstallSavedId(static_cast<std::int16_t>(row));  // asks nothing, fails nothing
  EXPECT_EQ(prompts_.asked.size(), 2u);
  EXPECT_EQ(Registry(), std::string("old\0/old-man\0/old-sig\0", 22));
}

TEST_F(InstalledIdTest, FailedWritesAreReportedInsteadOfDoneAndTheKeyIsNotCreated) {
  app::Main& m = StartOnTwoIds(false);  // the game was never installed for this user
  for (int i = 0; i < 4; ++i) prompts_.Answer(i % 2 ? Answer::Ok : Answer::Yes);
  m.InstallSavedId(1);
  m.ClearInstalledId();
  ASSERT_EQ(prompts_.asked.size(), 4u);
  boxes::ExpectStop(prompts_.asked[1], L"Quorvel - Registry Error",
                    {L"InstallKey, MPAccountName, MPAccountNameSig", key_.path(), L"not changed"});
  boxes::ExpectStop(prompts_.asked[3], L"Quorvel - Registry Error",
                    {L"InstallKey, MPAccountName, MPAccountNameSig", key_.path(), L"not cleared"});
  EXPECT_FALSE(key_.Exists());
  EXPECT_EQ(Labels(), L"//");
}

}  // namespace

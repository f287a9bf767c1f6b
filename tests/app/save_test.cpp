// Saving the installed ID into the store.
#include <gtest/gtest.h>

#include "app/main.h"
#include "support/app_fixture.h"
#include "ui/frm_main.h"
#include "ui/frm_mng_ids.h"
#include "ui/frm_save_id.h"

namespace {

using testing_support::AppTest;
using Answer = app::Prompts::Answer;
using Icon = app::Prompts::Icon;

constexpr char kSettings[] = "[QRVL_Settings]\r\nFLPATH=C:\\FL\\Freelancer.exe\r\nFLIPS=1.2.3.4\r\n";
constexpr char kSavedMessage[] = "FL ID Saved!\r\nGo to the ID manager to add a discription/change id";

std::string Section(int n, std::string_view key, std::string_view man, std::string_view sig) {
  return "[FLID_" + std::to_string(n) + "]\r\nINSTALL=" + std::string(key) + "\r\nMAN=" + std::string(man) +
         "\r\nMANS=" + std::string(sig) + "\r\n";
}

class SaveTest : public AppTest {
 protected:
  void Save() {
    prompts_.Answer(Answer::Ok);
    program().SaveInstalledId();
  }
  void ExpectSaidSaved() {
    ASSERT_FALSE(prompts_.asked.empty());
    EXPECT_EQ(prompts_.asked.back().text, std::wstring(kSavedMessage, kSavedMessage + sizeof kSavedMessage - 1));
    EXPECT_EQ(prompts_.asked.back().title, L"Done!");
    EXPECT_EQ(prompts_.asked.back().icon, Icon::Information);
  }
  void ExpectSaveError(std::wstring_view fragment) {
    ASSERT_FALSE(prompts_.asked.empty());
    EXPECT_EQ(prompts_.asked.back().title, L"Quorvel - Save Error");
    EXPECT_EQ(prompts_.asked.back().icon, Icon::Stop);
    EXPECT_NE(prompts_.asked.back().text.find(fragment), std::wstring::npos)
        << testing::PrintToString(prompts_.asked.back().text);
  }
};

TEST_F(SaveTest, FirstSaveAppendsFlid1AfterTheSettings) {
  SetStore(kSettings);
  InstallInRegistry("key-a", "man-a", "sig-a");
  Start();
  Save();
  EXPECT_EQ(Store(), kSettings + Section(1, "key-a", "man-a", "sig-a"));
  EXPECT_EQ(program().IdCount, 1);
  EXPECT_EQ(program().SavedIds[1], (app::SavedIdRow{L"", L"key-a", L"man-a", L"sig-a", L""}));
  ExpectSaidSaved();
}

TEST_F(SaveTest, LaterSavesGoToTheEndAndEqualIdsAreKeptTwice) {
  const std::string three = kSettings + Section(1, "a", "b", "c") + Section(2, "d", "e", "f") + Section(3, "g", "h", "i");
  SetStore(three);
  InstallInRegistry("key-a", "man-a", "sig-a");
  Start();
  Save();
  Save();
  EXPECT_EQ(Store(), three + Section(4, "key-a", "man-a", "sig-a") + Section(5, "key-a", "man-a", "sig-a"));
  EXPECT_EQ(program().IdCount, 5);
}

TEST_F(SaveTest, SaveAfterAClearKeepsThreeEmptyKeysAndListsAnEmptyItem) {
  SetStore(kSettings);
  InstallInRegistry("key-a", "man-a", "sig-a");
  Start();
  prompts_.Answer(Answer::Yes);
  prompts_.Answer(Answer::Ok);
  program().ClearInstalledId();
  Save();
  EXPECT_EQ(Store(), kSettings + Section(1, "", "", ""));
  program().MainWindow().btn_mng_ids_Click();
  ASSERT_EQ(program().MngIdsWindow().ItemCount(), 1);
  EXPECT_EQ(program().MngIdsWindow().ItemText(0), L"");
}

TEST_F(SaveTest, ReloadPutsBackTheStoredServersAndThePrompt) {
  SetStore(kSettings);
  InstallInRegistry("k", "m", "s");
  app::Main& m = Start();
  m.MainWindow().SetText(ui::frm_main::txt_serverips, L"typed but never launched");
  m.MngIdsWindow().SetText(ui::frm_mng_ids::cmbo_flids, L"typed");
  Save();
  EXPECT_EQ(m.MainWindow().Text(ui::frm_main::txt_serverips), L"1.2.3.4");
  EXPECT_EQ(m.MngIdsWindow().Text(ui::frm_mng_ids::cmbo_flids), L"- Select ID -");
}

TEST_F(SaveTest, AGapInTheNumberingIsFilledInsteadOfOverwritingAnId) {
  // Hand-edited: FLID_2 is missing, so the count (2) points at the existing FLID_3.
  const std::string gap = kSettings + Section(1, "a", "b", "c") + Section(3, "x", "y", "z") + "DISC=kept\r\n";
  SetStore(gap);
  InstallInRegistry("new", "n", "s");
  Start();
  Save();
  EXPECT_EQ(Store(), gap + Section(2, "new", "n", "s"));
  EXPECT_EQ(program().IdCount, 3);
  EXPECT_EQ(program().SavedIds[2][1], L"new");
  EXPECT_EQ(program().SavedIds[3][4], L"kept");
  ExpectSaidSaved();
}

TEST_F(SaveTest, AStoreThatCannotBeWrittenIsReportedAndLeftAsItWas) {
  const std::string one = kSettings + Section(1, "a", "b", "c");
  SetStore(one);
  InstallInRegistry("k", "m", "s");
  Start();
  // Another program holds the store open and shares neither writing nor deleting.
  const HANDLE lock = CreateFileW(StorePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  Save();
  CloseHandle(lock);
  ExpectSaveError(StorePath());
  EXPECT_EQ(Store(), one);
  EXPECT_EQ(program().IdCount, 1);
}

TEST_F(SaveTest, ValuesThatWouldBreakTheStoreAreRefused) {
  SetStore(kSettings);
  for (std::string_view bad : {"has[bracket", "has]bracket", "two\r\nlines", "line\nfeed"}) {
    InstallInRegistry("fine", bad, "fine");
    if (!program_) Start();
    Save();
    ExpectSaveError(L"MPAccountName");
    EXPECT_EQ(Store(), kSettings);
  }
}

TEST_F(SaveTest, AFullStoreRefusesAnotherSave) {
  std::string full = kSettings;
  for (int i = 1; i <= 32766; ++i) full += "[FLID_" + std::to_string(i) + "]\r\nINSTALL=k\r\n";
  SetStore(full);
  InstallInRegistry("k", "m", "s");
  Start();
  ASSERT_EQ(program().IdCount, 32766);
  Save();
  ExpectSaveError(L"32766");
  EXPECT_EQ(Store().size(), full.size());
}

TEST_F(SaveTest, SaveWindowSavesThenHidesAndKeepsItsLabel) {
  SetStore(kSettings);
  InstallInRegistry("key-a", "man-a", "sig-a");
  app::Main& m = Start();
  m.MainWindow().btn_saveid_Click();
  ui::frm_save_id& w = m.SaveIdWindow();
  EXPECT_TRUE(w.Visible());
  prompts_.Answer(Answer::Ok);
  w.btn_savid_Click();
  EXPECT_FALSE(w.Visible());
  EXPECT_TRUE(w.Exists());
  EXPECT_EQ(w.Text(ui::frm_save_id::lbl_current_id), L"key-a");
  EXPECT_EQ(m.IdCount, 1);

  // Closed with its close box, it comes back with an empty label, yet saves what is installed.
  SendMessageW(w.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(m.SaveIdExists());
  m.MainWindow().btn_saveid_Click();
  EXPECT_EQ(m.SaveIdWindow().Text(ui::frm_save_id::lbl_current_id), L"");
  prompts_.Answer(Answer::Ok);
  m.SaveIdWindow().btn_savid_Click();
  EXPECT_EQ(m.SavedIds[2][1], L"key-a");
}

}  // namespace

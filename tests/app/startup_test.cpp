// Start-up: the order of the steps, the first run and loading an existing store.
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

class StartUpTest : public testing_support::AppTest {
 protected:
  // Builds the program on the given folder and touches its main window, which runs the start-up.
  app::Main& StartIn(const std::wstring& folder) {
    program_ = std::make_unique<app::Main>(prompts_, printer_, app::Places{key_.path(), folder});
    program_->on_end = [this] { ++ends_; };
    program_->MainWindow();
    return *program_;
  }
  int ends_ = 0;
};

TEST_F(StartUpTest, FirstRunAsksBeforeAnyWindowIsShownAndCreatesTheStore) {
  InstallInRegistry("KEY-1", "name", "sig");
  prompts_.Answer(Answer::Ok);
  prompts_.ChooseFile(L"C:\\Games\\Freelancer\\EXE\\Freelancer.exe");
  app::Main& m = StartIn(dir_.path());

  EXPECT_EQ(boxes::Asked(prompts_), (std::vector<Box>{{L"Quorvel needs to locate your Freelancer exe, click ok to set it.",
                                                       L"First load", Buttons::OkCancel, Icon::None}}));
  ASSERT_EQ(prompts_.dialogs.size(), 1u);
  EXPECT_EQ(prompts_.dialogs[0].filter, L"Freelancer.exe | *.exe");
  EXPECT_EQ(prompts_.dialogs[0].default_ext, L".exe");

  EXPECT_EQ(Store(), "[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer\\EXE\\Freelancer.exe\r\n");
  EXPECT_EQ(m.FirstLoadAnswer, L"1");
  EXPECT_EQ(m.GamePath, L"C:\\Games\\Freelancer\\EXE\\Freelancer.exe");
  EXPECT_EQ(m.IdCount, 0);
  EXPECT_FALSE(m.Ended());

  // Every window exists, none is visible yet: the entry point shows the main window afterwards.
  EXPECT_FALSE(m.MainWindow().Visible());
  EXPECT_TRUE(m.MngIdsExists());
  EXPECT_FALSE(m.MngIdsWindow().Visible());
  EXPECT_TRUE(m.SaveIdExists());
  // The installed ID was read before the store was looked at.
  EXPECT_EQ(m.MainWindow().Text(ui::frm_main::lbl_currentid), L"KEY-1");
  EXPECT_EQ(m.MainWindow().Text(ui::frm_main::txt_serverips), L"");
  EXPECT_EQ(m.MngIdsWindow().Text(ui::frm_mng_ids::cmbo_flids), L"- Select ID -");
  EXPECT_EQ(m.MngIdsWindow().ItemCount(), 0);
}

TEST_F(StartUpTest, CancelAtTheFirstQuestionEndsWithNothingWritten) {
  InstallInRegistry("KEY-1", "name", "sig");
  prompts_.Answer(Answer::Cancel);
  const app::Main& m = StartIn(dir_.path());
  EXPECT_TRUE(m.Ended());
  EXPECT_EQ(ends_, 1);
  EXPECT_EQ(m.FirstLoadAnswer, L"2");
  EXPECT_TRUE(prompts_.dialogs.empty());
  EXPECT_FALSE(testing_support::PathExists(StorePath()));
  EXPECT_EQ(m.CurrentId.InstallKey, L"KEY-1");  // read before the question
  EXPECT_FALSE(m.MngIdsExists());
  EXPECT_FALSE(m.SaveIdExists());
}

TEST_F(StartUpTest, CancelledDialogStoresAnEmptyPathAndIsNotAskedAgain) {
  prompts_.Answer(Answer::Ok);
  prompts_.ChooseFile(L"");
  Start();
  EXPECT_EQ(Store(), "[QRVL_Settings]\r\nFLPATH=\r\n");
  program_.reset();
  EXPECT_EQ(Start().GamePath, L"");
  EXPECT_EQ(prompts_.asked.size(), 1u);  // nothing more was asked
}

TEST_F(StartUpTest, LoadsSettingsAndSavedIdsIntoTheWindows) {
  SetStore(
      "[QRVL_Settings]\r\nFLPATH=C:\\FL\\Freelancer.exe\r\nFLIPS=1.2.3.4|5.6.7.8\r\n"
      "[FLID_1]\r\nINSTALL=one\r\nMAN=m1\r\nMANS=s1\r\nDISC=Main pilot|trader\r\n"
      "[FLID_2]\r\nINSTALL=two\r\nMAN=m2\r\nMANS=s2\r\n");
  app::Main& m = Start();
  EXPECT_EQ(m.GamePath, L"C:\\FL\\Freelancer.exe");
  EXPECT_EQ(m.ServerIps, L"1.2.3.4|5.6.7.8");
  EXPECT_EQ(m.MainWindow().Text(ui::frm_main::txt_serverips), L"1.2.3.4|5.6.7.8");
  ASSERT_EQ(m.IdCount, 2);
  EXPECT_EQ(m.SavedIds, (std::vector<app::SavedIdRow>{{}, {L"", L"one", L"m1", L"s1", L"Main pilot|trader"},
                                                      {L"", L"two", L"m2", L"s2", L""}}));
  EXPECT_EQ(m.MngIdsWindow().Text(ui::frm_mng_ids::cmbo_flids), L"- Select ID -");
  EXPECT_EQ(m.MngIdsWindow().SelectedIndex(), -1);

  // A store without settings asks nothing: there is no game path and no list.
  program_.reset();
  SetStore("[FLID_1]\r\nINSTALL=a\r\nMAN=b\r\nMANS=c\r\n");
  app::Main& bare = Start();
  EXPECT_TRUE(prompts_.asked.empty());
  EXPECT_EQ(bare.GamePath, L"");
  EXPECT_EQ(bare.ServerIps, L"");
  EXPECT_EQ(bare.IdCount, 1);
}

TEST_F(StartUpTest, UnwritableFolderAtFirstRunIsReportedAndThePathKeptForThisRun) {
  // A folder that does not exist cannot take the store; the same message covers a protected folder.
  const std::wstring missing = dir_.File(L"not-there");
  prompts_.Answer(Answer::Ok);
  prompts_.ChooseFile(L"C:\\FL\\Freelancer.exe");
  prompts_.Answer(Answer::Ok);
  const app::Main& m = StartIn(missing);
  ASSERT_EQ(prompts_.asked.size(), 2u);
  boxes::ExpectStop(prompts_.asked[1], L"Quorvel - Store Error", {missing + L"\\FLIDs.ini"});
  EXPECT_EQ(m.GamePath, L"C:\\FL\\Freelancer.exe");
  EXPECT_FALSE(m.Ended());
}

TEST_F(StartUpTest, StoreThatCannotBeReadIsReportedAndLeftAlone) {
  const std::string bytes = "[QRVL_Settings]\r\nFLPATH=x\r\n[FLID_1]\r\nINSTALL=a\r\n";
  SetStore(bytes);
  // Another program holds the file open and lets nobody read it.
  const HANDLE lock = CreateFileW(StorePath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  prompts_.Answer(Answer::Ok);
  const app::Main& m = Start();
  CloseHandle(lock);
  ASSERT_EQ(prompts_.asked.size(), 1u);
  boxes::ExpectStop(prompts_.asked[0], L"Quorvel - Store Error", {StorePath()});
  EXPECT_EQ(m.IdCount, 0);
  EXPECT_EQ(Store(), bytes);
}

}  // namespace

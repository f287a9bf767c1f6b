// Start-up: the order of the steps, the first run and loading an existing store.
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

class StartUpTest : public AppTest {};

TEST_F(StartUpTest, FirstRunAsksBeforeAnyWindowIsShownAndCreatesTheStore) {
  InstallInRegistry("KEY-1", "name", "sig");
  prompts_.Answer(Answer::Ok);
  prompts_.ChooseFile(L"C:\\Games\\Freelancer\\EXE\\Freelancer.exe");
  app::Main& m = Start();

  ASSERT_EQ(prompts_.asked.size(), 1u);
  EXPECT_EQ(prompts_.asked[0].text, L"Quorvel needs to locate your Freelancer exe, click ok to set it.");
  EXPECT_EQ(prompts_.asked[0].title, L"First load");
  EXPECT_EQ(prompts_.asked[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(prompts_.asked[0].icon, Icon::None);
  ASSERT_EQ(prompts_.dialogs.size(), 1u);
  EXPECT_EQ(prompts_.dialogs[0].filter, L"Freelancer.exe | *.exe");
  EXPECT_EQ(prompts_.dialogs[0].default_ext, L".exe");

  EXPECT_EQ(Store(), "[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer\\EXE\\Freelancer.exe\r\n");
  EXPECT_EQ(m.FirstLoadAnswer, L"1");
  EXPECT_EQ(m.GamePath, L"C:\\Games\\Freelancer\\EXE\\Freelancer.exe");
  EXPECT_EQ(m.IniPath, dir_.path() + L"\\FLIDs.ini");
  EXPECT_EQ(m.RegKeyPath, key_.path());
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
  bool ended_called = false;
  program_ = std::make_unique<app::Main>(prompts_, printer_, app::Places{key_.path(), dir_.path()});
  program_->on_end = [&] { ended_called = true; };
  program_->MainWindow();

  EXPECT_TRUE(program_->Ended());
  EXPECT_TRUE(ended_called);
  EXPECT_EQ(program_->FirstLoadAnswer, L"2");
  EXPECT_TRUE(prompts_.dialogs.empty());
  EXPECT_FALSE(testing_support::PathExists(StorePath()));
  EXPECT_EQ(program_->CurrentId.InstallKey, L"KEY-1");  // read before the question
  EXPECT_FALSE(program_->MngIdsExists());
  EXPECT_FALSE(program_->SaveIdExists());
}

TEST_F(StartUpTest, CancelledDialogStoresAnEmptyPathAndIsNotAskedAgain) {
  prompts_.Answer(Answer::Ok);
  prompts_.ChooseFile(L"");
  Start();
  EXPECT_EQ(Store(), "[QRVL_Settings]\r\nFLPATH=\r\n");

  program_.reset();
  app::Main& again = Start();
  EXPECT_EQ(prompts_.asked.size(), 1u);  // nothing more was asked
  EXPECT_EQ(again.GamePath, L"");
}

TEST_F(StartUpTest, StoreWithoutSettingsLoadsIdsAndAsksNothing) {
  SetStore("[FLID_1]\r\nINSTALL=a\r\nMAN=b\r\nMANS=c\r\n");
  app::Main& m = Start();
  EXPECT_TRUE(prompts_.asked.empty());
  EXPECT_EQ(m.GamePath, L"");
  EXPECT_EQ(m.ServerIps, L"");
  EXPECT_EQ(m.IdCount, 1);
}

TEST_F(StartUpTest, LoadsSettingsAndSavedIdsIntoTheWindows) {
  SetStore(
      "[QRVL_Settings]\r\nFLPATH=C:\\FL\\Freelancer.exe\r\nFLIPS=1.2.3.4|5.6.7.8\r\n"
      "[FLID_1]\r\nINSTALL=one\r\nMAN=m1\r\nMANS=s1\r\nDISC=Main pilot|trader\r\n"
      "[FLID_2]\r\nINSTALL=two\r\nMAN=m2\r\nMANS=s2\r\n"
      "[FLID_3]\r\nINSTALL=three\r\nMAN=m3\r\nMANS=s3\r\n");
  app::Main& m = Start();
  EXPECT_EQ(m.GamePath, L"C:\\FL\\Freelancer.exe");
  EXPECT_EQ(m.ServerIps, L"1.2.3.4|5.6.7.8");
  EXPECT_EQ(m.MainWindow().Text(ui::frm_main::txt_serverips), L"1.2.3.4|5.6.7.8");
  ASSERT_EQ(m.IdCount, 3);
  ASSERT_EQ(m.SavedIds.size(), 4u);
  EXPECT_EQ(m.SavedIds[0], app::SavedIdRow{});
  EXPECT_EQ(m.SavedIds[1], (app::SavedIdRow{L"", L"one", L"m1", L"s1", L"Main pilot|trader"}));
  EXPECT_EQ(m.SavedIds[3], (app::SavedIdRow{L"", L"three", L"m3", L"s3", L""}));
  EXPECT_EQ(m.MngIdsWindow().Text(ui::frm_mng_ids::cmbo_flids), L"- Select ID -");
  EXPECT_EQ(m.MngIdsWindow().SelectedIndex(), -1);
}

TEST_F(StartUpTest, UnwritableFolderAtFirstRunIsReportedAndThePathKeptForThisRun) {
  // A folder that does not exist cannot take the store; the same message covers a protected folder.
  const std::wstring missing = dir_.File(L"not-there");
  prompts_.Answer(Answer::Ok);
  prompts_.ChooseFile(L"C:\\FL\\Freelancer.exe");
  prompts_.Answer(Answer::Ok);
  program_ = std::make_unique<app::Main>(prompts_, printer_, app::Places{key_.path(), missing});
  program_->MainWindow();

  ASSERT_EQ(prompts_.asked.size(), 2u);
  EXPECT_EQ(prompts_.asked[1].title, L"Quorvel - Store Error");
  EXPECT_EQ(prompts_.asked[1].icon, Icon::Stop);
  EXPECT_NE(prompts_.asked[1].text.find(missing + L"\\FLIDs.ini"), std::wstring::npos);
  EXPECT_EQ(program_->GamePath, L"C:\\FL\\Freelancer.exe");
  EXPECT_FALSE(program_->Ended());
}

TEST_F(StartUpTest, StoreThatCannotBeReadIsReportedAndLeftAlone) {
  const std::string bytes = "[QRVL_Settings]\r\nFLPATH=x\r\n[FLID_1]\r\nINSTALL=a\r\n";
  SetStore(bytes);
  // Another program holds the file open and lets nobody read it.
  const HANDLE lock = CreateFileW(StorePath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  prompts_.Answer(Answer::Ok);
  app::Main& m = Start();
  CloseHandle(lock);

  ASSERT_EQ(prompts_.asked.size(), 1u);
  EXPECT_EQ(prompts_.asked[0].title, L"Quorvel - Store Error");
  EXPECT_NE(prompts_.asked[0].text.find(StorePath()), std::wstring::npos);
  EXPECT_EQ(m.IdCount, 0);
  EXPECT_EQ(Store(), bytes);
}

}  // namespace

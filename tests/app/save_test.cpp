// Saving the installed ID into the store.
#include <gtest/gtest.h>

#include "app/main.h"
#include "base/handle.h"
#include "boxes.h"
#include "support/app_fixture.h"
#include "ui/frm_main.h"
#include "ui/frm_mng_ids.h"
#include "ui/frm_save_id.h"

namespace {

using boxes::Box;
using Answer = app::Prompts::Answer;

const std::string kSettings = "[QRVL_Settings]\r\nFLPATH=C:\\FL\\Freelancer.exe\r\nFLIPS=1.2.3.4\r\n";
const Box kSaved{L"FL ID Saved!\r\nGo to the ID manager to add a discription/change id", L"Done!",
                 boxes::Buttons::Ok, boxes::Icon::Information};

std::string Section(int n, std::string_view key, std::string_view man, std::string_view sig) {
  return "[FLID_" + std::to_string(n) + "]\r\nINSTALL=" + std::string(key) + "\r\nMAN=" + std::string(man) +
         "\r\nMANS=" + std::string(sig) + "\r\n";
}

class SaveTest : public testing_support::AppTest {
 protected:
  // Starts afresh on the given store with the given installed ID.
  app::Main& StartOn(const std::string& store, std::string_view key = "key-a", std::string_view man = "man-a") {
    program_.reset();
    prompts_.asked.clear();
    SetStore(store);
    InstallInRegistry(key, man, "sig-a");
    return Start();
  }
  void Save() {
    prompts_.Answer(Answer::Ok);
    program().SaveInstalledId();
  }
};

TEST_F(SaveTest, SavesIntoTheNextFreeNumberAndSaysSo) {
  const std::string three = kSettings + Section(1, "a", "b", "c") + Section(2, "d", "e", "f") + Section(3, "g", "h", "i");
  // Hand-edited: FLID_2 is missing, so the count (2) points at the existing FLID_3, which stays.
  const std::string gap = kSettings + Section(1, "a", "b", "c") + Section(3, "x", "y", "z") + "DISC=kept\r\n";
  const std::string saved = "]\r\nINSTALL=key-a\r\nMAN=man-a\r\nMANS=sig-a\r\n";
  const struct {
    const char* what;
    std::string before;
    int saves;
    std::string after;
    int count, last_row;
  } cases[] = {
      {"after the settings", kSettings, 1, kSettings + "[FLID_1" + saved, 1, 1},
      {"after FLID_1..3, the same ID twice", three, 2, three + "[FLID_4" + saved + "[FLID_5" + saved, 5, 5},
      {"into a gap rather than over an ID", gap, 1, gap + "[FLID_2" + saved, 3, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    app::Main& m = StartOn(c.before);
    for (int i = 0; i < c.saves; ++i) Save();
    EXPECT_EQ(Store(), c.after);
    EXPECT_EQ(boxes::Asked(prompts_), std::vector<Box>(static_cast<std::size_t>(c.saves), kSaved));
    ASSERT_EQ(m.IdCount, c.count);  // the table is loaded again from the file
    EXPECT_EQ(m.SavedIds[static_cast<std::size_t>(c.last_row)], (app::SavedIdRow{L"", L"key-a", L"man-a", L"sig-a", L""}));
  }
}

TEST_F(SaveTest, SaveAfterAClearKeepsThreeEmptyKeysAndListsAnEmptyItem) {
  StartOn(kSettings);
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
  app::Main& m = StartOn(kSettings);
  m.MainWindow().SetText(ui::frm_main::txt_serverips, L"typed but never launched");
  m.MngIdsWindow().SetText(ui::frm_mng_ids::cmbo_flids, L"typed");
  Save();
  EXPECT_EQ(m.MainWindow().Text(ui::frm_main::txt_serverips), L"1.2.3.4");
  EXPECT_EQ(m.MngIdsWindow().Text(ui::frm_mng_ids::cmbo_flids), L"- Select ID -");
}

TEST_F(SaveTest, WhatCannotBeSavedIsReportedAndTheStoreLeftAsItWas) {
  std::string full = kSettings;
  for (int i = 1; i <= 32766; ++i) full += "[FLID_" + std::to_string(i) + "]\r\nINSTALL=k\r\n";
  const std::string one = kSettings + Section(1, "a", "b", "c");
  const struct {
    const char* what;
    const std::string& store;
    std::string_view man;
    bool held;  // open in another program that shares neither writing nor deleting
    std::wstring says;
    int count;
  } cases[] = {
      {"an opening bracket", kSettings, "has[bracket", false, L"MPAccountName", 0},
      {"a closing bracket", kSettings, "has]bracket", false, L"MPAccountName", 0},
      {"CR LF", kSettings, "two\r\nlines", false, L"MPAccountName", 0},
      {"LF", kSettings, "line\nfeed", false, L"MPAccountName", 0},
      {"a full store", full, "m", false, L"32766", 32766},
      {"a store that cannot be written", one, "m", true, StorePath(), 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const app::Main& m = StartOn(c.store, "k", c.man);
    base::UniqueFile held(c.held ? CreateFileW(StorePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                               FILE_ATTRIBUTE_NORMAL, nullptr)
                                 : INVALID_HANDLE_VALUE);
    ASSERT_EQ(held.valid(), c.held);
    Save();
    held.reset();
    ASSERT_EQ(prompts_.asked.size(), 1u);
    boxes::ExpectStop(prompts_.asked[0], L"Quorvel - Save Error", {c.says});
    EXPECT_TRUE(Store() == c.store) << "the store changed";
    EXPECT_EQ(m.IdCount, c.count);
  }
}

TEST_F(SaveTest, SaveWindowSavesThenHidesAndKeepsItsLabel) {
  app::Main& m = StartOn(kSettings);
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

TEST_F(SaveTest, AVanishedFolderAsksForTheGameAndCancelEndsWithoutAnotherBox) {
  const std::wstring folder = dir_.File(L"quorvel");
  CreateDirectoryW(folder.c_str(), nullptr);
  testing_support::WriteBytes(folder + L"\\FLIDs.ini", kSettings);
  InstallInRegistry("key-a", "man-a", "sig-a");
  program_ = std::make_unique<app::Main>(prompts_, printer_, app::Places{key_.path(), folder});
  program_->MainWindow();
  testing_support::RemoveTree(folder);  // the whole folder went, with the store in it

  prompts_.Answer(Answer::Cancel);  // the first-run question that the reload brings up
  program_->SaveInstalledId();
  EXPECT_TRUE(program_->Ended());
  ASSERT_EQ(prompts_.asked.size(), 1u);
  EXPECT_EQ(prompts_.asked[0].title, L"First load");
  EXPECT_FALSE(testing_support::PathExists(folder));
}

}  // namespace

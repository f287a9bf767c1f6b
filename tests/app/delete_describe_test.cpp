// Deleting saved IDs and describing them, driven through the manage window's buttons and list with
// real store files and scripted message boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/main.h"
#include "support/app_fixture.h"
#include "ui/frm_main.h"
#include "ui/frm_mng_ids.h"

namespace {

using testing_support::AppTest;
using Answer = app::Prompts::Answer;
using Buttons = app::Prompts::Buttons;
using Icon = app::Prompts::Icon;
using W = ui::frm_mng_ids;

constexpr char kSettings[] = "[QRVL_Settings]\r\nFLPATH=C:\\FL\\Freelancer.exe\r\nFLIPS=1.2.3.4\r\n";

// Section FLID_n whose INSTALL value (the list item) is "key-<tag>", with a description when given.
std::string Section(int n, const std::string& tag, const std::string& disc = "") {
  std::string s = "[FLID_" + std::to_string(n) + "]\r\nINSTALL=key-" + tag + "\r\nMAN=man-" + tag +
                  "\r\nMANS=sig-" + tag + "\r\n";
  if (!disc.empty()) s += "DISC=" + disc + "\r\n";
  return s;
}

std::string Renumbered(int from, int to, const std::string& tag, const std::string& disc = "") {
  const std::string s = Section(from, tag, disc);
  return "[FLID_" + std::to_string(to) + "]" + s.substr(s.find("\r\n"));
}

// A lock as another program takes it: reading shared, writing and deleting not.
class HeldOpen {
 public:
  explicit HeldOpen(const std::wstring& path)
      : handle_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {
    EXPECT_NE(handle_, INVALID_HANDLE_VALUE);
  }
  ~HeldOpen() { CloseHandle(handle_); }
  HeldOpen(const HeldOpen&) = delete;
  HeldOpen& operator=(const HeldOpen&) = delete;

 private:
  HANDLE handle_;
};

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

class ManageTest : public AppTest {
 protected:
  // Starts on the given store and opens the manage window, as the main window's button does.
  W& Open(const std::string& store) {
    SetStore(store);
    InstallInRegistry("installed", "m", "s");
    Start();
    program().MainWindow().btn_mng_ids_Click();
    return program().MngIdsWindow();
  }
  W& window() { return program().MngIdsWindow(); }

  std::vector<std::wstring> Items() {
    std::vector<std::wstring> items;
    for (int i = 0; i < window().ItemCount(); ++i) items.push_back(window().ItemText(i));
    return items;
  }

  // Picks list item `index` and presses "Deleted FL ID", answering the question with `answer`.
  void Delete(int index, Answer answer = Answer::Yes) {
    window().Select(index);
    prompts_.Answer(answer);
    if (answer == Answer::Yes) prompts_.Answer(Answer::Ok);  // the closing message
    window().btn_deleteit_Click();
  }

  void ExpectAsked(std::size_t i, std::wstring_view text, std::wstring_view title, Buttons buttons, Icon icon) {
    ASSERT_LT(i, prompts_.asked.size());
    EXPECT_EQ(prompts_.asked[i].text, text);
    EXPECT_EQ(prompts_.asked[i].title, title);
    EXPECT_EQ(prompts_.asked[i].buttons, buttons);
    EXPECT_EQ(prompts_.asked[i].icon, icon);
  }

  void ExpectDeletedOk() {
    ASSERT_EQ(prompts_.asked.size(), 2u);
    ExpectAsked(0, L"This will deleted the selected saved id, continue?", L"Sure?", Buttons::YesNo, Icon::None);
    ExpectAsked(1, L"FL ID Deleted!", L"Done!", Buttons::Ok, Icon::Information);
    EXPECT_EQ(window().SelectedIndex(), -1);
    EXPECT_EQ(window().Text(W::cmbo_flids), L"- Select ID -");
    EXPECT_EQ(window().Text(W::lbl_disc), L"");
  }

  // A stop box titled "Quorvel - <kind> Error" that names the store file; no success box.
  void ExpectStop(std::wstring_view title, std::wstring_view fragment) {
    ASSERT_FALSE(prompts_.asked.empty());
    const testing_support::Asked& last = prompts_.asked.back();
    EXPECT_EQ(last.title, title);
    EXPECT_EQ(last.icon, Icon::Stop);
    EXPECT_EQ(last.buttons, Buttons::Ok);
    EXPECT_NE(last.text.find(StorePath()), std::wstring::npos) << testing::PrintToString(last.text);
    EXPECT_NE(last.text.find(fragment), std::wstring::npos) << testing::PrintToString(last.text);
    for (const testing_support::Asked& a : prompts_.asked) {
      EXPECT_NE(a.text, L"FL ID Deleted!");
      EXPECT_NE(a.text, L"Continue editing the discription?");
    }
  }
};

// ---- Deleting -----------------------------------------------------------------------------------

TEST_F(ManageTest, DeletingTheOnlyIdLeavesTheSettingsAndAnEmptyList) {
  Open(kSettings + Section(1, "a", "first"));
  Delete(0);
  EXPECT_EQ(Store(), kSettings);
  EXPECT_EQ(program().IdCount, 0);
  EXPECT_TRUE(Items().empty());
  ExpectDeletedOk();
}

TEST_F(ManageTest, DeletingTheLastOfSeveralKeepsTheOthersAsTheyWere) {
  Open(kSettings + Section(1, "a") + Section(2, "b", "two") + Section(3, "c"));
  Delete(2);
  EXPECT_EQ(Store(), kSettings + Section(1, "a") + Section(2, "b", "two"));
  EXPECT_EQ(Items(), (std::vector<std::wstring>{L"key-a", L"key-b"}));
  ExpectDeletedOk();
}

TEST_F(ManageTest, DeletingTheFirstOfThreeMovesTheOthersUpWithTheirDescriptions) {
  Open(kSettings + Section(1, "a", "one") + Section(2, "b", "two") + Section(3, "c", "three"));
  Delete(0);
  EXPECT_EQ(Store(), kSettings + Renumbered(2, 1, "b", "two") + Renumbered(3, 2, "c", "three"));
  EXPECT_EQ(program().IdCount, 2);
  EXPECT_EQ(program().SavedIds[1], (app::SavedIdRow{L"", L"key-b", L"man-b", L"sig-b", L"two"}));
  EXPECT_EQ(Items(), (std::vector<std::wstring>{L"key-b", L"key-c"}));
  ExpectDeletedOk();

  // Each description still belongs to its ID under the new number.
  window().Select(1);
  EXPECT_EQ(window().Text(W::txt_disc), L"three");
  window().Select(0);
  EXPECT_EQ(window().Text(W::lbl_disc), L"two");
}

TEST_F(ManageTest, DeletingTheFirstOfTwelveRenumbersTenToTwelveProperly) {
  std::string before = kSettings;
  std::string after = kSettings;
  std::vector<std::wstring> items;
  for (int n = 1; n <= 12; ++n) before += Section(n, std::to_string(n), "d" + std::to_string(n));
  for (int n = 2; n <= 12; ++n) {
    after += Renumbered(n, n - 1, std::to_string(n), "d" + std::to_string(n));
    items.push_back(L"key-" + std::to_wstring(n));
  }
  Open(before);
  Delete(0);
  EXPECT_EQ(Store(), after);
  EXPECT_EQ(Items(), items);
  EXPECT_EQ(program().SavedIds[9][4], L"d10");
  EXPECT_EQ(program().SavedIds[11][4], L"d12");
  ExpectDeletedOk();
}

TEST_F(ManageTest, SettingsPlacedAfterTheDeletedIdStayAndStillLoad) {
  Open(Section(1, "a") + kSettings + Section(2, "b") + Section(3, "c"));
  Delete(0);
  EXPECT_EQ(Store(), kSettings + Renumbered(2, 1, "b") + Renumbered(3, 2, "c"));
  EXPECT_EQ(program().GamePath, L"C:\\FL\\Freelancer.exe");
  ExpectDeletedOk();

  // Behind the last saved ID too: deleting that ID keeps them.
  Delete(1);
  EXPECT_EQ(Store(), kSettings + Renumbered(2, 1, "b"));
}

TEST_F(ManageTest, AnsweringNoChangesNothingButStillEmptiesTheLabel) {
  const std::string store = kSettings + Section(1, "a", "first|line") + Section(2, "b");
  Open(store);
  Delete(0, Answer::No);
  EXPECT_EQ(Store(), store);
  ASSERT_EQ(prompts_.asked.size(), 1u);
  EXPECT_EQ(window().Text(W::lbl_disc), L"");
  EXPECT_EQ(window().Text(W::txt_disc), L"first|line");
  EXPECT_EQ(window().SelectedIndex(), 0);
  EXPECT_EQ(program().IdCount, 2);
}

TEST_F(ManageTest, DeletingWithoutASelectionOnlyWarns) {
  const std::string store = kSettings + Section(1, "a");
  Open(store);
  prompts_.Answer(Answer::Ok);
  window().btn_deleteit_Click();
  ASSERT_EQ(prompts_.asked.size(), 1u);
  ExpectAsked(0, L"Please select an ID!", L"Oops!", Buttons::Ok, Icon::Exclamation);
  EXPECT_EQ(Store(), store);
}

// Stores edited by hand while the program runs, so that the numbers it holds no longer fit the file.
TEST_F(ManageTest, BrokenStoresAreLeftAsTheyWereReloadedAndReported) {
  struct Case {
    const char* name;
    std::string loaded;     // the store when the program started
    std::string on_disk;    // the store when the delete runs
    int index;              // list item deleted
    int count_after;        // saved IDs after the reload
  };
  const Case cases[] = {
      {"the header went", kSettings + Section(1, "a") + Section(2, "b"), kSettings + Section(2, "b"), 0, 1},
      {"a later header went", kSettings + Section(1, "a") + Section(2, "b") + Section(3, "c"),
       kSettings + Section(1, "a") + Section(3, "c"), 0, 2},
      {"nothing follows a middle section", kSettings + Section(2, "b") + Section(1, "a"),
       kSettings + Section(2, "b") + Section(1, "a"), 0, 2},
      {"a renumbered header ends the file", kSettings + Section(1, "a") + "[FLID_2]",
       kSettings + Section(1, "a") + "[FLID_2]", 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompts_.asked.clear();
    if (program_) program_.reset();
    Open(c.loaded);
    SetStore(c.on_disk);
    window().Select(c.index);
    prompts_.Answer(Answer::Yes);
    prompts_.Answer(Answer::Ok);
    window().btn_deleteit_Click();
    EXPECT_EQ(Store(), c.on_disk);
    EXPECT_EQ(program().IdCount, c.count_after);
    EXPECT_EQ(window().ItemCount(), c.count_after);
    ExpectStop(L"Quorvel - Delete Error", L"store file was not changed");
    EXPECT_EQ(prompts_.asked.size(), 2u);
    EXPECT_TRUE(prompts_.Drained());
  }
}

TEST_F(ManageTest, AVanishedStoreIsReportedThenSetUpAfresh) {
  Open(kSettings + Section(1, "a"));
  ASSERT_TRUE(DeleteFileW(StorePath().c_str()));
  window().Select(0);
  prompts_.Answer(Answer::Yes);
  prompts_.Answer(Answer::Ok);  // the store is gone
  prompts_.Answer(Answer::Ok);  // the first-run request
  prompts_.ChooseFile(L"D:\\Games\\Freelancer.exe");
  window().btn_deleteit_Click();
  ASSERT_EQ(prompts_.asked.size(), 3u);
  EXPECT_EQ(prompts_.asked[1].title, L"Quorvel - Delete Error");
  EXPECT_NE(prompts_.asked[1].text.find(StorePath()), std::wstring::npos);
  EXPECT_EQ(prompts_.asked[2].title, L"First load");
  EXPECT_EQ(Store(), "[QRVL_Settings]\r\nFLPATH=D:\\Games\\Freelancer.exe\r\n");
  EXPECT_EQ(program().IdCount, 0);
  EXPECT_EQ(window().ItemCount(), 0);
}

TEST_F(ManageTest, AStoreThatCannotBeReplacedStaysByteForByte) {
  const std::string store = kSettings + Section(1, "a", "one") + Section(2, "b");
  for (const bool read_only : {true, false}) {
    SCOPED_TRACE(read_only ? "read-only" : "held open by another program");
    prompts_.asked.clear();
    if (program_) program_.reset();
    Open(store);
    std::optional<HeldOpen> lock;
    if (read_only) {
      ASSERT_TRUE(SetFileAttributesW(StorePath().c_str(), FILE_ATTRIBUTE_READONLY));
    } else {
      lock.emplace(StorePath());
    }
    Delete(0);
    lock.reset();
    SetFileAttributesW(StorePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Store(), store);
    ExpectStop(L"Quorvel - Delete Error", L"could not write");
    EXPECT_EQ(program().IdCount, 2);
    EXPECT_EQ(Items(), (std::vector<std::wstring>{L"key-a", L"key-b"}));
    EXPECT_EQ(FilesIn(dir_.path()), std::vector<std::wstring>{L"FLIDs.ini"});  // no temp file left behind
  }
}

TEST_F(ManageTest, AStoreThatCannotBeReadIsReportedOnce) {
  const std::string store = kSettings + Section(1, "a");
  Open(store);
  window().Select(0);
  const HANDLE exclusive =
      CreateFileW(StorePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
  prompts_.Answer(Answer::Yes);
  prompts_.Answer(Answer::Ok);
  window().btn_deleteit_Click();
  CloseHandle(exclusive);
  EXPECT_EQ(Store(), store);
  ASSERT_EQ(prompts_.asked.size(), 2u);
  ExpectStop(L"Quorvel - Delete Error", L"could not read");
  EXPECT_EQ(program().IdCount, 1);
  EXPECT_EQ(window().ItemCount(), 1);
}

// ---- Descriptions -------------------------------------------------------------------------------

TEST_F(ManageTest, PickingAnItemShowsItsDescriptionWithFourLineBreaks) {
  Open(kSettings + Section(1, "a", "one|two|three|four|five|six") + Section(2, "b") + Section(3, "c", "[x]|y"));
  window().Select(0);
  EXPECT_EQ(window().Text(W::lbl_disc), L"one\r\ntwo\r\nthree\r\nfour\r\nfive|six");
  EXPECT_EQ(window().Text(W::txt_disc), L"one|two|three|four|five|six");
  window().Select(1);
  EXPECT_EQ(window().Text(W::lbl_disc), L"");
  EXPECT_EQ(window().Text(W::txt_disc), L"");
  window().Select(2);  // a hand-written bracket is shown as it stands
  EXPECT_EQ(window().Text(W::lbl_disc), L"[x]\r\ny");
  EXPECT_TRUE(prompts_.asked.empty());
}

TEST_F(ManageTest, StoringCleansBracketsUpdatesTheTableAndAsksToGoOn) {
  const std::string b = Section(2, "b", "old b");
  Open(kSettings + Section(1, "a") + b);
  window().btn_disc_Click();
  EXPECT_TRUE(window().Expanded());
  window().Select(0);
  window().SetText(W::txt_disc, L"my [main] pilot|trades");
  prompts_.Answer(Answer::Yes);
  window().btn_edidisc_Click();

  EXPECT_EQ(Store(), kSettings + Section(1, "a", "my (main) pilot|trades") + b);
  EXPECT_EQ(program().SavedIds[1][4], L"my (main) pilot|trades");
  EXPECT_EQ(window().Text(W::txt_disc), L"my (main) pilot|trades");
  EXPECT_EQ(window().Text(W::lbl_disc), L"my (main) pilot\r\ntrades");
  ASSERT_EQ(prompts_.asked.size(), 1u);
  ExpectAsked(0, L"Continue editing the discription?", L"Done!", Buttons::YesNo, Icon::None);
  EXPECT_TRUE(window().Expanded());
  EXPECT_EQ(window().SelectedIndex(), 0);

  // Another item shows its own; the edited one shows the new text from the table, not the file.
  SetStore(kSettings + Section(1, "a", "changed behind our back") + b);
  window().Select(1);
  EXPECT_EQ(window().Text(W::txt_disc), L"old b");
  window().Select(0);
  EXPECT_EQ(window().Text(W::txt_disc), L"my (main) pilot|trades");
}

TEST_F(ManageTest, AnsweringNoClosesTheEditorAndCancelClosesItToo) {
  Open(kSettings + Section(1, "a", "old"));
  window().btn_disc_Click();
  window().btn_disc_Click();
  EXPECT_TRUE(window().Expanded());
  window().btn_cancel_Click();
  EXPECT_FALSE(window().Expanded());
  EXPECT_EQ(Store(), kSettings + Section(1, "a", "old"));

  window().btn_disc_Click();
  window().Select(0);
  window().SetText(W::txt_disc, L"");
  prompts_.Answer(Answer::No);
  window().btn_edidisc_Click();
  EXPECT_FALSE(window().Expanded());
  // An empty text box stores an empty value, and the label empties.
  EXPECT_EQ(Store(), kSettings + Section(1, "a") + "DISC=\r\n");
  EXPECT_EQ(window().Text(W::lbl_disc), L"");
  EXPECT_EQ(program().SavedIds[1][4], L"");
}

TEST_F(ManageTest, ALongDescriptionIsWrittenWholeAndReadBackCut) {
  Open(kSettings + Section(1, "a"));
  const std::wstring long_text(300, L'x');
  window().Select(0);
  window().SetText(W::txt_disc, long_text);
  prompts_.Answer(Answer::No);
  window().btn_edidisc_Click();
  EXPECT_EQ(Store(), kSettings + Section(1, "a", std::string(300, 'x')));
  EXPECT_EQ(window().Text(W::lbl_disc), long_text);
  program().LoadStore();
  EXPECT_EQ(program().SavedIds[1][4], std::wstring(254, L'x'));
}

TEST_F(ManageTest, StoringWithoutASelectionOnlyWarns) {
  const std::string store = kSettings + Section(1, "a", "kept");
  Open(store);
  window().btn_disc_Click();
  window().SetText(W::txt_disc, L"typed");
  prompts_.Answer(Answer::Ok);
  window().btn_edidisc_Click();
  ASSERT_EQ(prompts_.asked.size(), 1u);
  ExpectAsked(0, L"Please select an ID!", L"Oops!", Buttons::Ok, Icon::Exclamation);
  EXPECT_EQ(Store(), store);
  EXPECT_EQ(program().SavedIds[1][4], L"kept");
}

TEST_F(ManageTest, AFailedDescriptionWriteKeepsTheOldDescriptionEverywhere) {
  const std::string store = kSettings + Section(1, "a", "old|text");
  Open(store);
  window().Select(0);
  window().SetText(W::txt_disc, L"new text");
  prompts_.Answer(Answer::Ok);
  {
    const HeldOpen lock(StorePath());
    window().btn_edidisc_Click();
  }
  EXPECT_EQ(Store(), store);
  ASSERT_EQ(prompts_.asked.size(), 1u);
  ExpectStop(L"Quorvel - Description Error", L"not changed");
  EXPECT_EQ(program().SavedIds[1][4], L"old|text");
  EXPECT_EQ(window().Text(W::lbl_disc), L"old\r\ntext");
  EXPECT_EQ(window().Text(W::txt_disc), L"old|text");
}

}  // namespace

// Deleting saved IDs and describing them, driven through the manage window's buttons and list with
// real store files and scripted message boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main.h"
#include "base/handle.h"
#include "base/text.h"
#include "boxes.h"
#include "support/app_fixture.h"
#include "ui/frm_main.h"
#include "ui/frm_mng_ids.h"

namespace {

using boxes::Box;
using Answer = app::Prompts::Answer;
using Buttons = app::Prompts::Buttons;
using Icon = app::Prompts::Icon;
using W = ui::frm_mng_ids;
using Lines = std::vector<std::wstring>;

const std::string kSettings = "[QRVL_Settings]\r\nFLPATH=C:\\FL\\Freelancer.exe\r\nFLIPS=1.2.3.4\r\n";
const Box kSureToDelete{L"This will deleted the selected saved id, continue?", L"Sure?", Buttons::YesNo, Icon::None};

// Section FLID_n of the ID whose values are "key-<tag>" (its list item), "man-<tag>" and "sig-<tag>",
// with a description when given.
std::string Section(int n, const std::string& tag, const std::string& disc = "") {
  return "[FLID_" + std::to_string(n) + "]\r\nINSTALL=key-" + tag + "\r\nMAN=man-" + tag + "\r\nMANS=sig-" + tag +
         "\r\n" + (disc.empty() ? "" : "DISC=" + disc + "\r\n");
}

// How Listed() shows that ID.
std::wstring Row(const std::wstring& tag, const std::wstring& disc = L"") {
  return L"key-" + tag + L"|man-" + tag + L"|sig-" + tag + L"|" + disc;
}

class ManageTest : public testing_support::AppTest {
 protected:
  // Starts afresh on the given store and opens the manage window, as the main window's button does.
  void Open(const std::string& store) {
    program_.reset();
    prompts_.asked.clear();
    SetStore(store);
    InstallInRegistry("installed", "m", "s");
    Start();
    program().MainWindow().btn_mng_ids_Click();
  }
  W& window() { return program().MngIdsWindow(); }

  // Each list item with its row's MAN and MANS and the description that picking it shows.
  Lines Listed() {
    Lines listed;
    for (int i = 0; i < window().ItemCount(); ++i) {
      window().Select(i);
      const app::SavedIdRow& row = program().SavedIds.at(static_cast<std::size_t>(i) + 1);
      listed.push_back(window().ItemText(i) + L"|" + row[2] + L"|" + row[3] + L"|" + window().Text(W::txt_disc));
    }
    return listed;
  }

  // Picks list item `index` and presses "Deleted FL ID", answering Yes and then OK.
  void Delete(int index) {
    window().Select(index);
    prompts_.Answer(Answer::Yes);
    prompts_.Answer(Answer::Ok);
    window().btn_deleteit_Click();
  }
};

// ---- Deleting -----------------------------------------------------------------------------------

TEST_F(ManageTest, DeletingCutsTheSectionAndMovesTheLaterOnesUpWithTheirDescriptions) {
  std::string twelve = kSettings, eleven = kSettings;
  Lines eleven_listed;
  for (int n = 1; n <= 12; ++n) twelve += Section(n, std::to_string(n), "d" + std::to_string(n));
  for (int n = 2; n <= 12; ++n) {
    eleven += Section(n - 1, std::to_string(n), "d" + std::to_string(n));
    eleven_listed.push_back(Row(std::to_wstring(n), L"d" + std::to_wstring(n)));
  }
  const struct {
    const char* what;
    std::string before;
    int index;
    std::string after;
    Lines listed;
  } cases[] = {
      {"the only ID", kSettings + Section(1, "a", "first"), 0, kSettings, {}},
      {"the last of several", kSettings + Section(1, "a") + Section(2, "b", "two") + Section(3, "c"), 2,
       kSettings + Section(1, "a") + Section(2, "b", "two"), {Row(L"a"), Row(L"b", L"two")}},
      {"the first of three", kSettings + Section(1, "a", "one") + Section(2, "b", "two") + Section(3, "c", "three"), 0,
       kSettings + Section(1, "b", "two") + Section(2, "c", "three"), {Row(L"b", L"two"), Row(L"c", L"three")}},
      {"the first of twelve: FLID_10 to FLID_12 renumbered, never taken for FLID_1", twelve, 0, eleven, eleven_listed},
      {"settings behind the deleted ID stay", Section(1, "a") + kSettings + Section(2, "b") + Section(3, "c"), 0,
       kSettings + Section(1, "b") + Section(2, "c"), {Row(L"b"), Row(L"c")}},
      {"settings behind the last ID stay", Section(1, "a") + Section(2, "b") + kSettings, 1, Section(1, "a") + kSettings,
       {Row(L"a")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Open(c.before);
    Delete(c.index);
    EXPECT_EQ(Store(), c.after);
    EXPECT_EQ(boxes::Asked(prompts_), (std::vector<Box>{kSureToDelete, {L"FL ID Deleted!", L"Done!", Buttons::Ok, Icon::Information}}));
    EXPECT_EQ(window().SelectedIndex(), -1);
    EXPECT_EQ(window().Text(W::cmbo_flids), L"- Select ID -");
    EXPECT_EQ(window().Text(W::lbl_disc), L"");
    EXPECT_EQ(program().IdCount, static_cast<int>(c.listed.size()));
    EXPECT_EQ(program().GamePath, L"C:\\FL\\Freelancer.exe");
    EXPECT_EQ(Listed(), c.listed);
  }
}

TEST_F(ManageTest, AnsweringNoChangesNothingButStillEmptiesTheLabel) {
  const std::string store = kSettings + Section(1, "a", "first|line") + Section(2, "b");
  Open(store);
  window().Select(0);
  prompts_.Answer(Answer::No);
  window().btn_deleteit_Click();
  EXPECT_EQ(Store(), store);
  EXPECT_EQ(boxes::Asked(prompts_), std::vector<Box>{kSureToDelete});
  EXPECT_EQ(window().Text(W::lbl_disc), L"");
  EXPECT_EQ(window().Text(W::txt_disc), L"first|line");
  EXPECT_EQ(window().SelectedIndex(), 0);
  EXPECT_EQ(program().IdCount, 2);
}

// The file stays byte for byte, the list shows it as it stands, and a stop box names it; no success box.
TEST_F(ManageTest, AStoreThatCannotBeDeletedFromIsLeftAsItIsAndReported) {
  const std::string two = kSettings + Section(1, "a", "one") + Section(2, "b");
  enum Lock { kNone, kReadOnly, kShareRead, kShareNothing };
  const struct {
    const char* what;
    std::string loaded, on_disk;
    Lock lock;
    const wchar_t* says;
    Lines listed;
  } cases[] = {
      // Edited by hand while the program runs, so that the numbers it holds no longer fit the file.
      {"the header went", kSettings + Section(1, "a") + Section(2, "b"), kSettings + Section(2, "b"), kNone,
       L"store file was not changed", {L"|||"}},
      {"a later header went", kSettings + Section(1, "a") + Section(2, "b") + Section(3, "c"),
       kSettings + Section(1, "a") + Section(3, "c"), kNone, L"store file was not changed", {Row(L"a"), L"|||"}},
      {"nothing follows a middle section", kSettings + Section(2, "b") + Section(1, "a"),
       kSettings + Section(2, "b") + Section(1, "a"), kNone, L"store file was not changed", {Row(L"a"), Row(L"b")}},
      {"a renumbered header ends the file", kSettings + Section(1, "a") + "[FLID_2]",
       kSettings + Section(1, "a") + "[FLID_2]", kNone, L"store file was not changed", {Row(L"a"), L"|||"}},
      // Another program holds the file, or it may not be written.
      {"read-only", two, two, kReadOnly, L"could not write", {Row(L"a", L"one"), Row(L"b")}},
      {"held open by another program", two, two, kShareRead, L"could not write", {Row(L"a", L"one"), Row(L"b")}},
      {"held open exclusively", two, two, kShareNothing, L"could not read", {Row(L"a", L"one"), Row(L"b")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Open(c.loaded);
    SetStore(c.on_disk);
    if (c.lock == kReadOnly) {
      ASSERT_TRUE(SetFileAttributesW(StorePath().c_str(), FILE_ATTRIBUTE_READONLY));
    }
    base::UniqueFile held(c.lock < kShareRead ? INVALID_HANDLE_VALUE
                                              : CreateFileW(StorePath().c_str(), GENERIC_READ,
                                                            c.lock == kShareRead ? FILE_SHARE_READ : 0, nullptr,
                                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_EQ(held.valid(), c.lock >= kShareRead);
    Delete(0);
    held.reset();
    SetFileAttributesW(StorePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Store(), c.on_disk);
    ASSERT_EQ(prompts_.asked.size(), 2u);
    EXPECT_EQ(prompts_.asked[0].text, std::get<0>(kSureToDelete));
    boxes::ExpectStop(prompts_.asked[1], L"Quorvel - Delete Error", {StorePath(), c.says});
    EXPECT_EQ(program().IdCount, static_cast<int>(c.listed.size()));
    EXPECT_EQ(Listed(), c.listed);
  }
}

TEST_F(ManageTest, AVanishedStoreIsReportedThenSetUpAfresh) {
  Open(kSettings + Section(1, "a"));
  ASSERT_TRUE(DeleteFileW(StorePath().c_str()));
  window().Select(0);
  for (const Answer a : {Answer::Yes, Answer::Ok, Answer::Ok}) prompts_.Answer(a);  // the last: the first-run request
  prompts_.ChooseFile(L"D:\\Games\\Freelancer.exe");
  window().btn_deleteit_Click();
  ASSERT_EQ(prompts_.asked.size(), 3u);
  boxes::ExpectStop(prompts_.asked[1], L"Quorvel - Delete Error", {StorePath()});
  EXPECT_EQ(prompts_.asked[2].title, L"First load");
  EXPECT_EQ(Store(), "[QRVL_Settings]\r\nFLPATH=D:\\Games\\Freelancer.exe\r\n");
  EXPECT_EQ(program().IdCount, 0);
  EXPECT_EQ(window().ItemCount(), 0);
}

// "Deleted FL ID", "Change FL ID" and "Edit Discription" need a picked item; text typed over the
// list's box after picking one counts as none.
TEST_F(ManageTest, EachButtonWithoutAPickedItemOnlyWarns) {
  const std::string store = kSettings + Section(1, "a", "kept");
  for (void (W::*press)() : {&W::btn_deleteit_Click, &W::btn_changeit_Click, &W::btn_edidisc_Click}) {
    for (const bool typed : {false, true}) {
      SCOPED_TRACE(typed ? "typed over a picked item" : "nothing picked");
      Open(store);
      window().btn_disc_Click();
      window().SetText(W::txt_disc, L"typed");
      if (typed) {
        const HWND combo = window().Control(W::cmbo_flids);
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
        SetWindowTextW(combo, L"typed");
        SendMessageW(window().hwnd(), WM_COMMAND, MAKEWPARAM(W::cmbo_flids, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(combo));
        EXPECT_EQ(window().Text(W::cmbo_flids), L"typed");
      }
      EXPECT_EQ(window().SelectedIndex(), -1);
      prompts_.Answer(Answer::Ok);
      (window().*press)();
      EXPECT_EQ(boxes::Asked(prompts_), (std::vector<Box>{{L"Please select an ID!", L"Oops!", Buttons::Ok, Icon::Exclamation}}));
      EXPECT_EQ(Store(), store);
      EXPECT_EQ(program().SavedIds[1][4], L"kept");
      EXPECT_EQ(RegistryValue(L"InstallKey"), std::string("installed\0", 10));
    }
  }
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

// "Edit Discription" stores the text box cleaned of brackets, updates the table without a reload, and
// asks whether to go on: Yes keeps the editor open, No closes it.
TEST_F(ManageTest, StoringWritesTheCleanedTextAndAsksToGoOn) {
  const std::string b = Section(2, "b", "old b");
  const struct {
    std::wstring typed;
    Answer answer;
    std::string stored;
    std::wstring label;
  } cases[] = {
      {L"my [main] pilot|trades", Answer::Yes, "my (main) pilot|trades", L"my (main) pilot\r\ntrades"},
      {L"", Answer::No, "", L""},  // an empty text box stores an empty value
      {std::wstring(300, L'x'), Answer::No, std::string(300, 'x'), std::wstring(300, L'x')},  // written whole
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored.substr(0, 20));
    Open(kSettings + Section(1, "a") + b);
    window().btn_disc_Click();
    EXPECT_TRUE(window().Expanded());
    window().Select(0);
    window().SetText(W::txt_disc, c.typed);
    prompts_.Answer(c.answer);
    window().btn_edidisc_Click();
    EXPECT_EQ(Store(), kSettings + Section(1, "a") + "DISC=" + c.stored + "\r\n" + b);
    EXPECT_EQ(program().SavedIds[1][4], base::FromAnsi(c.stored));
    EXPECT_EQ(window().Text(W::txt_disc), base::FromAnsi(c.stored));
    EXPECT_EQ(window().Text(W::lbl_disc), c.label);
    EXPECT_EQ(boxes::Asked(prompts_), (std::vector<Box>{{L"Continue editing the discription?", L"Done!", Buttons::YesNo, Icon::None}}));
    EXPECT_EQ(window().Expanded(), c.answer == Answer::Yes);
    EXPECT_EQ(window().SelectedIndex(), 0);
    // The table is not loaded again: another item shows its own, the edited one the table's text, not
    // the file's. A load reads the text cut to 254.
    const std::string written = Store();
    SetStore(kSettings + Section(1, "a", "changed behind our back") + b);
    window().Select(1);
    EXPECT_EQ(window().Text(W::txt_disc), L"old b");
    window().Select(0);
    EXPECT_EQ(window().Text(W::txt_disc), base::FromAnsi(c.stored));
    SetStore(written);
    program().LoadStore();
    EXPECT_EQ(program().SavedIds[1][4], base::FromAnsi(c.stored.substr(0, 254)));
  }
}

TEST_F(ManageTest, AFailedDescriptionWriteKeepsTheOldDescriptionEverywhere) {
  const std::string store = kSettings + Section(1, "a", "old|text");
  Open(store);
  window().Select(0);
  window().SetText(W::txt_disc, L"new text");
  prompts_.Answer(Answer::Ok);
  {
    const base::UniqueFile held(CreateFileW(StorePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held.valid());
    window().btn_edidisc_Click();
  }
  EXPECT_EQ(Store(), store);
  ASSERT_EQ(prompts_.asked.size(), 1u);
  boxes::ExpectStop(prompts_.asked[0], L"Quorvel - Description Error", {StorePath(), L"not changed"});
  EXPECT_EQ(program().SavedIds[1][4], L"old|text");
  EXPECT_EQ(window().Text(W::lbl_disc), L"old\r\ntext");
  EXPECT_EQ(window().Text(W::txt_disc), L"old|text");
}

}  // namespace

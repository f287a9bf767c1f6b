// A store the program may not write, may not read, that vanishes or turns into a folder while the
// program runs, or that is hidden. Every change is either refused with a stop box naming the file, or
// done whole; the file is never left half-written and no saved ID in it is lost.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "robustness/robustness.h"
#include "support/scratch.h"
#include "ui/frm_main.h"
#include "ui/frm_mng_ids.h"

namespace {

using namespace robustness;

const std::string kThree = kSettings + Section(1, "a") + Section(2, "b") + Section(3, "c");
const std::vector<std::wstring> kThreeItems = {L"a", L"b", L"c"};

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

bool Mentions(const testing_support::Asked& box, std::wstring_view fragment) {
  return box.text.find(fragment) != std::wstring::npos;
}

// ---- A store that cannot be replaced ------------------------------------------------------------

struct Unwritable {
  const char* name;
  bool read_only;   // the read-only attribute (root under Wine could write, the program must not)
  DWORD share;      // otherwise held open by another program that lets others do only this
};

class UnwritableStoreTest : public RobustTest, public testing::WithParamInterface<Unwritable> {};

void PrintTo(const Unwritable& u, std::ostream* out) { *out << u.name; }

TEST_P(UnwritableStoreTest, EveryChangeIsRefusedAndTheFileStaysByteForByte) {
  const Unwritable& u = GetParam();
  Open(kThree);
  std::optional<HeldOpen> lock;
  if (u.read_only) {
    ASSERT_TRUE(SetFileAttributesW(StorePath().c_str(), FILE_ATTRIBUTE_READONLY));
  } else {
    lock.emplace(StorePath(), u.share);
    ASSERT_TRUE(lock->ok());
  }

  const testing_support::Asked saved = Save();
  EXPECT_TRUE(IsStop(saved, L"Quorvel - Save Error")) << Utf8(saved.text);
  EXPECT_TRUE(Mentions(saved, StorePath()));
  const testing_support::Asked described = Describe(1, L"new words");
  EXPECT_TRUE(IsStop(described, L"Quorvel - Description Error")) << Utf8(described.text);
  EXPECT_EQ(program().MngIdsWindow().Text(ui::frm_mng_ids::txt_disc), L"") << "the unsaved text is not shown as stored";
  const testing_support::Asked deleted = Delete(0);
  EXPECT_TRUE(IsStop(deleted, L"Quorvel - Delete Error")) << Utf8(deleted.text);
  EXPECT_EQ(Items(), kThreeItems);

  lock.reset();
  SetFileAttributesW(StorePath().c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(Store(), kThree);
  EXPECT_EQ(FilesIn(dir_.path()), std::vector<std::wstring>{L"FLIDs.ini"}) << "a temp file was left behind";
  for (const std::wstring& message : TakeMessages()) EXPECT_FALSE(message.starts_with(L"Done!")) << Utf8(message);
  Restart();
  EXPECT_EQ(Items(), kThreeItems);
}

INSTANTIATE_TEST_SUITE_P(Stores, UnwritableStoreTest,
                         testing::Values(Unwritable{"ReadOnly", true, 0},
                                         Unwritable{"OpenForReadingElsewhere", false, FILE_SHARE_READ},
                                         Unwritable{"OpenForReadingAndWritingElsewhere", false,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE}),
                         [](const testing::TestParamInfo<Unwritable>& param) { return std::string(param.param.name); });

// Held open with no sharing at all: not even reading works. Start-up says so and shows no IDs; a save
// is refused rather than made into a store that would hide the others; afterwards all are there.
TEST_F(RobustTest, AStoreLockedAgainstReadingIsReportedAndKept) {
  SetStore(kThree);
  InstallInRegistry(kInstalled, "man-now", "sig-now");
  {
    HeldOpen lock(StorePath(), 0);
    ASSERT_TRUE(lock.ok());
    prompts_.Answer(Answer::Ok);
    Start();
    program().MainWindow().btn_mng_ids_Click();
    ASSERT_EQ(prompts_.asked.size(), 1u);
    EXPECT_TRUE(IsStop(prompts_.asked[0], L"Quorvel - Store Error")) << Utf8(prompts_.asked[0].text);
    EXPECT_TRUE(Mentions(prompts_.asked[0], L"could not read"));
    EXPECT_EQ(Items(), std::vector<std::wstring>{});
    prompts_.Answer(Answer::Ok);  // the reload after the failed save reports the unreadable file again
    const testing_support::Asked saved = Save();
    EXPECT_TRUE(IsStop(saved, L"Quorvel - Save Error")) << Utf8(saved.text);
  }
  EXPECT_EQ(Store(), kThree);
  TakeMessages();
  Restart();
  EXPECT_EQ(Items(), kThreeItems);
}

// ---- A store that vanishes while the program runs -----------------------------------------------

// A save into a store that was deleted behind the program's back starts a new store, and the saved
// ID is listed in it: it is numbered from the file as it is, not from the count of the last load.
TEST_F(RobustTest, SavingAfterTheStoreVanishedStartsANewStoreThatListsTheId) {
  Open(kThree);
  ASSERT_TRUE(DeleteFileW(StorePath().c_str()));
  EXPECT_EQ(Save().title, L"Done!");
  EXPECT_EQ(InstallValues(Store()), (std::multiset<std::string>{kInstalled}));
  EXPECT_EQ(Relist(), std::vector<std::wstring>{L"saved-now"});
  EXPECT_EQ(program().GamePath, L"") << "the game's path went with the deleted file";
}

// Describing an ID of a store that is gone cannot attach the words to that ID: it is refused instead
// of starting a store that holds nothing but a description.
TEST_F(RobustTest, DescribingAfterTheStoreVanishedIsRefused) {
  Open(kThree);
  ASSERT_TRUE(DeleteFileW(StorePath().c_str()));
  const testing_support::Asked box = Describe(1, L"words");
  EXPECT_TRUE(IsStop(box, L"Quorvel - Description Error")) << Utf8(box.text);
  EXPECT_TRUE(Mentions(box, StorePath()));
  EXPECT_FALSE(testing_support::PathExists(StorePath())) << Store();
  EXPECT_EQ(program().MngIdsWindow().Text(ui::frm_mng_ids::txt_disc), L"");
}

// Deleting from a store that is gone says so, then sets up a new store as at the first start.
TEST_F(RobustTest, DeletingAfterTheStoreVanishedSaysSoAndStartsAfresh) {
  Open(kThree);
  ASSERT_TRUE(DeleteFileW(StorePath().c_str()));
  prompts_.Answer(Answer::Yes);  // the question
  prompts_.Answer(Answer::Ok);   // "no longer there"
  prompts_.Answer(Answer::Ok);   // "First load"
  prompts_.ChooseFile(L"D:\\Games\\Freelancer.exe");
  program().MngIdsWindow().Select(0);
  program().MngIdsWindow().btn_deleteit_Click();
  ASSERT_EQ(prompts_.asked.size(), 3u);
  EXPECT_TRUE(IsStop(prompts_.asked[1], L"Quorvel - Delete Error")) << Utf8(prompts_.asked[1].text);
  EXPECT_EQ(prompts_.asked[2].title, L"First load");
  EXPECT_EQ(Store(), "[QRVL_Settings]\r\nFLPATH=D:\\Games\\Freelancer.exe\r\n");
  EXPECT_EQ(Items(), std::vector<std::wstring>{});
}

// ---- A folder where the store should be ----------------------------------------------------------

// A folder is no store file: the program takes the store for missing, as the file test says, and
// asks for the game; each write into the folder's name fails and says so. The folder stays empty.
TEST_F(RobustTest, AFolderNamedLikeTheStoreIsNeverTouched) {
  ASSERT_TRUE(CreateDirectoryW(StorePath().c_str(), nullptr));
  InstallInRegistry(kInstalled, "man-now", "sig-now");
  prompts_.Answer(Answer::Ok);  // "First load"
  prompts_.ChooseFile(L"D:\\Games\\Freelancer.exe");
  prompts_.Answer(Answer::Ok);  // the store cannot be created
  Start();
  EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"First load", L"Quorvel - Store Error"}));
  EXPECT_EQ(program().GamePath, L"D:\\Games\\Freelancer.exe") << "kept for this run";
  EXPECT_FALSE(program().Ended());
  TakeMessages();

  // The reload after the failed save finds no store either and asks again.
  prompts_.Answer(Answer::Ok);
  prompts_.ChooseFile(L"D:\\Games\\Freelancer.exe");
  prompts_.Answer(Answer::Ok);
  Save();
  EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"First load", L"Quorvel - Store Error", L"Quorvel - Save Error"}));
  EXPECT_TRUE(GetFileAttributesW(StorePath().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(FilesIn(StorePath()), std::vector<std::wstring>{});
  EXPECT_EQ(FilesIn(dir_.path()), std::vector<std::wstring>{L"FLIDs.ini"});
}

// The store replaced by a folder while the program runs: each change is refused, and the folder is
// left empty.
TEST_F(RobustTest, AStoreTurnedIntoAFolderRefusesEveryChange) {
  Open(kThree);
  ASSERT_TRUE(DeleteFileW(StorePath().c_str()));
  ASSERT_TRUE(CreateDirectoryW(StorePath().c_str(), nullptr));
  EXPECT_TRUE(IsStop(Describe(0, L"x"), L"Quorvel - Description Error"));
  TakeMessages();
  EXPECT_TRUE(IsStop(Delete(0), L"Quorvel - Delete Error"));
  TakeMessages();
  // The reload after the failed save takes the store for missing and asks for the game; Cancel there
  // ends the program, as at a first start.
  prompts_.Answer(Answer::Cancel);
  Save();
  ASSERT_FALSE(prompts_.asked.empty());
  EXPECT_EQ(prompts_.asked[0].title, L"First load");
  EXPECT_TRUE(program().Ended());
  EXPECT_EQ(FilesIn(StorePath()), std::vector<std::wstring>{});
  EXPECT_EQ(FilesIn(dir_.path()), std::vector<std::wstring>{L"FLIDs.ini"});
}

// ---- A hidden store -------------------------------------------------------------------------------

// The file test counts only ordinary files, so a hidden store looks missing: the first-run request
// comes up and writes the chosen path into the file, which keeps every saved ID and, rewritten, is an
// ordinary file again; the next start lists them all.
TEST_F(RobustTest, AHiddenStoreAsksForTheGameAgainAndKeepsItsIds) {
  SetStore(kThree);
  ASSERT_TRUE(SetFileAttributesW(StorePath().c_str(), FILE_ATTRIBUTE_HIDDEN));
  InstallInRegistry(kInstalled, "man-now", "sig-now");
  prompts_.Answer(Answer::Ok);
  prompts_.ChooseFile(L"D:\\Games\\Freelancer.exe");
  Start();
  ASSERT_EQ(prompts_.asked.size(), 1u);
  EXPECT_EQ(prompts_.asked[0].title, L"First load");
  EXPECT_EQ(InstallValues(Store()), (std::multiset<std::string>{"a", "b", "c"}));
  EXPECT_NE(Store().find("FLPATH=D:\\Games\\Freelancer.exe\r\n"), std::string::npos);
  TakeMessages();
  Restart();
  EXPECT_EQ(TakeMessages(), std::vector<std::wstring>{});
  EXPECT_EQ(Items(), kThreeItems);
}

}  // namespace

// What a player types: server lists with quotes, blanks, brackets and "=", and descriptions with
// brackets, "=", ";", quotes and characters outside the ANSI code page, typed or pasted. The store
// keeps one line per value, no saved ID is disturbed, and the next start shows what the file holds.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "robustness/robustness.h"
#include "support/scratch.h"
#include "ui/frm_main.h"
#include "ui/frm_mng_ids.h"

namespace {

using namespace robustness;
using W = ui::frm_mng_ids;

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\'));
}

// The text as the ANSI code page holds it, back as wide text: characters it has no place for become
// its default character.
std::wstring ThroughCodePage(const std::wstring& text) {
  char narrow[512] = {};
  const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), narrow, sizeof narrow,
                                    nullptr, nullptr);
  wchar_t wide[512] = {};
  const int m = MultiByteToWideChar(CP_ACP, 0, narrow, n, wide, 512);
  return std::wstring(wide, static_cast<std::size_t>(m));
}

// Puts text on the clipboard and pastes it into an edit control, as Ctrl+V does.
void Paste(HWND edit, const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  std::memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  SetWindowTextW(edit, L"");
  SendMessageW(edit, WM_PASTE, 0, 0);
}

// ---- Server lists -------------------------------------------------------------------------------

struct ServerList {
  const char* name;
  std::wstring typed;
  std::string arguments;   // what the game gets after its quoted path
  std::wstring next_start; // the server box after the next start
};

void PrintTo(const ServerList& s, std::ostream* out) { *out << s.name; }

// The stand-in game, copied as Freelancer.exe into the temp folder, records how it was started.
class LaunchTest : public RobustTest {
 protected:
  void SetUp() override {
    const std::wstring folder = dir_.path() + L"\\game";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    game_ = folder + L"\\Freelancer.exe";
    ASSERT_TRUE(CopyFileW((OwnFolder() + L"\\standin_game.exe").c_str(), game_.c_str(), TRUE)) << "stand-in missing";
  }

  // The command line the stand-in recorded, once it has; waits for it to end.
  std::string WaitForCommandLine() {
    const std::wstring pattern = dir_.path() + L"\\game\\launch-*.txt";
    for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
         std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(std::chrono::milliseconds(50))) {
      WIN32_FIND_DATAW found{};
      const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
      if (search == INVALID_HANDLE_VALUE) continue;
      FindClose(search);
      const std::string record = testing_support::ReadBytes(dir_.path() + L"\\game\\" + found.cFileName);
      const DWORD pid = std::stoul(record.substr(record.find("pid=") + 4));
      if (const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid)) {
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
      }
      const std::size_t at = record.find("command_line=");
      return at == std::string::npos ? record : record.substr(at + 13);
    }
    return "(the game was not started)";
  }

  std::wstring game_;
};

class ServerListTest : public LaunchTest, public testing::WithParamInterface<ServerList> {};

TEST_P(ServerListTest, IsStoredAsTypedPassedOnAndLeavesTheIdsAlone) {
  const ServerList& s = GetParam();
  const std::string ids = Section(1, "a") + Section(2, "b");
  Open("[QRVL_Settings]\r\nFLPATH=" + Utf8(game_) + "\r\nFLIPS=old\r\n" + ids);
  ui::frm_main& window = program().MainWindow();
  window.SetText(ui::frm_main::txt_serverips, s.typed);
  window.btn_launchfl_Click();

  EXPECT_EQ(WaitForCommandLine(), "\"" + Utf8(game_) + "\"" + s.arguments);
  EXPECT_EQ(TakeMessages(), std::vector<std::wstring>{});
  EXPECT_EQ(Store(), "[QRVL_Settings]\r\nFLPATH=" + Utf8(game_) + "\r\nFLIPS=" + Utf8(s.typed) + "\r\n" + ids);
  Restart();
  EXPECT_EQ(program().MainWindow().Text(ui::frm_main::txt_serverips), s.next_start);
  EXPECT_EQ(Items(), (std::vector<std::wstring>{L"a", L"b"}));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ServerListTest,
    testing::Values(
        ServerList{"QuotedAddress", L"\"1.2.3.4\" | 5.6.7.8", " -s\"1.2.3.4\" :2302 -s 5.6.7.8:2302",
                   L"\"1.2.3.4\" | 5.6.7.8"},
        // The profile reader drops a pair of quotes around a whole value.
        ServerList{"QuotedList", L"\"1.2.3.4|5.6.7.8\"", " -s\"1.2.3.4:2302 -s5.6.7.8\":2302", L"1.2.3.4|5.6.7.8"},
        // ... and blanks at its ends.
        ServerList{"BlanksAround", L"  1.2.3.4 |5.6.7.8  ", " -s  1.2.3.4 :2302 -s5.6.7.8  :2302", L"1.2.3.4 |5.6.7.8"},
        ServerList{"BracketsCommaEqualsSemicolon", L"[::1]|host,name=x;y", " -s[::1]:2302 -shost,name=x;y:2302",
                   L"[::1]|host,name=x;y"},
        ServerList{"Empty", L"", " -s:2302", L""}),
    [](const testing::TestParamInfo<ServerList>& param) { return std::string(param.param.name); });

// A list pasted with line breaks: the single-line box keeps the first line only, so no line of the
// paste can land in the store as a section or key of its own.
TEST_F(LaunchTest, APastedListWithLineBreaksKeepsItsFirstLine) {
  const std::string ids = Section(1, "a");
  Open("[QRVL_Settings]\r\nFLPATH=" + Utf8(game_) + "\r\n" + ids);
  ui::frm_main& window = program().MainWindow();
  Paste(window.Control(ui::frm_main::txt_serverips), L"1.2.3.4\r\n[FLID_1]\r\nINSTALL=pasted");
  EXPECT_EQ(window.Text(ui::frm_main::txt_serverips), L"1.2.3.4");
  window.btn_launchfl_Click();
  EXPECT_EQ(WaitForCommandLine(), "\"" + Utf8(game_) + "\" -s1.2.3.4:2302");
  EXPECT_EQ(InstallValues(Store()), (std::multiset<std::string>{"a"}));
}

// ---- Descriptions -------------------------------------------------------------------------------

struct Description {
  const char* name;
  std::wstring typed;
  std::wstring stored;  // what the next start shows in the text box
};

void PrintTo(const Description& d, std::ostream* out) { *out << d.name; }

class DescriptionTest : public RobustTest, public testing::WithParamInterface<Description> {};

TEST_P(DescriptionTest, IsStoredOnOneLineOfItsOwnIdAndReadBack) {
  const Description& d = GetParam();
  const std::string store = kSettings + Section(1, "a") + "DISC=first\r\n" + Section(2, "b") + Section(3, "c");
  Open(store);
  EXPECT_EQ(Describe(1, d.typed).text, L"Continue editing the discription?");
  EXPECT_EQ(InstallValues(Store()), (std::multiset<std::string>{"a", "b", "c"}));
  // One DISC line, in section FLID_2, right after its last key.
  const std::string file = Store();
  const std::size_t disc = file.find("\r\nDISC=", file.find("[FLID_2]"));
  ASSERT_NE(disc, std::string::npos) << file;
  EXPECT_LT(disc, file.find("[FLID_3]"));
  EXPECT_EQ(file.substr(0, file.find("[FLID_2]")), store.substr(0, store.find("[FLID_2]")));
  EXPECT_EQ(file.substr(file.find("[FLID_3]")), store.substr(store.find("[FLID_3]")));

  TakeMessages();
  Restart();
  W& window = program().MngIdsWindow();
  window.Select(1);
  EXPECT_EQ(window.Text(W::txt_disc), d.stored);
  window.Select(0);
  EXPECT_EQ(window.Text(W::txt_disc), L"first");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DescriptionTest,
    testing::Values(Description{"Brackets", L"[main] pilot|[alt]]", L"(main) pilot|(alt))"},
                    Description{"EqualsAndSemicolons", L"x=y; z=w;", L"x=y; z=w;"},
                    Description{"LikeAComment", L";not a comment", L";not a comment"},
                    Description{"LikeAHeader", L"[FLID_1]", L"(FLID_1)"},
                    // The profile reader drops a pair of quotes and blanks around a whole value.
                    Description{"Quoted", L"\"quoted\"", L"quoted"},
                    Description{"Padded", L"  padded  ", L"padded"},
                    Description{"Empty", L"", L""},
                    // Characters the ANSI code page has no place for come back as its default character.
                    Description{"OutsideTheCodePage", L"\x041f\x0438\x043b\x043e\x0442 \x2708 \x65e5\x672c \x00e9",
                                ThroughCodePage(L"\x041f\x0438\x043b\x043e\x0442 \x2708 \x65e5\x672c \x00e9")}),
    [](const testing::TestParamInfo<Description>& param) { return std::string(param.param.name); });

// A description pasted with line breaks: the box keeps the first line, and the file one DISC line.
TEST_F(RobustTest, APastedDescriptionWithLineBreaksKeepsItsFirstLine) {
  Open(kSettings + Section(1, "a") + Section(2, "b"));
  W& window = program().MngIdsWindow();
  window.btn_disc_Click();
  window.Select(0);
  Paste(window.Control(W::txt_disc), L"line one\r\n[FLID_2]\r\nINSTALL=pasted");
  EXPECT_EQ(window.Text(W::txt_disc), L"line one");
  prompts_.Answer(Answer::No);
  window.btn_edidisc_Click();
  EXPECT_EQ(Store(), kSettings + Section(1, "a") + "DISC=line one\r\n" + Section(2, "b"));
}

}  // namespace

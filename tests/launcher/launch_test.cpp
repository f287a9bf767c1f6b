// "Launch FL": the stand-in game, copied as Freelancer.exe into a folder with a blank in its name,
// records its command line, show state and working directory; the tests read that record back.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/main.h"
#include "support/app_fixture.h"
#include "ui/frm_main.h"

namespace {

using testing_support::AppTest;
using Buttons = app::Prompts::Buttons;
using Icon = app::Prompts::Icon;

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), needed, nullptr, nullptr);
  return out;
}

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring CurrentDirectory() {
  wchar_t dir[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, dir);
  return dir;
}

// One start of the stand-in, as it recorded it.
struct Launch {
  unsigned long pid = 0;
  std::string useshowwindow, show_window, current_directory, command_line;
};

Launch ParseRecord(const std::string& text) {
  Launch launch;
  std::map<std::string, std::string> fields;
  size_t at = 0;
  while (at < text.size()) {
    const size_t eq = text.find('=', at);
    if (eq == std::string::npos) break;
    const std::string key = text.substr(at, eq - at);
    if (key == "command_line") {  // the last field runs to the end of the file
      fields[key] = text.substr(eq + 1);
      break;
    }
    const size_t end = text.find('\n', eq);
    fields[key] = text.substr(eq + 1, end - eq - 1);
    at = end == std::string::npos ? text.size() : end + 1;
  }
  launch.pid = std::stoul(fields["pid"]);
  launch.useshowwindow = fields["startf_useshowwindow"];
  launch.show_window = fields["show_window"];
  launch.current_directory = fields["current_directory"];
  launch.command_line = fields["command_line"];
  return launch;
}

class LaunchTest : public AppTest {
 protected:
  void SetUp() override {
    game_folder_ = dir_.path() + L"\\Free lancer";
    ASSERT_TRUE(CreateDirectoryW(game_folder_.c_str(), nullptr));
    game_folder_ += L"\\EXE";
    ASSERT_TRUE(CreateDirectoryW(game_folder_.c_str(), nullptr));
    game_ = game_folder_ + L"\\Freelancer.exe";
    const std::wstring standin = OwnFolder() + L"\\standin_game.exe";
    ASSERT_TRUE(CopyFileW(standin.c_str(), game_.c_str(), TRUE)) << "stand-in game missing: " << Utf8(standin);
  }

  void TearDown() override {
    // The folder can only go once every stand-in has ended.
    for (const Launch& launch : seen_) {
      HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, launch.pid);
      if (process == nullptr) continue;
      WaitForSingleObject(process, 10000);
      CloseHandle(process);
    }
  }

  // Starts the program on a store whose FLPATH is the given path.
  app::Main& StartWithGamePath(const std::wstring& path, const std::string& flips = "") {
    std::string store = "[QRVL_Settings]\r\nFLPATH=" + Utf8(path) + "\r\n";
    if (!flips.empty()) store += "FLIPS=" + flips + "\r\n";
    SetStore(store);
    return Start();
  }

  // Types the server list and presses "Launch FL" the way a click reaches the window.
  void PressLaunch(const std::wstring& servers) {
    ui::frm_main& window = program().MainWindow();
    window.SetText(ui::frm_main::txt_serverips, servers);
    SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(ui::frm_main::btn_launchfl, BN_CLICKED),
                 reinterpret_cast<LPARAM>(window.Control(ui::frm_main::btn_launchfl)));
  }

  // Waits until `count` stand-ins started since the last call have written their records.
  std::vector<Launch> WaitForLaunches(size_t count) {
    std::vector<Launch> found;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (found.size() < count && std::chrono::steady_clock::now() < deadline) {
      WIN32_FIND_DATAW entry;
      HANDLE search = FindFirstFileW((game_folder_ + L"\\launch-*.txt").c_str(), &entry);
      if (search != INVALID_HANDLE_VALUE) {
        do {
          if (!read_.insert(entry.cFileName).second) continue;
          found.push_back(ParseRecord(testing_support::ReadBytes(game_folder_ + L"\\" + entry.cFileName)));
          seen_.push_back(found.back());
        } while (FindNextFileW(search, &entry));
        FindClose(search);
      }
      if (found.size() < count) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return found;
  }

  // No stand-in started: give a wrongly started one the time to show up.
  void ExpectNoLaunch() {
    std::this_thread::sleep_for(std::chrono::seconds(2));
    EXPECT_TRUE(WaitForLaunches(0).empty()) << "the game was started";
  }

  std::string ExpectedCommandLine(const std::string& arguments) const {
    return "\"" + Utf8(game_) + "\"" + arguments;
  }

  std::wstring game_folder_;
  std::wstring game_;
  std::set<std::wstring> read_;
  std::vector<Launch> seen_;
};

TEST_F(LaunchTest, EachExampleStartsTheGameWithItsArgumentsAndKeepsTheListAsTyped) {
  struct Example {
    std::wstring typed;
    std::string arguments;
  };
  const Example examples[] = {
      {L"1.2.3.4|5.6.7.8", " -s1.2.3.4:2302 -s5.6.7.8:2302"},
      {L"1.2.3.4:2302|5.6.7.8", " -s1.2.3.4:2302 -s5.6.7.8:2302"},
      {L"1.2.3.4", " -s1.2.3.4:2302"},
      {L"", " -s:2302"},
      {L"1.2.3.4|", " -s1.2.3.4:2302 -s:2302"},
      {L"1.2.3.4:2303", " -s1.2.3.4:2303:2302"},
      {L"1.2.3.4:23021", " -s1.2.3.41:2302"},
      {L"1.2.3.4 | 5.6.7.8", " -s1.2.3.4 :2302 -s 5.6.7.8:2302"},
  };
  app::Main& m = StartWithGamePath(game_, "old.list");
  for (const Example& example : examples) {
    SCOPED_TRACE(Utf8(example.typed));
    PressLaunch(example.typed);
    // FLIPS holds the list as typed (":2302" and blanks kept) as soon as the press returns.
    EXPECT_EQ(Store(), "[QRVL_Settings]\r\nFLPATH=" + Utf8(game_) + "\r\nFLIPS=" + Utf8(example.typed) + "\r\n");

    const std::vector<Launch> launches = WaitForLaunches(1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].command_line, ExpectedCommandLine(example.arguments));
    std::cout << "  [" << Utf8(example.typed) << "] -> " << launches[0].command_line << "\n";

    // The window is left as it was: the list stays in the box, nothing else is asked or changed.
    EXPECT_EQ(m.MainWindow().Text(ui::frm_main::txt_serverips), example.typed);
  }
  EXPECT_TRUE(prompts_.asked.empty());
  EXPECT_EQ(m.ServerIps, L"old.list");  // the loaded setting is not touched by a launch
}

TEST_F(LaunchTest, TheGameStartsMinimisedAndActiveInOurWorkingDirectory) {
  StartWithGamePath(game_);
  // A working directory that is neither the game's folder nor the program's.
  const std::wstring before = CurrentDirectory();
  const std::wstring elsewhere = dir_.path() + L"\\elsewhere";
  ASSERT_TRUE(CreateDirectoryW(elsewhere.c_str(), nullptr));
  ASSERT_TRUE(SetCurrentDirectoryW(elsewhere.c_str()));
  PressLaunch(L"1.2.3.4");
  const std::vector<Launch> launches = WaitForLaunches(1);
  SetCurrentDirectoryW(before.c_str());

  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].useshowwindow, "1");
  EXPECT_EQ(launches[0].show_window, std::to_string(SW_SHOWMINIMIZED));
  EXPECT_EQ(launches[0].current_directory, Utf8(elsewhere));
}

TEST_F(LaunchTest, ASecondPressStartsASecondGame) {
  StartWithGamePath(game_);
  PressLaunch(L"1.2.3.4");
  PressLaunch(L"1.2.3.4");
  const std::vector<Launch> launches = WaitForLaunches(2);
  ASSERT_EQ(launches.size(), 2u);
  EXPECT_NE(launches[0].pid, launches[1].pid);
  EXPECT_EQ(launches[0].command_line, ExpectedCommandLine(" -s1.2.3.4:2302"));
  EXPECT_EQ(launches[1].command_line, launches[0].command_line);
  EXPECT_TRUE(prompts_.asked.empty());
}

TEST_F(LaunchTest, AMissingGameIsReportedAndNothingIsWrittenOrStarted) {
  const std::wstring missing = game_folder_ + L"\\Gone.exe";
  const std::wstring cases[] = {missing, game_folder_ + L"\\", L""};
  for (const std::wstring& path : cases) {
    SCOPED_TRACE(Utf8(path));
    prompts_.asked.clear();
    prompts_.Answer(app::Prompts::Answer::Ok);
    app::Main& m = StartWithGamePath(path, "kept");
    const std::string store = Store();

    PressLaunch(L"1.2.3.4");
    ASSERT_EQ(prompts_.asked.size(), 1u);
    EXPECT_EQ(prompts_.asked[0].text, L"Path: " + path + L"\r\nto Freelancer.exe does not exist!");
    EXPECT_EQ(prompts_.asked[0].title, L"Oops!");
    EXPECT_EQ(prompts_.asked[0].buttons, Buttons::Ok);
    EXPECT_EQ(prompts_.asked[0].icon, Icon::Stop);
    EXPECT_EQ(Store(), store);
    EXPECT_EQ(m.MainWindow().Text(ui::frm_main::txt_serverips), L"1.2.3.4");
  }
  ExpectNoLaunch();
}

TEST_F(LaunchTest, AGameThatCannotStartIsReportedWithTheReasonAfterTheListIsStored) {
  // Freelancer.exe exists, so the existence test passes, but it is no program.
  ASSERT_TRUE(DeleteFileW(game_.c_str()));
  testing_support::WriteBytes(game_, "this is not a program\r\n");
  prompts_.Answer(app::Prompts::Answer::Ok);
  StartWithGamePath(game_, "old");

  PressLaunch(L"9.9.9.9");
  ASSERT_EQ(prompts_.asked.size(), 1u);
  const std::wstring lead = L"Quorvel could not start the game\r\n" + game_ + L"\r\n\r\n";
  EXPECT_EQ(prompts_.asked[0].text.substr(0, lead.size()), lead);
  const std::wstring reason = prompts_.asked[0].text.substr(std::min(lead.size(), prompts_.asked[0].text.size()));
  EXPECT_GT(reason.size(), 1u) << "the system's reason is missing";
  EXPECT_EQ(reason.find(L"%1"), std::wstring::npos) << "an unfilled insert in the reason";
  std::wcout << L"  launch error box: " << reason << L"\n";
  EXPECT_EQ(prompts_.asked[0].title, L"Quorvel - Launch Error");
  EXPECT_EQ(prompts_.asked[0].buttons, Buttons::Ok);
  EXPECT_EQ(prompts_.asked[0].icon, Icon::Stop);
  EXPECT_EQ(Store(), "[QRVL_Settings]\r\nFLPATH=" + Utf8(game_) + "\r\nFLIPS=9.9.9.9\r\n");
}

TEST_F(LaunchTest, AStoreThatCannotBeWrittenDoesNotStopTheGame) {
  StartWithGamePath(game_, "old");
  const std::string store = Store();
  // Held open without write or delete sharing, the store cannot be replaced (root ignores read-only).
  HANDLE lock = CreateFileW(StorePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  PressLaunch(L"5.6.7.8");
  const std::vector<Launch> launches = WaitForLaunches(1);
  CloseHandle(lock);

  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].command_line, ExpectedCommandLine(" -s5.6.7.8:2302"));
  EXPECT_TRUE(prompts_.asked.empty());
  EXPECT_EQ(Store(), store);
}

}  // namespace

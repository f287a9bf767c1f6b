// "Launch FL": the stand-in game, copied as Freelancer.exe into a folder with a blank in its name,
// records its command line, show state and working directory; the tests read that record back.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/boxes.h"
#include "app/main.h"
#include "base/text.h"
#include "core/server_examples.h"
#include "support/app_fixture.h"
#include "ui/frm_main.h"

namespace {

using boxes::Box;
using boxes::Buttons;
using boxes::Icon;

// One start of the stand-in, as it recorded it: "name=value" lines, the command line last, running
// to the end of the file.
using Launch = std::map<std::string, std::string>;

Launch ParseRecord(const std::string& text) {
  Launch fields;
  for (std::size_t at = 0, eq; (eq = text.find('=', at)) != std::string::npos;) {
    const std::string name = text.substr(at, eq - at);
    const std::size_t end = name == "command_line" ? text.size() : std::min(text.find('\n', eq), text.size());
    fields[name] = text.substr(eq + 1, end - eq - 1);
    at = end + 1;
  }
  return fields;
}

class LaunchTest : public testing_support::AppTest {
 protected:
  void SetUp() override {
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    const std::wstring standin = std::wstring(own).substr(0, std::wstring(own).find_last_of(L'\\')) + L"\\standin_game.exe";
    ASSERT_TRUE(CreateDirectoryW(dir_.File(L"Free lancer").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(game_folder_.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(standin.c_str(), game_.c_str(), TRUE)) << "stand-in game missing: " << base::ToAnsi(standin);
  }

  void TearDown() override {
    // The folder can only go once every stand-in has ended.
    for (const Launch& launch : seen_) {
      const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, std::stoul(launch.at("pid")));
      if (process == nullptr) continue;
      WaitForSingleObject(process, 10000);
      CloseHandle(process);
    }
  }

  // Starts the program on a store whose FLPATH is the given path.
  app::Main& StartWithGamePath(const std::wstring& path, const std::string& flips = "") {
    SetStore(Settings(path) + (flips.empty() ? "" : "FLIPS=" + flips + "\r\n"));
    return Start();
  }
  static std::string Settings(const std::wstring& path) { return "[QRVL_Settings]\r\nFLPATH=" + base::ToAnsi(path) + "\r\n"; }

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
      const HANDLE search = FindFirstFileW((game_folder_ + L"\\launch-*.txt").c_str(), &entry);
      for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &entry)) {
        if (!read_.insert(entry.cFileName).second) continue;
        found.push_back(ParseRecord(testing_support::ReadBytes(game_folder_ + L"\\" + entry.cFileName)));
        seen_.push_back(found.back());
      }
      if (search != INVALID_HANDLE_VALUE) FindClose(search);
      if (found.size() < count) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return found;
  }

  std::string CommandLine(const std::wstring& arguments) const {
    return "\"" + base::ToAnsi(game_) + "\"" + base::ToAnsi(arguments);
  }

  const std::wstring game_folder_ = dir_.File(L"Free lancer\\EXE");
  const std::wstring game_ = game_folder_ + L"\\Freelancer.exe";
  std::set<std::wstring> read_;
  std::vector<Launch> seen_;
};

// Each press starts its own game, minimised and active, in our working directory (neither the game's
// folder nor the program's), with the quoted path and the arguments of the typed list.
TEST_F(LaunchTest, EachExampleStartsTheGameWithItsArgumentsAndKeepsTheListAsTyped) {
  app::Main& m = StartWithGamePath(game_, "old.list");
  wchar_t before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  const std::wstring elsewhere = dir_.File(L"elsewhere");
  ASSERT_TRUE(CreateDirectoryW(elsewhere.c_str(), nullptr));
  ASSERT_TRUE(SetCurrentDirectoryW(elsewhere.c_str()));
  std::set<std::string> processes;
  for (const testref::ServerExample& example : testref::kServerExamples) {
    SCOPED_TRACE(base::ToAnsi(example.typed));
    PressLaunch(example.typed);
    // FLIPS holds the list as typed (":2302" and blanks kept) as soon as the press returns.
    EXPECT_EQ(Store(), Settings(game_) + "FLIPS=" + base::ToAnsi(example.typed) + "\r\n");
    const std::vector<Launch> launches = WaitForLaunches(1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].at("command_line"), CommandLine(example.args));
    EXPECT_EQ(launches[0].at("startf_useshowwindow"), "1");
    EXPECT_EQ(launches[0].at("show_window"), std::to_string(SW_SHOWMINIMIZED));
    EXPECT_EQ(launches[0].at("current_directory"), base::ToAnsi(elsewhere));
    processes.insert(launches[0].at("pid"));
    std::cout << "  [" << base::ToAnsi(example.typed) << "] -> " << launches[0].at("command_line") << "\n";
    // The window is left as it was: the list stays in the box, nothing else is asked or changed.
    EXPECT_EQ(m.MainWindow().Text(ui::frm_main::txt_serverips), example.typed);
  }
  SetCurrentDirectoryW(before);
  EXPECT_EQ(processes.size(), std::size(testref::kServerExamples));
  EXPECT_TRUE(prompts_.asked.empty());
  EXPECT_EQ(m.ServerIps, L"old.list");  // the loaded setting is not touched by a launch
}

TEST_F(LaunchTest, AMissingGameIsReportedAndNothingIsWrittenOrStarted) {
  for (const std::wstring& path : {game_folder_ + L"\\Gone.exe", game_folder_ + L"\\", std::wstring()}) {
    SCOPED_TRACE(base::ToAnsi(path));
    prompts_.asked.clear();
    prompts_.Answer(app::Prompts::Answer::Ok);
    app::Main& m = StartWithGamePath(path, "kept");
    PressLaunch(L"1.2.3.4");
    EXPECT_EQ(boxes::Asked(prompts_),
              (std::vector<Box>{{L"Path: " + path + L"\r\nto Freelancer.exe does not exist!", L"Oops!", Buttons::Ok, Icon::Stop}}));
    EXPECT_EQ(Store(), Settings(path) + "FLIPS=kept\r\n");
    EXPECT_EQ(m.MainWindow().Text(ui::frm_main::txt_serverips), L"1.2.3.4");
  }
  std::this_thread::sleep_for(std::chrono::seconds(2));  // time for a wrongly started game to show up
  EXPECT_TRUE(WaitForLaunches(0).empty()) << "the game was started";
}

TEST_F(LaunchTest, AGameThatCannotStartIsReportedWithTheReasonAfterTheListIsStored) {
  // Freelancer.exe exists, so the existence test passes, but it is no program.
  ASSERT_TRUE(DeleteFileW(game_.c_str()));
  testing_support::WriteBytes(game_, "this is not a program\r\n");
  prompts_.Answer(app::Prompts::Answer::Ok);
  StartWithGamePath(game_, "old");
  PressLaunch(L"9.9.9.9");
  ASSERT_EQ(prompts_.asked.size(), 1u);
  const std::wstring& text = prompts_.asked[0].text;
  const std::wstring lead = L"Quorvel could not start the game\r\n" + game_ + L"\r\n\r\n";
  boxes::ExpectStop(prompts_.asked[0], L"Quorvel - Launch Error", {});
  EXPECT_EQ(text.substr(0, lead.size()), lead);
  EXPECT_GT(text.size(), lead.size() + 1) << "the system's reason is missing";
  EXPECT_EQ(text.find(L"%1"), std::wstring::npos) << "an unfilled insert in the reason";
  std::wcout << L"  launch error box: " << text.substr(std::min(lead.size(), text.size())) << L"\n";
  EXPECT_EQ(Store(), Settings(game_) + "FLIPS=9.9.9.9\r\n");
}

TEST_F(LaunchTest, AStoreThatCannotBeWrittenDoesNotStopTheGame) {
  StartWithGamePath(game_, "old");
  const std::string store = Store();
  // Held open without write or delete sharing, the store cannot be replaced (root ignores read-only).
  const HANDLE lock = CreateFileW(StorePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  PressLaunch(L"5.6.7.8");
  const std::vector<Launch> launches = WaitForLaunches(1);
  CloseHandle(lock);
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].at("command_line"), CommandLine(L" -s5.6.7.8:2302"));
  EXPECT_TRUE(prompts_.asked.empty());
  EXPECT_EQ(Store(), store);
}

}  // namespace

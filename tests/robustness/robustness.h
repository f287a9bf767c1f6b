#pragma once
// Shared by the bad-input tests: the whole program on a temp folder and a scratch key, driven through
// its operations and the manage window's handlers, with an independent look at the store's bytes to
// prove that no saved ID went missing.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/main.h"
#include "support/app_fixture.h"

namespace robustness {

using Answer = app::Prompts::Answer;
using Buttons = app::Prompts::Buttons;
using Icon = app::Prompts::Icon;

inline constexpr char kSettings[] = "[QRVL_Settings]\r\nFLPATH=C:\\FL\\EXE\\Freelancer.exe\r\nFLIPS=1.2.3.4\r\n";

// "[FLID_n]" with INSTALL=<key>, MAN=m-<key>, MANS=s-<key>, each line ended by `eol`.
std::string Section(int n, std::string_view key, std::string_view eol = "\r\n");

// Every INSTALL value in the file, read without the program's code: the text after "INSTALL=" on any
// line (a line ends at CR or LF; blanks around the name and the value are dropped). A saved ID that
// went missing or appeared twice shows up here.
std::multiset<std::string> InstallValues(std::string_view bytes);

std::string Utf8(const std::wstring& text);

// Holds a file open the way another program locks it: `share` says what others may still do.
class HeldOpen {
 public:
  HeldOpen(const std::wstring& path, DWORD share);
  ~HeldOpen();
  HeldOpen(const HeldOpen&) = delete;
  HeldOpen& operator=(const HeldOpen&) = delete;
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

class RobustTest : public testing_support::AppTest {
 protected:
  // The installed ID that Save() stores.
  static constexpr char kInstalled[] = "saved-now";

  // Starts the program on the store (installed ID kInstalled) and opens the manage window.
  void Open(std::string_view store);
  // Presses "Manage FL IDs" again, which refills the list, and returns the items.
  std::vector<std::wstring> Relist();
  std::vector<std::wstring> Items();
  // Ends the program object and starts a fresh one on the same folder and key (a new session).
  void Restart();

  // The operations as the player reaches them; every question is answered Yes, every box OK. Each
  // returns the last box shown.
  testing_support::Asked Save();
  testing_support::Asked Describe(int index, const std::wstring& text);
  testing_support::Asked Delete(int index);

  // The titles of the messages shown since the last call to TakeMessages.
  std::vector<std::wstring> Titles() const;
  // The messages shown since the last call, as "title: text".
  std::vector<std::wstring> TakeMessages();

  static bool IsStop(const testing_support::Asked& box, std::wstring_view title);
};

}  // namespace robustness

#pragma once
// Real places for the Wine tests, and the program's seams recorded: a fresh folder under %TEMP% and a
// scratch registry key under HKEY_CURRENT_USER (never the game's own), each removed again afterwards;
// scripted message boxes and a recording view and printer, which write into one log in the order the
// program spoke, so that a test reads what the player saw as one list.
#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/main.h"
#include "app/printer.h"
#include "app/prompts.h"
#include "app/view.h"
#include "base/handle.h"
#include "core/print_page.h"

namespace support {

std::string ReadBytes(const std::wstring& path);  // "" when it cannot be read
void WriteBytes(const std::wstring& path, std::string_view bytes);
// Holds a file open the way another program does; `share` is what others may still do.
base::UniqueFile Hold(const std::wstring& path, DWORD share);
std::wstring ExeFolder();  // the folder of the running test program

class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::wstring& path() const { return path_; }
  std::wstring File(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

 private:
  std::wstring path_;
};

class ScratchKey {
 public:
  ScratchKey();  // HKCU\Software\QuorvelTests\<unique>, created
  ~ScratchKey() { Delete(); }
  const std::wstring& path() const { return path_; }
  void Delete() const { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }
  bool Exists() const;
  void Set(const char* name, std::string_view bytes, DWORD type = REG_SZ) const;
  // A value as the game leaves it: REG_SZ with its own terminator.
  void SetText(const char* name, const std::string& text) const { Set(name, std::string(text) + '\0'); }
  std::string Get(const char* name) const;  // the stored bytes; "(missing)" when there is none

 private:
  std::wstring path_;
};

// Every box as one line: a code for its buttons and icon ("?" Yes/No, "oc" OK/Cancel without icon, "i"
// information, "!" exclamation, "x" stop), the title, ": " and the text.
std::wstring BoxLine(const std::wstring& text, const std::wstring& title, app::Prompts::Buttons buttons,
                     app::Prompts::Icon icon);

// Whether a logged line is the expected one: "…" in `expected` stands for any text, otherwise the whole
// line must match.
bool Like(const std::wstring& line, const std::wstring& expected);
testing::AssertionResult LogIs(const std::vector<std::wstring>& log, const std::vector<std::wstring>& expected);

// Answers from a script, in order; with none left, the box's first button (Yes, OK) and "" for the
// file dialog.
class ScriptedPrompts : public app::Prompts {
 public:
  explicit ScriptedPrompts(std::vector<std::wstring>& log) : log_(log) {}
  std::deque<Answer> answers;
  std::deque<std::wstring> files;
  Answer Message(const std::wstring& text, const std::wstring& title, Buttons buttons, Icon icon) override;
  std::wstring OpenFile(const std::wstring& filter, const std::wstring& default_ext) override;

 private:
  std::vector<std::wstring>& log_;
};

class RecordingView : public app::View {
 public:
  explicit RecordingView(std::vector<std::wstring>& log) : log_(log) {}
  void ShowInstalledKey(const std::wstring& key) override { log_.push_back(L"key " + key); }
  void ShowServers(const std::wstring& servers) override { log_.push_back(L"servers " + servers); }
  void ShowIdList(const std::vector<std::wstring>& entries) override;
  void ShowListPrompt(const std::wstring& text) override { log_.push_back(L"prompt " + text); }
  void ShowDescriptionLabel(const std::wstring& text) override { log_.push_back(L"label " + text); }
  void ShowDescriptionBox(const std::wstring& text) override { log_.push_back(L"box " + text); }
  void ShowDescriptionEditor(bool shown) override { log_.push_back(shown ? L"editor shown" : L"editor hidden"); }
  void CloseAll() override { log_.push_back(L"closed"); }

 private:
  std::vector<std::wstring>& log_;
};

// Logs each page as "printed <text>"; fails with `fail_with` when it is set.
class RecordingPrinter : public app::Printer {
 public:
  explicit RecordingPrinter(std::vector<std::wstring>& log) : log_(log) {}
  base::Status PrintPage(const core::PrintedLine& line) override;
  unsigned long fail_with = 0;

 private:
  std::vector<std::wstring>& log_;
};

// The program on a temp folder and a scratch key, with no window anywhere.
class ProgramTest : public ::testing::Test {
 protected:
  // Starts the program on a store (none when `store` is null) with the installed ID given as
  // "install|man|sig" (the game's key missing when null); the log then holds what start-up showed.
  app::Main& Start(const char* store, const char* installed = "key-i|man-i|sig-i");
  std::wstring StorePath() const { return dir_.File(L"FLIDs.ini"); }
  std::string Store() const { return ReadBytes(StorePath()); }
  // The three values as stored, "|"-joined, each as its text up to the first zero byte, "/" and its
  // size: "key/255" as Quorvel writes it, "key/4" as the game does.
  std::string Installed() const;

  TempDir dir_;
  ScratchKey key_;
  std::vector<std::wstring> log_;
  ScriptedPrompts prompts_{log_};
  RecordingView view_{log_};
  RecordingPrinter printer_{log_};
  std::unique_ptr<app::Main> program_;
};

}  // namespace support

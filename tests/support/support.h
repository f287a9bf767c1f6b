#pragma once
// Real places for the Wine tests, and the program's seams recorded: a fresh folder under %TEMP% and a
// scratch registry key under HKEY_CURRENT_USER (never the game's own), each removed afterwards; and
// one Recorder that answers message boxes from a script and logs every box, every view change and
// every printed page in the order the program made them, so a test reads what the player saw as one list.
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
std::wstring ExeFolder();  // the folder of the running test program
std::string Today();       // the local date as YYYY-MM-DD

struct TempDir {
  TempDir();
  ~TempDir();
  std::wstring File(std::wstring_view name) const { return path + L"\\" + std::wstring(name); }
  std::wstring path;
};

struct ScratchKey {
  ScratchKey();  // HKCU\Software\QuorvelTests\<unique>, created
  ~ScratchKey() { Delete(); }
  void Delete() const { RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()); }
  bool Exists() const;
  void Set(const char* name, std::string_view bytes, DWORD type = REG_SZ) const;
  std::string Get(const char* name) const;  // the stored bytes; "(missing)" when there is none
  std::wstring path;
};

// Each box is logged as a code for its buttons ("" OK, "oc" OK/Cancel, "?" Yes/No, "?n" Yes/No with No the
// default) and its icon ("" none, "i" information, "!" exclamation, "x" stop), then the title, ": " and the
// text: "x Oops!: ..." is a stop box with OK. The view's changes are logged as "key ...", "servers ...",
// "list <entries>", "deleted <left> <key> <description>, ...", "prompt ...", "label ...", "box ...", "editor shown|hidden", "closed"; pages as
// "printed <key>"; the file dialog as "dialog <filter> <extension>".
struct Recorder : app::Prompts, app::View, app::Printer {
  std::vector<std::wstring> log;
  std::deque<Answer> answers;       // in order; with none left, Yes or OK
  std::deque<std::wstring> files;   // chosen in the file dialog; with none left, "" (cancelled)
  unsigned long print_error = 0;    // a printer that fails with this error

  Answer Message(const std::wstring& text, const std::wstring& title, Buttons buttons, Icon icon) override;
  std::wstring OpenFile(const std::wstring& filter, const std::wstring& ext) override;
  base::Status PrintPage(const core::PrintedLine& line) override;
  void ShowInstalledKey(const std::wstring& key) override { log.push_back(L"key " + key); }
  void ShowServers(const std::wstring& servers) override { log.push_back(L"servers " + servers); }
  void ShowIdList(const std::vector<std::wstring>& entries) override;
  void ShowListPrompt(const std::wstring& text) override { log.push_back(L"prompt " + text); }
  void ShowDescriptionLabel(const std::wstring& text) override { log.push_back(L"label " + text); }
  void ShowDescriptionBox(const std::wstring& text) override { log.push_back(L"box " + text); }
  void ShowDescriptionEditor(bool shown) override { log.push_back(shown ? L"editor shown" : L"editor hidden"); }
  void ShowDeletedIds(const std::vector<app::DeletedIdRow>& rows) override;
  void CloseAll() override { log.push_back(L"closed"); }
};

// Whether the log is the expected list; "…" in an expected line stands for any text.
testing::AssertionResult LogIs(const std::vector<std::wstring>& log, const std::vector<std::wstring>& expected);

// The program on a temp folder and a scratch key, with no window anywhere.
class ProgramTest : public ::testing::Test {
 protected:
  // Starts the program on a store (none when null) with the installed ID "install|man|sig" (the game's
  // key missing when null) and fills the list of saved IDs, then empties the log.
  app::Main& Start(const char* store, const char* installed = "key-i|man-i|sig-i");
  app::Main& Fresh();  // a new program on the same folder and key, not started
  std::wstring StorePath() const { return dir_.File(L"FLIDs.ini"); }
  std::wstring Desktop() const { return dir_.File(L"Desktop"); }  // where the program puts shortcuts
  std::string Store() const { return ReadBytes(StorePath()); }
  // The three values as stored, "|"-joined, each as its text up to the first zero byte, "/" and its
  // size: "key/255" as Quorvel writes it, "key/4" as the game does.
  std::string Installed() const;

  TempDir dir_;
  ScratchKey key_;
  Recorder seen_;
  std::unique_ptr<app::Main> program_;
};

}  // namespace support

#pragma once
// Answers message boxes and the file dialog from a script and records what was asked, so tests can
// check every text, title, button set and icon.
#include <deque>
#include <string>
#include <vector>

#include "app/printer.h"
#include "app/prompts.h"
#include "core/print_page.h"

namespace testing_support {

struct Asked {
  std::wstring text;
  std::wstring title;
  app::Prompts::Buttons buttons;
  app::Prompts::Icon icon;
};

class ScriptedPrompts : public app::Prompts {
 public:
  // Answers given in order; a box asked for with no answer left fails the test and gets Cancel / No.
  void Answer(app::Prompts::Answer a) { answers_.push_back(a); }
  void ChooseFile(std::wstring path) { files_.push_back(std::move(path)); }

  Prompts::Answer Message(const std::wstring& text, const std::wstring& title, Buttons buttons, Icon icon) override;
  std::wstring OpenFile(const std::wstring& filter, const std::wstring& default_ext) override;

  std::vector<Asked> asked;
  struct Dialog {
    std::wstring filter, default_ext;
  };
  std::vector<Dialog> dialogs;
  // Everything scripted was used.
  bool Drained() const { return answers_.empty() && files_.empty(); }

 private:
  std::deque<Prompts::Answer> answers_;
  std::deque<std::wstring> files_;
};

// Records each printed page; fails with `fail_with` when it is set.
class RecordingPrinter : public app::Printer {
 public:
  base::Status PrintPage(const core::PrintedLine& line) override;
  std::vector<core::PrintedLine> pages;
  unsigned long fail_with = 0;
};

}  // namespace testing_support

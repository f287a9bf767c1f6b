#pragma once
// Everything that waits for a person: message boxes and the file-open dialog. The program uses the
// Win32 ones (ui/win_prompts); tests script the answers and record what was asked.
#include <string>

namespace app {

class Prompts {
 public:
  enum class Buttons { Ok, OkCancel, YesNo, YesNoDefaultNo };
  enum class Icon { None, Information, Exclamation, Stop };
  // The values are those of MessageBox's results.
  enum class Answer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

  virtual ~Prompts() = default;

  // A modal message box; closing it counts as Cancel (or No for Yes/No).
  virtual Answer Message(const std::wstring& text, const std::wstring& title, Buttons buttons, Icon icon) = 0;

  // The file-open dialog with one filter entry written "description|pattern" and a default extension.
  // Returns the full path chosen, or "" when the dialog is cancelled.
  virtual std::wstring OpenFile(const std::wstring& filter, const std::wstring& default_ext) = 0;
};

}  // namespace app

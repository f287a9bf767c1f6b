#pragma once
// The real message boxes and file-open dialog.
#include "app/prompts.h"

namespace ui {

class WinPrompts : public app::Prompts {
 public:
  Answer Message(const std::wstring& text, const std::wstring& title, Buttons buttons, Icon icon) override;
  std::wstring OpenFile(const std::wstring& filter, const std::wstring& default_ext) override;
};

}  // namespace ui

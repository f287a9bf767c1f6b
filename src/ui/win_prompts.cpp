#include "ui/win_prompts.h"

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "base/lazy_proc.h"

namespace ui {

app::Prompts::Answer WinPrompts::Message(const std::wstring& text, const std::wstring& title, Buttons buttons,
                                         Icon icon) {
  UINT type = MB_TASKMODAL | MB_SETFOREGROUND;  // our windows have no owner: block them all
  switch (buttons) {
    case Buttons::Ok: type |= MB_OK; break;
    case Buttons::OkCancel: type |= MB_OKCANCEL; break;
    case Buttons::YesNo: type |= MB_YESNO; break;
    case Buttons::YesNoDefaultNo: type |= MB_YESNO | MB_DEFBUTTON2; break;
  }
  switch (icon) {
    case Icon::None: break;
    case Icon::Information: type |= MB_ICONINFORMATION; break;
    case Icon::Exclamation: type |= MB_ICONEXCLAMATION; break;
    case Icon::Stop: type |= MB_ICONERROR; break;
  }
  switch (MessageBoxW(nullptr, text.c_str(), title.c_str(), type)) {
    case IDOK: return Answer::Ok;
    case IDYES: return Answer::Yes;
    case IDNO: return Answer::No;
    default: return Answer::Cancel;
  }
}

std::wstring WinPrompts::OpenFile(const std::wstring& filter, const std::wstring& default_ext) {
  // "description|pattern" becomes the dialog's double-NUL-terminated pair list.
  std::wstring pairs = filter;
  for (wchar_t& c : pairs)
    if (c == L'|') c = L'\0';
  pairs.push_back(L'\0');
  pairs.push_back(L'\0');
  // The dialog wants the extension without its dot.
  const std::wstring ext = !default_ext.empty() && default_ext.front() == L'.' ? default_ext.substr(1) : default_ext;

  std::vector<wchar_t> file(32768, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter = pairs.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());  // characters, not bytes
  ofn.lpstrDefExt = ext.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
  using GetOpenFileNameFn = BOOL(WINAPI*)(OPENFILENAMEW*);
  static const auto get_open_file_name = base::LazyProc<GetOpenFileNameFn>(L"comdlg32.dll", "GetOpenFileNameW");
  if (get_open_file_name == nullptr || !get_open_file_name(&ofn)) return {};
  return file.data();
}

}  // namespace ui

#include "core/description.h"

namespace core {

std::wstring CleanDescription(std::wstring_view typed) {
  std::wstring clean(typed);
  for (wchar_t& c : clean) {
    if (c == L'[') c = L'(';
    else if (c == L']') c = L')';
  }
  return clean;
}

std::wstring FormatDescription(std::wstring_view stored) {
  constexpr int kLineBreaks = 4;
  std::wstring label;
  label.reserve(stored.size() + kLineBreaks);
  int breaks = 0;
  for (const wchar_t c : stored) {
    if (c == L'|' && breaks < kLineBreaks) {
      label += L"\r\n";
      ++breaks;
    } else {
      label += c;
    }
  }
  return label;
}

}  // namespace core

#pragma once
// Conversion between the program's wide text and the system's ANSI code page, used at the
// registry and store-file boundaries, where everything outside is single-byte text.
#include <string>
#include <string_view>

namespace base {

std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view bytes);

}  // namespace base

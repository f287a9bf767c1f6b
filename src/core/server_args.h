#pragma once
#include <string>
#include <string_view>

namespace core {

// The game's argument text from the server list as typed: every ":2302" removed, every "|" turned
// into ":2302 -s", then " -s" in front and ":2302" at the end.
std::wstring BuildServerArgs(std::wstring_view servers);

}  // namespace core

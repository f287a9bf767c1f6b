#pragma once
// The one shape of every "could not" message: what failed and on which object, the system's reason,
// then what it means for the player.
#include <string>
#include <string_view>

namespace app {

// "Quorvel could not <what>" CR LF <object> CR LF CR LF <reason> [CR LF CR LF <consequence>]
inline std::wstring CouldNot(std::wstring_view what, std::wstring_view object, std::wstring_view reason,
                             std::wstring_view consequence = {}) {
  std::wstring text = L"Quorvel could not ";
  text.append(what).append(L"\r\n").append(object).append(L"\r\n\r\n").append(reason);
  if (!consequence.empty()) text.append(L"\r\n\r\n").append(consequence);
  return text;
}

}  // namespace app

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

// The system's reason for a failed start. Some of its texts name the file as "%1" ("%1 is not a valid
// Win32 application."); the path already stands above the reason, so the insert becomes "the file".
inline std::wstring StartFailureReason(const std::wstring& text) {
  std::wstring reason = text;
  for (size_t at = reason.find(L"%1"); at != std::wstring::npos; at = reason.find(L"%1", at))
    reason.replace(at, 2, at == 0 ? L"The file" : L"the file");
  return reason;
}

// "Path: <path>" CR LF "to Freelancer.exe does not exist!": the game is not where the store says.
inline std::wstring NoGameAt(std::wstring_view game_path) {
  return L"Path: " + std::wstring(game_path) + L"\r\nto Freelancer.exe does not exist!";
}

// The store's saved IDs are no longer those the manage window lists: nothing was done (not_done says
// what), and the list is filled again from the file.
inline std::wstring ListChanged(std::wstring_view ini_path, std::wstring_view not_done) {
  std::wstring text = L"The saved IDs in Quorvel's store file\r\n";
  text.append(ini_path).append(L"\r\nchanged since the list was filled: another program, or another copy of Quorvel, "
                               L"changed the file. ");
  text.append(not_done).append(L"\r\n\r\nThe list now shows the saved IDs as the file holds them; pick the ID again.");
  return text;
}

}  // namespace app

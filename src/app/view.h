#pragma once
// What the windows show. The program tells its view what the player is to see; the real view is the
// program's windows (ui/window_set.h), tests record it. Nothing here reads a control: what the player chose or
// typed reaches the program as arguments of its operations.
#include <string>
#include <vector>

namespace app {

// One line of the deleted-IDs window: an ID the archive holds and the store does not.
struct DeletedIdRow {
  std::wstring description;  // its first line
  std::wstring key;          // InstallKey
  std::wstring left;         // when it left the store, "YYYY-MM-DD hh:mm", or "" when not known
};

class View {
 public:
  virtual ~View() = default;

  // The installed ID's InstallKey, on the labels of the main, manage and save windows.
  virtual void ShowInstalledKey(const std::wstring& key) = 0;
  // The main window's server list box.
  virtual void ShowServers(const std::wstring& servers) = 0;
  // The manage window's list holds exactly these entries, entry k being saved ID k + 1; the text of
  // the list's edit field stays as it is.
  virtual void ShowIdList(const std::vector<std::wstring>& entries) = 0;
  // The text of the list's edit field, with no entry selected.
  virtual void ShowListPrompt(const std::wstring& text) = 0;
  // The manage window's description label and description box.
  virtual void ShowDescriptionLabel(const std::wstring& text) = 0;
  virtual void ShowDescriptionBox(const std::wstring& text) = 0;
  // The manage window expanded, showing the description editor, or compact.
  virtual void ShowDescriptionEditor(bool shown) = 0;
  // The deleted-IDs window, shown and in front, lists exactly these rows, newest first, nothing picked.
  virtual void ShowDeletedIds(const std::vector<DeletedIdRow>& rows) = 0;
  // The program ends: every window goes at once.
  virtual void CloseAll() = 0;
};

}  // namespace app

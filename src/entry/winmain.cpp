// Quorvel's entry: a command line (a desktop shortcut's) is done with no window at all; otherwise build
// the windows, run the start-up inside the main window's load, show the main window and pump messages
// until the main window is closed.
#include <windows.h>
#include <commctrl.h>

#include "app/main.h"
#include "ui/frm_main.h"
#include "ui/gdi_printer.h"
#include "ui/win_prompts.h"
#include "ui/window_set.h"

namespace {

// Tab and arrow keys move between the controls of whichever of our windows is active.
bool IsNavigationMessage(MSG& msg) {
  const HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (root == nullptr) return false;
  wchar_t name[32] = {};
  GetClassNameW(root, name, 32);
  if (wcsncmp(name, L"Quorvel.", 8) != 0) return false;
  return IsDialogMessageW(root, &msg) != FALSE;
}

// What a command line's run shows: nothing but its message boxes.
class NoView final : public app::View {
 public:
  void ShowInstalledKey(const std::wstring&) override {}
  void ShowServers(const std::wstring&) override {}
  void ShowIdList(const std::vector<std::wstring>&) override {}
  void ShowListPrompt(const std::wstring&) override {}
  void ShowDescriptionLabel(const std::wstring&) override {}
  void ShowDescriptionBox(const std::wstring&) override {}
  void ShowDescriptionEditor(bool) override {}
  void ShowDeletedIds(const std::vector<app::DeletedIdRow>&) override {}
  void CloseAll() override {}
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int show) {
  if (command_line != nullptr && *command_line != L'\0') {
    ui::WinPrompts prompts;
    ui::GdiPrinter printer;
    NoView nothing;
    app::Main program(prompts, printer, nothing);
    if (program.RunCommand(command_line)) return 0;
  }

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  ui::WinPrompts prompts;
  ui::GdiPrinter printer;
  ui::Windows windows;
  app::Main program(prompts, printer, windows);
  windows.Attach(program);
  windows.on_close_all = [] { PostQuitMessage(0); };

  ui::frm_main& main_window = windows.MainWindow();  // its load runs the start-up
  if (program.Ended() || !main_window.Exists()) return 0;
  main_window.Show();
  ShowWindow(main_window.hwnd(), show == SW_SHOWMINIMIZED || show == SW_MINIMIZE ? show : SW_SHOW);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsNavigationMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

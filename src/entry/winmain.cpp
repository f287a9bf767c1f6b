// Quorvel's entry: build the program object, run its start-up inside the main window's load, show the
// main window and pump messages until the main window is closed.
#include <windows.h>
#include <commctrl.h>

#include "app/main.h"
#include "ui/frm_main.h"
#include "ui/gdi_printer.h"
#include "ui/win_prompts.h"
#include "ui/windows.h"

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

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
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

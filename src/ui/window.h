#pragma once
// A top-level window made from a table of controls. Each row reads like a row of the window's design:
// kind, the frame it stands in, caption, left, top, width, height in twips, tab order. Controls are
// created in tab order, converted to pixels at the window's DPI and handed the window's font.
#include <windows.h>

#include <span>
#include <string>
#include <string_view>

#include "base/handle.h"

namespace ui {

enum class Kind { Frame, Label, Edit, Button, Combo, List };

struct ControlRow {
  int id;  // the control's name in the window's enum
  Kind kind;
  int frame;  // id of the frame it stands in; 0 for the window itself
  const wchar_t* caption;
  int left, top, width, height;  // twips, relative to the frame
  int tab;
  bool bold = false;
  bool centred = false;
};

struct WindowDesign {
  const wchar_t* class_name;
  const wchar_t* title;
  int client_width, client_height;  // twips
  bool info_menu;                   // a menu bar with the items "Info" and "Deleted IDs"
  std::span<const ControlRow> rows;
};

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kInfoMenuId = 100;
inline constexpr int kDeletedIdsMenuId = 101;

int TwipsToPixels(int twips, UINT dpi);

class Window {
 public:
  explicit Window(const WindowDesign& design);
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  bool Exists() const { return hwnd_ != nullptr; }
  HWND hwnd() const { return hwnd_; }
  const WindowDesign& design() const { return design_; }

  void Ensure();  // creates the window hidden, with its controls, when it does not exist
  void Show();    // creates it if needed, shows it modeless and brings it to the front
  void Hide();
  void Destroy();
  bool Visible() const;

  HWND Control(int id) const;
  void SetText(int id, std::wstring_view text);
  std::wstring Text(int id) const;

  UINT Dpi() const { return dpi_; }
  // Where a row's control belongs at the window's DPI, in client coordinates.
  RECT RowRect(const ControlRow& row) const;
  // The window's outer height in twips at its DPI is set so that the client area is client_twips high.
  void SetClientHeightTwips(int client_twips);

 protected:
  virtual void Form_Load() {}
  virtual void OnCommand(int id, int notification) = 0;
  // An item the window added to its system menu; false for the system's own items.
  virtual bool OnSystemMenu(int /*id*/) { return false; }
  // Closing with the close box destroys the window; the main window overrides this to end the program.
  virtual void OnClose() { Destroy(); }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam);
  void CreateControls();
  void Layout();
  void MakeFonts();
  SIZE OuterSize(int client_width_twips, int client_height_twips) const;
  void FitClientArea();

  const WindowDesign& design_;
  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;
  int client_height_twips_ = 0;
  base::UniqueGdi font_;
  base::UniqueGdi bold_font_;
};

// The DPI a window is shown at: its monitor's, or the system DPI where Windows has no per-window DPI
// (before Windows 10 1607).
UINT WindowDpi(HWND hwnd);

}  // namespace ui

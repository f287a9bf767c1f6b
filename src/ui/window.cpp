#include "ui/window.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "base/lazy_proc.h"
#include "resource.h"
#include "ui/face.h"

namespace ui {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

// No WS_CLIPCHILDREN: group boxes do not paint their inside, the window behind them must.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
constexpr int kComboListPixels = 160;  // room for the drop-down list below a combo's edit field

const ControlRow* FindRow(std::span<const ControlRow> rows, int id) {
  for (const ControlRow& row : rows)
    if (row.id == id) return &row;
  return nullptr;
}

struct ClassOf {
  const wchar_t* name;
  DWORD style;
};

ClassOf ControlClass(const ControlRow& row) {
  switch (row.kind) {
    case Kind::Frame:
      return {WC_BUTTONW, BS_GROUPBOX};
    case Kind::Label:
      return {WC_STATICW, static_cast<DWORD>((row.centred ? SS_CENTER : SS_LEFT) | SS_NOPREFIX)};
    case Kind::Edit:
      return {WC_EDITW, static_cast<DWORD>(WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT)};
    case Kind::Button:
      return {WC_BUTTONW, static_cast<DWORD>(WS_TABSTOP | BS_PUSHBUTTON)};
    case Kind::Combo:
      return {WC_COMBOBOXW, static_cast<DWORD>(WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL)};
    case Kind::List:
      return {WC_LISTBOXW, static_cast<DWORD>(WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_USETABSTOPS |
                                              LBS_NOINTEGRALHEIGHT)};
  }
  return {WC_STATICW, 0};
}

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

}  // namespace

int TwipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch); }

UINT WindowDpi(HWND hwnd) {
  // Per-window DPI came with Windows 10 1607; before it every window is at the system DPI.
  const auto get_dpi_for_window = base::NewerProc<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
  if (get_dpi_for_window != nullptr && hwnd != nullptr) {
    const UINT dpi = get_dpi_for_window(hwnd);
    if (dpi != 0) return dpi;
  }
  const base::UniqueScreenDc screen(GetDC(nullptr));
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

Window::Window(const WindowDesign& design) : design_(design) {}

Window::~Window() {
  // A window still there when its object goes (each derived window destroys its own first, while it
  // is whole) is cut loose before it is destroyed: the messages of its destruction must not reach a
  // half-destroyed object.
  if (hwnd_ == nullptr) return;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(std::exchange(hwnd_, nullptr));
}

void Window::Ensure() {
  if (hwnd_ != nullptr) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExW(Instance(), design_.class_name, &wc)) {
    wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Window::Proc;
    wc.hInstance = Instance();
    wc.hIcon = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_QUORVEL), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    wc.hIconSm = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_QUORVEL), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = design_.class_name;
    RegisterClassExW(&wc);
  }
  base::UniqueMenu menu;
  if (design_.info_menu) {
    menu.reset(CreateMenu());
    AppendMenuW(menu.get(), MF_STRING, kInfoMenuId, L"Info");
    AppendMenuW(menu.get(), MF_STRING, kDeletedIdsMenuId, L"&Deleted IDs...");
  }
  // Created hidden at the default place, in its size at the system's DPI, nearly always its monitor's;
  // once the DPI of its monitor is known, the layout corrects the size where it differs.
  dpi_ = WindowDpi(nullptr);
  client_height_twips_ = design_.client_height;
  const SIZE outer = OuterSize(design_.client_width, client_height_twips_);
  CreateWindowExW(kWindowExStyle, design_.class_name, design_.title, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                  outer.cx, outer.cy, nullptr, menu.get(), Instance(), this);
  if (hwnd_ == nullptr) return;
  menu.release();  // the window's now, destroyed with it
  dpi_ = WindowDpi(hwnd_);
  MakeFonts();
  CreateControls();
  Layout();
  Form_Load();
}

void Window::Show() {
  Ensure();
  if (hwnd_ == nullptr) return;
  ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
  BringWindowToTop(hwnd_);
  SetForegroundWindow(hwnd_);
}

void Window::Hide() {
  if (hwnd_ != nullptr) ShowWindow(hwnd_, SW_HIDE);
}

void Window::Destroy() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

bool Window::Visible() const { return hwnd_ != nullptr && IsWindowVisible(hwnd_); }

HWND Window::Control(int id) const { return hwnd_ != nullptr ? GetDlgItem(hwnd_, id) : nullptr; }

void Window::SetText(int id, std::wstring_view text) {
  Ensure();
  const std::wstring copy(text);
  SetWindowTextW(Control(id), copy.c_str());
}

std::wstring Window::Text(int id) const {
  const HWND control = Control(id);
  if (control == nullptr) return {};
  const int length = GetWindowTextLengthW(control);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(control, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

RECT Window::RowRect(const ControlRow& row) const {
  int left = row.left;
  int top = row.top;
  if (row.frame != 0) {
    if (const ControlRow* frame = FindRow(design_.rows, row.frame)) {
      left += frame->left;
      top += frame->top;
    }
  }
  RECT rect;
  rect.left = TwipsToPixels(left, dpi_);
  rect.top = TwipsToPixels(top, dpi_);
  rect.right = TwipsToPixels(left + row.width, dpi_);
  rect.bottom = TwipsToPixels(top + row.height, dpi_);
  return rect;
}

SIZE Window::OuterSize(int client_width_twips, int client_height_twips) const {
  const auto adjust_for_dpi = base::NewerProc<AdjustWindowRectExForDpiFn>(L"user32.dll", "AdjustWindowRectExForDpi");
  RECT rect{0, 0, TwipsToPixels(client_width_twips, dpi_), TwipsToPixels(client_height_twips, dpi_)};
  const BOOL has_menu = design_.info_menu ? TRUE : FALSE;
  if (adjust_for_dpi != nullptr)
    adjust_for_dpi(&rect, kWindowStyle, has_menu, kWindowExStyle, dpi_);
  else
    AdjustWindowRectEx(&rect, kWindowStyle, has_menu, kWindowExStyle);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

void Window::SetClientHeightTwips(int client_twips) {
  Ensure();
  if (hwnd_ == nullptr) return;
  client_height_twips_ = client_twips;
  FitClientArea();
}

void Window::FitClientArea() {
  const int want_width = TwipsToPixels(design_.client_width, dpi_);
  const int want_height = TwipsToPixels(client_height_twips_, dpi_);
  RECT window, client;
  if (GetClientRect(hwnd_, &client) && client.right == want_width && client.bottom == want_height) return;
  const SIZE outer = OuterSize(design_.client_width, client_height_twips_);
  SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The frame the system really draws can differ from what it predicts (a menu bar that wraps, a
  // frame not yet scaled to a new DPI): correct by what the client area turned out to be.
  if (!GetWindowRect(hwnd_, &window) || !GetClientRect(hwnd_, &client)) return;
  const int dx = want_width - client.right, dy = want_height - client.bottom;
  if (dx != 0 || dy != 0)
    SetWindowPos(hwnd_, nullptr, 0, 0, (window.right - window.left) + dx, (window.bottom - window.top) + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::MakeFonts() {
  const std::wstring face = ChooseFace(design_, dpi_);
  const LOGFONTW regular = TextFont(face.c_str(), dpi_, false), bold = TextFont(face.c_str(), dpi_, true);
  font_.reset(CreateFontIndirectW(&regular));
  bold_font_.reset(CreateFontIndirectW(&bold));
}

void Window::CreateControls() {
  // Creation order is tab order, which is also the order of keyboard navigation.
  std::vector<const ControlRow*> order;
  for (const ControlRow& row : design_.rows) order.push_back(&row);
  for (size_t i = 1; i < order.size(); ++i)
    for (size_t j = i; j > 0 && order[j]->tab < order[j - 1]->tab; --j) std::swap(order[j], order[j - 1]);
  for (const ControlRow* row : order) {
    const ClassOf cls = ControlClass(*row);
    const DWORD ex_style = row->kind == Kind::Edit || row->kind == Kind::List ? WS_EX_CLIENTEDGE : 0;
    HWND control = CreateWindowExW(ex_style, cls.name, row->caption, WS_CHILD | WS_VISIBLE | cls.style, 0, 0, 0, 0,
                                   hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(row->id)), Instance(), nullptr);
    if (control == nullptr) continue;
    if (row->kind == Kind::Edit) SendMessageW(control, EM_SETLIMITTEXT, 0, 0);  // no length limit
    if (row->kind == Kind::Combo) {
      SendMessageW(control, CB_LIMITTEXT, 0, 0);
      SetWindowTextW(control, row->caption);  // a combo box ignores the creation text
    }
  }
}

void Window::Layout() {
  for (const ControlRow& row : design_.rows) {
    const HWND control = Control(row.id);
    if (control == nullptr) continue;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(row.bold ? bold_font_.get() : font_.get()), FALSE);
    RECT r = RowRect(row);
    // A combo box's height is its edit field plus the list that drops down under it.
    const int height = row.kind == Kind::Combo ? (r.bottom - r.top) + TwipsToPixels(kComboListPixels * 15, dpi_)
                                               : r.bottom - r.top;
    SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (row.kind == Kind::Combo)  // the edit field itself follows the designed height
      SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                   std::max<LPARAM>(1, (r.bottom - r.top) - 6 * static_cast<LPARAM>(dpi_) / 96));
  }
  FitClientArea();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Window* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wparam, lparam);
  return self->Handle(msg, wparam, lparam);
}

LRESULT Window::Handle(UINT msg, WPARAM wparam, LPARAM lparam) {
  const HWND hwnd = hwnd_;
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_SYSCOMMAND:  // the system's own items are 0xF000 and up; Windows uses the low four bits
      if ((wparam & 0xFFF0) < 0xF000 && OnSystemMenu(static_cast<int>(wparam & 0xFFF0))) return 0;
      return DefWindowProcW(hwnd, msg, wparam, lparam);
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wparam);
      // The controls hold the old fonts until Layout hands them the new ones; only then do they go.
      const base::UniqueGdi old_font = std::move(font_), old_bold_font = std::move(bold_font_);
      MakeFonts();
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      if (suggested != nullptr)
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      Layout();
      return 0;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      font_.reset();
      bold_font_.reset();
      return DefWindowProcW(hwnd, msg, wparam, lparam);
    default:
      return DefWindowProcW(hwnd, msg, wparam, lparam);
  }
}

}  // namespace ui

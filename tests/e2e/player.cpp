#include "e2e/player.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace e2e {
namespace {

constexpr UINT kAnswerTimeoutMs = 5000;  // a window that takes longer to answer a message is hung
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kFileNameEditId = 0x480;   // edt1: the file-name box of the explorer-style dialog
constexpr int kFileNameComboId = 0x47C;  // cmb13: the same box where it is a combo box

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

bool IsClass(HWND window, const wchar_t* cls) { return cls == nullptr || _wcsicmp(ClassOf(window).c_str(), cls) == 0; }

std::wstring CaptionOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

LRESULT Send(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, msg, wparam, lparam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result))
    throw PlayError("window " + Utf8(ClassOf(window)) + " \"" + Utf8(CaptionOf(window)) + "\" did not answer message " +
                    std::to_string(msg) + " within " + std::to_string(kAnswerTimeoutMs) + " ms");
  return static_cast<LRESULT>(result);
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> found;
  EnumWindows(
      [](HWND window, LPARAM out) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(out)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

std::vector<HWND> Descendants(HWND top) {
  std::vector<HWND> found;
  EnumChildWindows(
      top,
      [](HWND window, LPARAM out) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(out)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

bool IsGroupBox(HWND window) {
  return IsClass(window, L"Button") && (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

bool Contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

POINT Centre(HWND window) {
  const RECT rect = WindowRect(window);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Whether a click at `point` lands on `control`. Group boxes and plain labels answer the hit test in
// their own process as transparent, so a click passes through them to what lies below; seen from
// this process they look solid, so they are skipped here the same way. Another top-level window in
// front of the point takes the click.
bool Reaches(POINT point, HWND control) {
  const HWND hit = WindowFromPoint(point);
  if (hit == control || IsChild(control, hit)) return true;
  if (GetAncestor(hit, GA_ROOT) != GetAncestor(control, GA_ROOT)) return false;
  const HWND parent = GetAncestor(control, GA_PARENT);
  for (HWND sibling = GetWindow(parent, GW_CHILD); sibling != nullptr; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    if (!IsWindowVisible(sibling)) continue;
    const RECT rect = WindowRect(sibling);
    if (!PtInRect(&rect, point)) continue;
    const bool transparent =
        IsGroupBox(sibling) || (IsClass(sibling, L"Static") && (GetWindowLongW(sibling, GWL_STYLE) & SS_NOTIFY) == 0);
    if (!transparent) return sibling == control;
  }
  return false;
}

LRESULT HitTest(HWND top, POINT point) {
  return Send(top, WM_NCHITTEST, 0, MAKELPARAM(static_cast<short>(point.x), static_cast<short>(point.y)));
}

void SendInputs(std::vector<INPUT>& inputs) {
  if (inputs.empty()) return;
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent != inputs.size())
    throw PlayError("SendInput sent " + std::to_string(sent) + " of " + std::to_string(inputs.size()) + " events");
}

INPUT Key(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  const bool extended = vk == VK_HOME || vk == VK_END || vk == VK_DELETE || vk == VK_LEFT || vk == VK_RIGHT ||
                        vk == VK_UP || vk == VK_DOWN;
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0u) | (extended ? KEYEVENTF_EXTENDEDKEY : 0u);
  return input;
}

INPUT Mouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = flags;
  return input;
}

}  // namespace

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), needed, nullptr, nullptr);
  return out;
}

void WaitUntil(const std::function<bool()>& ready, const std::string& what, std::chrono::milliseconds timeout,
               const std::function<std::string()>& context) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (ready()) return;
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(20ms);
  }
  std::string message = "timed out after " + std::to_string(timeout.count()) + " ms waiting for " + what;
  if (context) message += "\n  on screen: " + context();
  throw PlayError(message);
}

// ---- Top-level windows ------------------------------------------------------------------------

std::vector<HWND> Player::Windows(const std::wstring& title, const wchar_t* cls) const {
  std::vector<HWND> found;
  for (HWND window : TopLevelWindows())
    if (ProcessOf(window) == pid_ && IsWindowVisible(window) && IsClass(window, cls) && CaptionOf(window) == title)
      found.push_back(window);
  return found;
}

HWND Player::ShownOrHidden(const std::wstring& title) const {
  for (HWND window : TopLevelWindows())
    if (ProcessOf(window) == pid_ && CaptionOf(window) == title) return window;
  return nullptr;
}

std::vector<HWND> Player::Dialogs() const {
  std::vector<HWND> found;
  for (HWND window : TopLevelWindows())
    if (ProcessOf(window) == pid_ && IsWindowVisible(window) && IsClass(window, L"#32770")) found.push_back(window);
  return found;
}

HWND Player::WaitWindow(const std::wstring& title, const wchar_t* cls, std::chrono::milliseconds timeout) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        const std::vector<HWND> windows = Windows(title, cls);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
      },
      "the window \"" + Utf8(title) + "\"", timeout, [this] { return Screen(); });
  return found;
}

void Player::WaitHidden(HWND window, const std::string& what) const {
  WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, what + " to go away", kWait,
            [this] { return Screen(); });
}

std::string Player::Screen() const {
  std::string out;
  for (HWND window : TopLevelWindows()) {
    if (ProcessOf(window) != pid_ || !IsWindowVisible(window)) continue;
    out += "[" + Utf8(ClassOf(window)) + " \"" + Utf8(CaptionOf(window)) + "\"";
    if (const HWND text = GetDlgItem(window, kMessageBoxTextId); text != nullptr && IsClass(window, L"#32770"))
      out += ": \"" + Utf8(CaptionOf(text)) + "\"";
    out += "] ";
  }
  return out.empty() ? "(no visible window)" : out;
}

// ---- Controls ---------------------------------------------------------------------------------

HWND Player::Frame(HWND top, const std::wstring& caption) const {
  for (HWND child : Descendants(top))
    if (IsGroupBox(child) && Text(child) == caption) return child;
  throw PlayError("no frame \"" + Utf8(caption) + "\" in \"" + Utf8(CaptionOf(top)) + "\"");
}

HWND Player::PushButton(HWND top, const std::wstring& caption, const std::wstring& frame) const {
  const RECT within = frame.empty() ? WindowRect(top) : WindowRect(Frame(top, frame));
  for (HWND child : Descendants(top))
    if (IsClass(child, L"Button") && !IsGroupBox(child) && Contains(within, WindowRect(child)) &&
        Text(child) == caption)
      return child;
  throw PlayError("no button \"" + Utf8(caption) + "\"" + (frame.empty() ? "" : " in frame \"" + Utf8(frame) + "\"") +
                  " in \"" + Utf8(CaptionOf(top)) + "\"");
}

std::vector<HWND> Player::ControlsIn(HWND top, const std::wstring& frame, const wchar_t* cls) const {
  const RECT within = WindowRect(Frame(top, frame));
  std::vector<HWND> found;
  for (HWND child : Descendants(top))
    if (GetAncestor(child, GA_PARENT) == top && IsClass(child, cls) && !IsGroupBox(child) &&
        Contains(within, WindowRect(child)))
      found.push_back(child);
  std::sort(found.begin(), found.end(), [](HWND a, HWND b) {
    const RECT ra = WindowRect(a), rb = WindowRect(b);
    return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
  });
  return found;
}

HWND Player::OnlyControlIn(HWND top, const std::wstring& frame, const wchar_t* cls) const {
  const std::vector<HWND> found = ControlsIn(top, frame, cls);
  if (found.size() != 1)
    throw PlayError("expected one " + Utf8(cls) + " in frame \"" + Utf8(frame) + "\", found " +
                    std::to_string(found.size()));
  return found.front();
}

std::vector<std::wstring> Player::LabelTexts(HWND top) const {
  std::vector<HWND> labels;
  for (HWND child : Descendants(top))
    if (GetAncestor(child, GA_PARENT) == top && IsClass(child, L"Static")) labels.push_back(child);
  std::sort(labels.begin(), labels.end(), [](HWND a, HWND b) {
    const RECT ra = WindowRect(a), rb = WindowRect(b);
    return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
  });
  std::vector<std::wstring> texts;
  for (HWND label : labels) texts.push_back(Text(label));
  return texts;
}

std::wstring Player::Text(HWND window) const {
  const LRESULT length = Send(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT got = Send(window, WM_GETTEXT, static_cast<WPARAM>(length) + 1, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, length)));
  return text;
}

int Player::ComboSelection(HWND combo) const { return static_cast<int>(Send(combo, CB_GETCURSEL, 0, 0)); }

std::vector<std::wstring> Player::ComboItems(HWND combo) const {
  std::vector<std::wstring> items;
  const LRESULT count = Send(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = Send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
    items.push_back(text);
  }
  return items;
}

bool Player::ShownWhole(HWND control) const {
  const HWND top = GetAncestor(control, GA_ROOT);
  RECT client{};
  GetClientRect(top, &client);
  MapWindowPoints(top, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return Contains(client, WindowRect(control));
}

// ---- Mouse and keyboard -----------------------------------------------------------------------

void Player::BringToFront(HWND top) const {
  if (GetForegroundWindow() != top) SetForegroundWindow(top);
}

bool Player::Settled(HWND top) const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(top, nullptr);
  return GetForegroundWindow() == top && GetGUIThreadInfo(thread, &info) && info.hwndActive == top &&
         info.hwndCapture == nullptr && (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_INMOVESIZE)) == 0;
}

void Player::ClickAt(POINT point, HWND top, const std::function<bool(POINT)>& hit, const std::string& what) const {
  WaitUntil(
      [&] {
        if (top != nullptr) {
          BringToFront(top);
          if (!Settled(top)) return false;
        }
        return hit(point);
      },
      "a click at (" + std::to_string(point.x) + "," + std::to_string(point.y) + ") to reach " + what, kWait,
      [this] { return Screen(); });
  // Two clicks at one place within the double-click time make a double click; a player making two
  // single clicks there leaves more time between them.
  const auto since = std::chrono::steady_clock::now() - last_click_time_;
  const auto double_click = std::chrono::milliseconds(GetDoubleClickTime()) + 50ms;
  if (std::abs(point.x - last_click_.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
      std::abs(point.y - last_click_.y) <= GetSystemMetrics(SM_CYDOUBLECLK) && since < double_click)
    std::this_thread::sleep_for(double_click - since);
  // An activation still on its way would move the keyboard focus while the button is held down, and
  // a push button that loses the focus drops its press: let the window's thread finish it first.
  if (top != nullptr) Send(top, WM_NULL, 0, 0);
  // Absolute coordinates run from 0 to 65535 across the primary screen. Each event carries the point
  // itself: under Wine a pointer move reported late by the X server could otherwise slip in between
  // the move and the press and take the press somewhere else.
  const LONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  const LONG x = (point.x * 65536 + width - 1) / width, y = (point.y * 65536 + height - 1) / height;
  constexpr DWORD kAt = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  std::vector<INPUT> click{Mouse(kAt, x, y), Mouse(kAt | MOUSEEVENTF_LEFTDOWN, x, y),
                           Mouse(kAt | MOUSEEVENTF_LEFTUP, x, y)};
  SendInputs(click);
  last_click_ = point;
  last_click_time_ = std::chrono::steady_clock::now();
}

void Player::Click(HWND control) const {
  const std::string what = Utf8(ClassOf(control)) + " \"" + Utf8(Text(control)) + "\"";
  ClickAt(
      Centre(control), GetAncestor(control, GA_ROOT), [control](POINT p) { return Reaches(p, control); }, what);
}

HWND Player::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(0, &info) ? info.hwndFocus : nullptr;
}

void Player::Press(WORD vk, bool shift) const {
  std::vector<INPUT> inputs;
  if (shift) inputs.push_back(Key(VK_SHIFT, false));
  inputs.push_back(Key(vk, false));
  inputs.push_back(Key(vk, true));
  if (shift) inputs.push_back(Key(VK_SHIFT, true));
  SendInputs(inputs);
}

void Player::Type(const std::wstring& text) const {
  std::vector<INPUT> inputs;
  for (wchar_t c : text) {
    for (bool up : {false, true}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = static_cast<WORD>(c);
      input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0u);
      inputs.push_back(input);
    }
  }
  SendInputs(inputs);
}

void Player::ReplaceText(HWND edit, const std::wstring& text) const {
  Click(edit);
  WaitUntil([&] { return Focus() == edit; }, "the keyboard focus in the clicked edit box", kWait,
            [this] { return Screen(); });
  Press(VK_END);
  Press(VK_HOME, true);
  Press(VK_DELETE);
  WaitUntil([&] { return Text(edit).empty(); }, "the edit box to be emptied");
  Type(text);
  WaitUntil([&] { return Text(edit) == text; }, "the edit box to hold \"" + Utf8(text) + "\"", kWait,
            [&] { return "it holds \"" + Utf8(Text(edit)) + "\""; });
}

void Player::Pick(HWND combo, int index) const {
  // The arrow button sits at the right end of the combo box's edit field.
  const RECT rect = WindowRect(combo);
  const POINT arrow{rect.right - 2 - GetSystemMetrics(SM_CXVSCROLL) / 2, (rect.top + rect.bottom) / 2};
  ClickAt(
      arrow, GetAncestor(combo, GA_ROOT),
      [combo](POINT p) {
        POINT inside = p;
        ScreenToClient(combo, &inside);
        return Reaches(p, combo) && ChildWindowFromPoint(combo, inside) == combo;  // not its edit field
      },
      "the combo box's arrow");
  HWND list = nullptr;
  WaitUntil(
      [&] {
        const std::vector<HWND> lists = Windows(L"", L"ComboLBox");
        list = lists.empty() ? nullptr : lists.front();
        return list != nullptr;
      },
      "the combo box's list to drop down", kWait, [this] { return Screen(); });
  const LRESULT count = Send(list, LB_GETCOUNT, 0, 0);
  if (index >= count)
    throw PlayError("the list holds " + std::to_string(count) + " entries, not entry " + std::to_string(index));
  const LRESULT item_height = Send(list, LB_GETITEMHEIGHT, 0, 0);
  const LRESULT first = Send(list, LB_GETTOPINDEX, 0, 0);
  POINT origin{0, 0};
  ClientToScreen(list, &origin);
  RECT client{};
  GetClientRect(list, &client);
  const POINT entry{origin.x + std::min<LONG>(20, client.right / 2),
                    origin.y + static_cast<LONG>((index - first) * item_height + item_height / 2)};
  if (entry.y >= origin.y + client.bottom || entry.y < origin.y)
    throw PlayError("the entry is scrolled out of the list");
  ClickAt(
      entry, nullptr, [list](POINT p) { return WindowFromPoint(p) == list; }, "the list entry");
  WaitUntil([&] { return !IsWindowVisible(list) && ComboSelection(combo) == index; },
            "the list to close with entry " + std::to_string(index) + " selected", kWait,
            [&] { return "selection " + std::to_string(ComboSelection(combo)) + "; " + Screen(); });
}

void Player::ClickMenuBar(HWND top) const {
  // The menu bar is the strip just above the client area; its only item starts at the left.
  POINT origin{0, 0};
  ClientToScreen(top, &origin);
  const POINT item{origin.x + 12, origin.y - GetSystemMetrics(SM_CYMENU) / 2};
  ClickAt(
      item, top, [&](POINT p) { return WindowFromPoint(p) == top && HitTest(top, p) == HTMENU; }, "the menu bar");
}

void Player::ClickCloseBox(HWND top) const {
  // Scan the middle of the title bar from the right for the close box and click its middle.
  const RECT rect = WindowRect(top);
  POINT origin{0, 0};
  ClientToScreen(top, &origin);
  const LONG y = rect.top + (GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION)) / 2;
  LONG right = -1, left = -1;
  for (LONG x = rect.right - 1; x > rect.right - 120 && x > rect.left; --x) {
    if (HitTest(top, {x, y}) == HTCLOSE) {
      if (right < 0) right = x;
      left = x;
    } else if (right >= 0) {
      break;
    }
  }
  if (right < 0) throw PlayError("no close box found in the title bar of \"" + Utf8(CaptionOf(top)) + "\"");
  ClickAt(
      {(left + right) / 2, y}, top, [&](POINT p) { return WindowFromPoint(p) == top && HitTest(top, p) == HTCLOSE; },
      "the close box");
}

// ---- Message boxes and the file-open dialog ---------------------------------------------------

BoxSeen Player::Read(HWND box) const {
  BoxSeen seen;
  if (const HWND text = GetDlgItem(box, kMessageBoxTextId)) seen.text = Text(text);
  for (int id : {IDOK, IDCANCEL, IDYES, IDNO})
    if (const HWND button = GetDlgItem(box, id); button != nullptr && IsWindowVisible(button))
      seen.buttons.push_back(id);
  // The icon is an SS_ICON static (id 0x14 on Windows, stc1 under Wine, where it stays in place,
  // holding no icon, in a box without one).
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
    if (IsClass(child, L"Static") && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        IsWindowVisible(child) && Send(child, STM_GETICON, 0, 0) != 0)
      seen.icon = true;
  return seen;
}

BoxSeen Player::Answer(const std::wstring& title, int answer) const {
  const HWND box = WaitWindow(title, L"#32770");
  const BoxSeen seen = Read(box);
  const HWND button = GetDlgItem(box, answer);
  if (button == nullptr || !IsWindowVisible(button))
    throw PlayError("the box \"" + Utf8(title) + "\" (\"" + Utf8(seen.text) + "\") has no button " +
                    std::to_string(answer));
  Click(button);
  WaitHidden(box, "the box \"" + Utf8(title) + "\"");
  return seen;
}

void Player::ChooseFile(const std::wstring& path) const {
  const HWND dialog = WaitWindow(L"Open", L"#32770", 60s);
  HWND edit = nullptr;
  WaitUntil(
      [&] {
        for (HWND child : Descendants(dialog)) {
          const int id = GetDlgCtrlID(child);
          if (id == kFileNameEditId && IsClass(child, L"Edit")) edit = child;
          if (id == kFileNameComboId)
            for (HWND inner : Descendants(child))
              if (IsClass(inner, L"Edit")) edit = inner;
          if (edit != nullptr && IsWindowVisible(edit)) return true;
        }
        return false;
      },
      "the file-name box of the file-open dialog");
  ReplaceText(edit, path);
  Press(VK_RETURN);
  WaitHidden(dialog, "the file-open dialog");
}

}  // namespace e2e

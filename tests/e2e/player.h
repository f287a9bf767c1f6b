#pragma once
// Plays a running program from outside its process, as a person at the mouse and keyboard does:
// top-level windows are found by their titles, controls by their class, caption and the frame they
// stand in, and every click and keystroke goes through SendInput, so the program receives the same
// messages and notifications that real hardware input gives it. Texts are read back with WM_GETTEXT,
// which crosses process boundaries (an edit control's contents are not its window caption).
// Every wait polls against a deadline and throws PlayError when it passes, naming what it waited for
// and listing the windows the program shows at that moment: a hung program fails, it never stalls.
#include <windows.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
inline constexpr std::chrono::milliseconds kWait = 15s;

struct PlayError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::string Utf8(const std::wstring& text);

// Polls ready() every few milliseconds until it is true; throws PlayError naming `what` when `timeout`
// passes first. `context` adds what was on screen to the message.
void WaitUntil(const std::function<bool()>& ready, const std::string& what, std::chrono::milliseconds timeout = kWait,
               const std::function<std::string()>& context = {});

// What a message box showed, read before it was answered.
struct BoxSeen {
  std::wstring text;         // the static with id 0xFFFF
  std::vector<int> buttons;  // ids of its visible buttons among IDOK, IDCANCEL, IDYES, IDNO
  bool icon = false;         // whether it shows an icon
};

class Player {
 public:
  explicit Player(DWORD pid) : pid_(pid) {}

  // ---- Top-level windows of the process --------------------------------------------------------
  // The visible top-level windows with this title (and class, when given), in z-order.
  std::vector<HWND> Windows(const std::wstring& title, const wchar_t* cls = nullptr) const;
  // The window with this title whether shown or hidden, or null.
  HWND ShownOrHidden(const std::wstring& title) const;
  // The visible dialog boxes (message boxes, the file dialog) of the process.
  std::vector<HWND> Dialogs() const;
  HWND WaitWindow(const std::wstring& title, const wchar_t* cls = nullptr,
                  std::chrono::milliseconds timeout = kWait) const;
  void WaitHidden(HWND window, const std::string& what) const;
  // Titles and classes of the process's visible windows, for failure messages.
  std::string Screen() const;

  // ---- Controls ---------------------------------------------------------------------------------
  // A group box with this caption.
  HWND Frame(HWND top, const std::wstring& caption) const;
  // The push button with this caption, inside the named frame when one is given (two buttons of a
  // window can share a caption; their frame tells them apart).
  HWND PushButton(HWND top, const std::wstring& caption, const std::wstring& frame = {}) const;
  // The controls of a class ("Static", "Edit", "ComboBox", "Button") that stand inside the named
  // frame, ordered top to bottom, then left to right; group boxes are never included.
  std::vector<HWND> ControlsIn(HWND top, const std::wstring& frame, const wchar_t* cls) const;
  HWND OnlyControlIn(HWND top, const std::wstring& frame, const wchar_t* cls) const;
  // Every Static of the window with its text, top to bottom.
  std::vector<std::wstring> LabelTexts(HWND top) const;

  std::wstring Text(HWND window) const;
  int ComboSelection(HWND combo) const;
  std::vector<std::wstring> ComboItems(HWND combo) const;
  // The part of a control that the window's client area shows (empty when cut off by its height).
  bool ShownWhole(HWND control) const;

  // ---- Mouse and keyboard -----------------------------------------------------------------------
  void Click(HWND control) const;
  // Clicks, waits for the keyboard focus, selects and deletes what the edit holds, types `text`
  // and waits until the edit holds exactly it.
  void ReplaceText(HWND edit, const std::wstring& text) const;
  void Type(const std::wstring& text) const;
  void Press(WORD vk, bool shift = false) const;
  // Opens the drop-down list with its arrow and clicks the entry at `index`; waits until the list
  // has closed and the combo box reports the entry as its selection.
  void Pick(HWND combo, int index) const;
  // Clicks the first item of the menu bar ("Info").
  void ClickMenuBar(HWND top) const;
  // Clicks the close box in the title bar.
  void ClickCloseBox(HWND top) const;

  // ---- Message boxes and the file-open dialog -------------------------------------------------
  // Waits for the message box with this title, reads it, presses the button `answer` (IDOK, IDYES...)
  // and waits until it has gone.
  BoxSeen Answer(const std::wstring& title, int answer) const;
  // Reads the box without answering it.
  BoxSeen Read(HWND box) const;
  // Waits for the file-open dialog, types `path` into its file-name box and presses Enter.
  void ChooseFile(const std::wstring& path) const;

 private:
  void BringToFront(HWND top) const;
  // Whether `top` is the active window of its thread with no press, menu or move in progress.
  bool Settled(HWND top) const;
  // Clicks at a screen point once `hit` says the point reaches the intended target.
  void ClickAt(POINT point, HWND top, const std::function<bool(POINT)>& hit, const std::string& what) const;
  HWND Focus() const;
  DWORD pid_;
  mutable POINT last_click_{-1000, -1000};
  mutable std::chrono::steady_clock::time_point last_click_time_{};
};

}  // namespace e2e

// Quorvel end to end, under a display; scripts/e2e runs it from the source folder.
//
// Play: the real quorvel.exe, copied into a temp folder of its own with the stand-in game beside it as
// Freelancer.exe and started with that folder as its current directory, is played through its
// windows, message boxes and file-open dialog with real mouse and keyboard input (SendInput); then
// the store's bytes, the game's registry values and the stand-in's record of its start are checked.
// Every wait polls against a deadline and throws naming what it waited for: a hung program fails the
// test, it never stalls it.
//
// Looks: each window, with a sample store and installed ID, is shown in this process, moved to 40,40,
// copied from the screen and compared pixel by pixel (RGB) with its approved picture in
// docs/screenshots, decoded by GDI+. A difference fails, naming the picture and the number of
// differing pixels, and leaves the fresh picture beside it as <name>.received.png; with
// QUORVEL_ACCEPT_SCREENSHOTS set, the fresh picture replaces the approved one instead.
#include <objidl.h>  // gdiplus.h needs it; WIN32_LEAN_AND_MEAN leaves it out
#include <gdiplus.h>
#include <shlobj.h>

#include <functional>
#include <thread>

#include "base/text.h"
#include "core/id_digest.h"
#include "support/support.h"
#include "ui/frm_deleted_ids.h"
#include "ui/frm_main.h"
#include "ui/frm_mng_ids.h"
#include "ui/frm_save_id.h"
#include "ui/win_prompts.h"
#include "ui/window_set.h"

// Win32 structures are filled with designated initializers; the members left out are zero, as meant.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

const std::string kGameKey = base::ToAnsi(app::kGameKeyPath);
const char* const kValueNames[] = {"InstallKey", "MPAccountName", "MPAccountNameSig"};
// The ID the game has installed when each scenario starts, and three saved ones.
const std::string kInstalled[3] = {"9F8E-7D6C-5B4A-3928-1706", "51B2A6C1F0E2", "C0FFEE42"};
constexpr wchar_t kMain[] = L"Quorvel - Main", kManage[] = L"Quorvel - Manage saved IDs";
const std::string kSaved[][3] = {{"KEY-1", "man-1", "sig-1"}, {"KEY-2", "man-2", "sig-2"}, {"KEY-3", "man-3", "sig-3"}};

std::string Section(int number, const std::string (&id)[3], const std::string& description = {}) {
  return "[FLID_" + std::to_string(number) + "]\r\nINSTALL=" + id[0] + "\r\nMAN=" + id[1] + "\r\nMANS=" + id[2] +
         "\r\n" + (description.empty() ? "" : "DISC=" + description + "\r\n");
}

// Every message to the program has a timeout: a hung program fails a wait, it never stalls the test.
std::wstring Text(HWND window) {  // WM_GETTEXT crosses process boundaries
  wchar_t text[1024] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
  return text;
}

void Until(auto ready, const std::string& what) {
  for (const ULONGLONG end = GetTickCount64() + 15000; !ready(); Sleep(20))
    if (GetTickCount64() > end) throw std::runtime_error("timed out after 15 s waiting for " + what);
}

HWND Find(const wchar_t* title, const wchar_t* cls = nullptr) {  // once it shows; message boxes are "#32770"
  Until([&] { return IsWindowVisible(FindWindowW(cls, title)); }, "a window " + base::ToAnsi(title ? title : cls));
  return FindWindowW(cls, title);
}
HWND In(const wchar_t* title, int id) { return GetDlgItem(Find(title), id); }  // a control of the window

void Press(WORD vk, wchar_t unicode = 0) {  // a key, or a character
  const DWORD flags = unicode != 0 ? KEYEVENTF_UNICODE : 0;
  INPUT keys[] = {{.type = INPUT_KEYBOARD, .ki = {.wVk = vk, .wScan = unicode, .dwFlags = flags}},
                  {.type = INPUT_KEYBOARD, .ki = {.wVk = vk, .wScan = unicode, .dwFlags = flags | KEYEVENTF_KEYUP}}};
  SendInput(2, keys, sizeof(INPUT));
}

struct Play : ::testing::Test {
  void SetUp() override {  // the installed ID as the game leaves it: REG_SZ, each value with its own terminator
    for (int i = 0; i < 3; ++i)
      ASSERT_FALSE(RegSetKeyValueA(HKEY_CURRENT_USER, kGameKey.c_str(), kValueNames[i], REG_SZ, kInstalled[i].c_str(),
                                   static_cast<DWORD>(kInstalled[i].size() + 1)));
    ASSERT_TRUE(CopyFileW((support::ExeFolder() + L"\\quorvel.exe").c_str(), dir_.File(L"quorvel.exe").c_str(), 0) &&
                CopyFileW((support::ExeFolder() + L"\\standin_game.exe").c_str(), game_.c_str(), 0));
  }

  void Start(const std::string& store) {  // no store when empty
    if (!store.empty()) support::WriteBytes(dir_.File(L"FLIDs.ini"), store);
    STARTUPINFOW startup{.cb = sizeof startup};
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessW(dir_.File(L"quorvel.exe").c_str(), nullptr, nullptr, nullptr, 0, 0, nullptr,
                               dir_.path.c_str(), &startup, &started));
    CloseHandle(started.hThread);
    process_.reset(started.hProcess);
  }

  // Clicks the middle of a control once its window is in front, active and not capturing the mouse, and
  // nothing covers the spot; with `focus`, then waits until the control holds the keyboard focus, where keys
  // typed next will go.
  void Click(HWND control, bool focus = false) {
    const HWND top = GetAncestor(control, GA_ROOT);
    RECT r{};
    GetWindowRect(control, &r);
    const POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    GUITHREADINFO gui{.cbSize = sizeof gui};  // the window's thread: its active, capturing and focused windows
    const auto ready = [&] {  // activated through to the keyboard focus, so no activation can drop the press
      return GetForegroundWindow() == top && GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &gui) &&
             gui.hwndActive == top && !gui.hwndCapture && (gui.hwndFocus == top || IsChild(top, gui.hwndFocus)) &&
             GetAncestor(WindowFromPoint(at), GA_ROOT) == top;
    };
    Until([&] { return IsWindowVisible(control) && (ready() || (SetForegroundWindow(top), ready())); },
          "\"" + base::ToAnsi(Text(top)) + "\" in front, to click \"" + base::ToAnsi(Text(control)) + "\"");
    // Two clicks at one spot within the double-click time make a double click; a player waits longer.
    static POINT last{-100, -100};
    if (std::abs(at.x - last.x) < 8 && std::abs(at.y - last.y) < 8) Sleep(GetDoubleClickTime() + 50);
    last = at;
    // An activation still on its way would move the focus while the button is down and drop the press.
    SendMessageTimeoutW(top, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    // Absolute coordinates (0..65535 across the screen) in every event: under Wine, a pointer move that
    // the X server reports late could otherwise carry the press elsewhere.
    const LONG cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    INPUT click[3] = {};
    for (DWORD i = 0, button[] = {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}; i < 3; ++i)
      click[i] = {.type = INPUT_MOUSE, .mi = {.dx = (at.x * 65536 + cx - 1) / cx, .dy = (at.y * 65536 + cy - 1) / cy,
                                              .dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button[i]}};
    SendInput(3, click, sizeof(INPUT));
    if (focus) Until([&] { return ready() && gui.hwndFocus == control; }, "the keyboard focus in the clicked control");
  }
  void Type(HWND edit, const std::wstring& text) {  // into an empty edit field
    Click(edit, true);
    for (wchar_t c : text) Press(0, c);
    Until([&] { return Text(edit) == text; }, "the box to hold \"" + base::ToAnsi(text) + "\"");
  }
  // Picks a list entry with presses of an arrow key in the combo box's edit field (Down from no entry picks
  // the first), until the combo box shows `entry`.
  void Pick(HWND combo, WORD arrow, int presses, const std::wstring& entry) {
    Click(GetWindow(combo, GW_CHILD), true);  // its edit field
    for (int i = 0; i < presses; ++i) Press(arrow);
    Until([&] { return Text(combo) == entry; }, "the list to show " + base::ToAnsi(entry));
  }
  std::wstring Answer(const wchar_t* title, int button) {  // returns the message box's text
    const std::wstring text = Text(In(title, 0xFFFF));
    Click(In(title, button));
    Until([&] { return !FindWindowW(nullptr, title); }, "the box " + base::ToAnsi(title) + " to close");
    return text;
  }
  std::string Store() const { return support::ReadBytes(dir_.File(L"FLIDs.ini")); }

  support::TempDir dir_;
  const std::wstring game_ = dir_.File(L"Freelancer.exe");
  const std::string settings_ = "[QRVL_Settings]\r\nFLPATH=" + base::ToAnsi(game_) + "\r\n";
  // The program ends with its scenario, before the folder goes.
  std::unique_ptr<void, decltype([](auto p) { TerminateProcess(p, 1), WaitForSingleObject(p, 9000), CloseHandle(p); })>
      process_;
};

TEST_F(Play, FirstRunLocatesTheGameAndKeepsOnlyItsPath) {
  Start("");
  EXPECT_EQ(Answer(L"First load", IDOK), L"Quorvel needs to locate your Freelancer exe, click ok to set it.");
  // The file-open dialog's file-name box: under Wine the edit field of the combo box in the ComboBoxEx cmb13.
  Type(GetWindow(GetWindow(In(L"Open", 0x47C), GW_CHILD), GW_CHILD), game_);
  Press(VK_RETURN);
  EXPECT_EQ(Text(In(kMain, ui::frm_main::lbl_currentid)), L"9F8E-7D6C-5B4A-3928-1706");
  EXPECT_EQ(Store(), settings_);
  PostMessageW(Find(kMain), WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
  Until([&] { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }, "quorvel.exe to end once its main window closed");
}

TEST_F(Play, ChangeToTheSecondSavedIdThenLaunchWithTwoServers) {
  const std::string saved = Section(1, kSaved[0]) + Section(2, kSaved[1]) + Section(3, kSaved[2]);
  Start(settings_ + saved);
  Click(In(kMain, ui::frm_main::btn_mng_ids));
  Pick(In(kManage, ui::frm_mng_ids::cmbo_flids), VK_DOWN, 2, L"KEY-2");
  Click(In(kManage, ui::frm_mng_ids::btn_changeit));
  EXPECT_EQ(Answer(L"Quorvel", IDYES), L"This will reset your FL ID to the one selected, continue?");
  // The installed ID was in no saved ID: it is saved first, and the list shows it at once.
  EXPECT_EQ(Answer(L"Done!", IDOK), L"FL ID Changed.\r\n\r\nThe ID that was installed was not saved yet; Quorvel saved it as number 4.");
  EXPECT_EQ(Text(In(kMain, ui::frm_main::lbl_currentid)), L"KEY-2");  // read back from the registry

  Type(In(kMain, ui::frm_main::txt_serverips), L"1.2.3.4|5.6.7.8");
  Click(In(kMain, ui::frm_main::btn_launchfl));
  WIN32_FIND_DATAW record{};  // the stand-in's record: show flag and state, current folder, command line
  Until([&] { return base::UniqueFind(FindFirstFileW(dir_.File(L"launch-*.txt").c_str(), &record)).valid(); },
        "the game's start record");
  EXPECT_EQ(support::ReadBytes(dir_.File(record.cFileName)),
            "1 2\n" + base::ToAnsi(dir_.path) + "\n\"" + base::ToAnsi(game_) + "\" -s1.2.3.4:2302 -s5.6.7.8:2302");
  EXPECT_EQ(Store(), settings_ + "FLIPS=1.2.3.4|5.6.7.8\r\n" + saved + Section(4, kInstalled, "Saved before a change on " + support::Today()));
}

TEST_F(Play, SaveTheInstalledIdDescribeItAndDeleteAnother) {
  Start(settings_ + Section(1, kSaved[0], "First|pilot") + Section(2, kSaved[1]));
  Click(In(kMain, ui::frm_main::btn_saveid));
  Click(In(L"Quorvel - Save FL ID", ui::frm_save_id::btn_savid));
  EXPECT_EQ(Answer(L"Done!", IDOK), L"FL ID Saved!\r\nGo to the ID manager to add a discription/change id");

  Click(In(kMain, ui::frm_main::btn_mng_ids));
  Pick(In(kManage, ui::frm_mng_ids::cmbo_flids), VK_DOWN, 3, L"9F8E-7D6C-5B4A-3928-1706");  // the ID just saved
  auto height = [r = RECT{}]() mutable { return GetWindowRect(Find(kManage), &r) ? r.bottom - r.top : -1; };
  const LONG compact = height();
  Click(In(kManage, ui::frm_mng_ids::btn_disc));
  Type(In(kManage, ui::frm_mng_ids::txt_disc), L"Pilot [x]|Trader");
  Click(In(kManage, ui::frm_mng_ids::btn_edidisc));
  EXPECT_EQ(Answer(L"Done!", IDNO), L"Continue editing the discription?");
  Until([&] { return height() == compact; }, "the manage window to go compact");

  Pick(In(kManage, ui::frm_mng_ids::cmbo_flids), VK_UP, 2, L"KEY-1");
  Click(In(kManage, ui::frm_mng_ids::btn_deleteit));
  EXPECT_EQ(Answer(L"Sure?", IDYES), L"This will deleted the selected saved id, continue?");
  EXPECT_EQ(Answer(L"Done!", IDOK), L"FL ID Deleted!");
  EXPECT_EQ(Store(), settings_ + Section(1, kSaved[1]) + Section(2, kInstalled, "Pilot (x)|Trader"));
}

// The wrong ID deleted, then brought back from the main window's menu bar: the deleted-IDs window lists
// it with its description, Restore saves it again under the next number, and the manage window's list
// shows it with that description.
TEST_F(Play, DeleteTheWrongIdThenRestoreItFromTheMainMenu) {
  Start(settings_ + Section(1, kSaved[0]) + Section(2, kSaved[1], "Trader|Liberty") + Section(3, kSaved[2]));
  Click(In(kMain, ui::frm_main::btn_mng_ids));
  Pick(In(kManage, ui::frm_mng_ids::cmbo_flids), VK_DOWN, 2, L"KEY-2");
  Click(In(kManage, ui::frm_mng_ids::btn_deleteit));
  EXPECT_EQ(Answer(L"Sure?", IDYES), L"This will deleted the selected saved id, continue?");
  EXPECT_EQ(Answer(L"Done!", IDOK), L"FL ID Deleted!");

  Click(In(kMain, ui::frm_main::btn_refresh));  // the main window in front, then its menu bar by keyboard
  INPUT alt_d[4] = {{.type = INPUT_KEYBOARD, .ki = {.wVk = VK_MENU}}, {.type = INPUT_KEYBOARD, .ki = {.wVk = 'D'}},
                    {.type = INPUT_KEYBOARD, .ki = {.wVk = 'D', .dwFlags = KEYEVENTF_KEYUP}},
                    {.type = INPUT_KEYBOARD, .ki = {.wVk = VK_MENU, .dwFlags = KEYEVENTF_KEYUP}}};
  SendInput(4, alt_d, sizeof(INPUT));  // "&Deleted IDs..."
  constexpr wchar_t kDeleted[] = L"Quorvel - Deleted IDs";
  const HWND list = In(kDeleted, ui::frm_deleted_ids::lst_deleted);
  Until([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 1; }, "one deleted ID listed");
  wchar_t row[256] = {};
  SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(row));
  EXPECT_EQ(std::wstring(row).substr(16), L"\tKEY-2\tTrader");  // after when it left the store
  Click(list, true);
  Press(VK_HOME);
  Until([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 0; }, "the deleted ID picked");
  Click(In(kDeleted, ui::frm_deleted_ids::btn_restore));
  EXPECT_EQ(Answer(L"Done!", IDOK), L"FL ID Restored!\r\nThe FL ID KEY-2 is saved ID number 3 again, with its description.");
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);

  Pick(In(kManage, ui::frm_mng_ids::cmbo_flids), VK_DOWN, 3, L"KEY-2");
  EXPECT_EQ(Text(In(kManage, ui::frm_mng_ids::lbl_disc)), L"Trader\r\nLiberty");
  EXPECT_EQ(Store(), settings_ + Section(1, kSaved[0]) + Section(2, kSaved[2]) + Section(3, kSaved[1], "Trader|Liberty"));
}

// The player's desktop, for as long as it lives, is a folder of the scenario's own: where Windows keeps
// a redirected desktop (User Shell Folders), so the program finds it through FOLDERID_Desktop as always.
struct PrivateDesktop {
  explicit PrivateDesktop(const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    DWORD size = sizeof old;
    had = !RegGetValueW(HKEY_CURRENT_USER, kFolders, L"Desktop", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type, old, &size);
    Set(REG_EXPAND_SZ, folder.c_str(), static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
  }
  ~PrivateDesktop() {
    if (had) Set(type, old, static_cast<DWORD>((wcslen(old) + 1) * sizeof(wchar_t)));
    else RegDeleteKeyValueW(HKEY_CURRENT_USER, kFolders, L"Desktop");
  }
  static void Set(DWORD as, const wchar_t* value, DWORD bytes) {
    EXPECT_FALSE(RegSetKeyValueW(HKEY_CURRENT_USER, kFolders, L"Desktop", as, value, bytes));
  }
  static constexpr wchar_t kFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  wchar_t old[MAX_PATH] = {};
  DWORD type = REG_EXPAND_SZ;
  bool had = false;
};

// The shortcut made from the manage window's system menu, read back through the shell's link object,
// then run as the shell runs it: the ID is installed and the game started with
// the remembered servers, and no window of Quorvel shows meanwhile.
TEST_F(Play, ShortcutFromTheManageWindowPlaysItsIdWithNoWindow) {
  const PrivateDesktop desktop(dir_.File(L"Desktop"));
  const std::string saved = Section(1, kSaved[0]) + Section(2, kSaved[1]) + Section(3, kSaved[2], "Trader|Liberty");
  Start(settings_ + "FLIPS=1.2.3.4|5.6.7.8\r\n" + saved);
  Click(In(kMain, ui::frm_main::btn_mng_ids));
  Pick(In(kManage, ui::frm_mng_ids::cmbo_flids), VK_DOWN, 3, L"KEY-3");
  INPUT alt_space[4] = {{.type = INPUT_KEYBOARD, .ki = {.wVk = VK_MENU}}, {.type = INPUT_KEYBOARD, .ki = {.wVk = VK_SPACE}},
                        {.type = INPUT_KEYBOARD, .ki = {.wVk = VK_SPACE, .dwFlags = KEYEVENTF_KEYUP}},
                        {.type = INPUT_KEYBOARD, .ki = {.wVk = VK_MENU, .dwFlags = KEYEVENTF_KEYUP}}};
  SendInput(4, alt_space, sizeof(INPUT));  // the system menu
  Find(nullptr, L"#32768");
  Press('D');  // "Create &desktop shortcut..."
  EXPECT_EQ(Answer(L"Done!", IDOK), L"The shortcut\r\nFreelancer - Trader\r\nis on your desktop. Double-click it to install this saved "
                                    L"ID and start Freelancer with the servers Quorvel remembers.");
  PostMessageW(Find(kMain), WM_SYSCOMMAND, SC_CLOSE, 0);
  Until([&] { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }, "quorvel.exe to end");

  const std::wstring link = dir_.File(L"Desktop\\Freelancer - Trader.lnk");
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  IShellLinkW* shell_link = nullptr;
  IPersistFile* file = nullptr;
  ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&shell_link))) &&
              SUCCEEDED(shell_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
              SUCCEEDED(file->Load(link.c_str(), STGM_READ)));
  wchar_t target[MAX_PATH] = {}, arguments[1024] = {}, folder[MAX_PATH] = {}, icon[MAX_PATH] = {};
  int icon_index = -1;
  shell_link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
  shell_link->GetArguments(arguments, 1024);
  shell_link->GetWorkingDirectory(folder, MAX_PATH);
  shell_link->GetIconLocation(icon, MAX_PATH, &icon_index);
  file->Release(), shell_link->Release();
  CoUninitialize();
  EXPECT_EQ(std::wstring(target) + L"|" + arguments + L"|" + folder + L"|" + icon + L"," + std::to_wstring(icon_index),
            dir_.File(L"quorvel.exe") + L"|/play \"KEY-3\" " + core::IdDigest(kSaved[2][0], kSaved[2][1], kSaved[2][2]) + L"|" + dir_.path + L"|" + game_ + L",0");

  // As the shell runs a shortcut: its target with the target's quoted path and the arguments as the
  // command line, in its working folder. (Wine's ShellExecuteEx hands back no process for a shortcut.)
  std::wstring command = L"\"" + std::wstring(target) + L"\" " + arguments;
  STARTUPINFOW startup{.cb = sizeof startup};
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(CreateProcessW(target, command.data(), nullptr, nullptr, 0, 0, nullptr, folder, &startup, &started));
  CloseHandle(started.hThread);
  process_.reset(started.hProcess);
  const DWORD pid = started.dwProcessId;
  std::wstring shown;  // any visible window of the program while it runs
  std::pair<DWORD, std::wstring*> watched{pid, &shown};
  Until([&] {
    EnumWindows([](HWND window, LPARAM seen) CALLBACK -> BOOL {  // CALLBACK: stdcall, as 32-bit Windows calls it
      auto& [id, titles] = *reinterpret_cast<std::pair<DWORD, std::wstring*>*>(seen);
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner == id && IsWindowVisible(window)) *titles += L"\"" + Text(window) + L"\" ";
      return TRUE;
    }, reinterpret_cast<LPARAM>(&watched));
    return !shown.empty() || WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
  }, "quorvel.exe /play to end");
  EXPECT_EQ(shown, L"");
  for (int i = 0; i < 3; ++i) {
    char value[300] = {};
    DWORD size = sizeof value;
    RegGetValueA(HKEY_CURRENT_USER, kGameKey.c_str(), kValueNames[i], RRF_RT_REG_SZ, nullptr, value, &size);
    EXPECT_EQ(value, kSaved[2][i]);
  }
  WIN32_FIND_DATAW record{};
  Until([&] { return base::UniqueFind(FindFirstFileW(dir_.File(L"launch-*.txt").c_str(), &record)).valid(); }, "the game's start record");
  EXPECT_EQ(support::ReadBytes(dir_.File(record.cFileName)),
            "1 2\n" + base::ToAnsi(dir_.path) + "\n\"" + base::ToAnsi(game_) + "\" -s1.2.3.4:2302 -s5.6.7.8:2302");
  EXPECT_EQ(Store(), settings_ + "FLIPS=1.2.3.4|5.6.7.8\r\n" + saved + Section(4, kInstalled, "Saved before a change on " + support::Today()));
}

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

void Approve(HWND window, const char* name) {
  SetWindowPos(window, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  for (const ULONGLONG until = GetTickCount64() + 700; GetTickCount64() < until; Sleep(10))
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
  RECT r{};
  GetWindowRect(window, &r);
  const UINT width = static_cast<UINT>(r.right - r.left), height = static_cast<UINT>(r.bottom - r.top);
  const HDC screen = GetDC(nullptr);
  const base::UniqueGdi copy(CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top));
  base::UniqueDc memory(CreateCompatibleDC(screen));
  SelectObject(memory.get(), copy.get());
  BitBlt(memory.get(), 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
  memory.reset();  // GDI+ takes only a bitmap that no DC holds
  ReleaseDC(nullptr, screen);
  GpBitmap *fresh = nullptr, *approved = nullptr;
  GdipCreateBitmapFromHBITMAP(static_cast<HBITMAP>(copy.get()), nullptr, &fresh);
  const std::wstring path = L"docs\\screenshots\\" + std::wstring(name, name + strlen(name));
  UINT old_width = 0, old_height = 0;
  GdipCreateBitmapFromFile((path + L".png").c_str(), &approved);
  GdipGetImageWidth(approved, &old_width), GdipGetImageHeight(approved, &old_height);
  size_t differ = width == old_width && height == old_height ? 0 : std::max(width * height, old_width * old_height);
  BitmapData now{}, then{};  // both as 32-bit ARGB, rows of `width` pixels
  GdipBitmapLockBits(fresh, nullptr, ImageLockModeRead, PixelFormat32bppARGB, &now);
  if (differ == 0) GdipBitmapLockBits(approved, nullptr, ImageLockModeRead, PixelFormat32bppARGB, &then);
  for (UINT i = 0; now.Scan0 && then.Scan0 && i < width * height; ++i)  // compared in RGB
    differ += ((static_cast<ARGB*>(now.Scan0)[i] ^ static_cast<ARGB*>(then.Scan0)[i]) & 0xFFFFFF) != 0;
  GdipBitmapUnlockBits(fresh, &now), GdipBitmapUnlockBits(approved, &then), GdipDisposeImage(approved);
  static const CLSID kPng{0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
  const bool accept = GetEnvironmentVariableW(L"QUORVEL_ACCEPT_SCREENSHOTS", nullptr, 0) != 0;
  const std::wstring to = path + (accept ? L".png" : L".received.png");
  DeleteFileW((path + L".received.png").c_str());
  EXPECT_TRUE(differ == 0 || GdipSaveImageToFile(fresh, to.c_str(), &kPng, nullptr) == Ok) << "cannot write " << name;
  GdipDisposeImage(fresh);
  EXPECT_TRUE(differ == 0 || accept)
      << name << ".png: " << differ << " pixels differ; the fresh picture is " << name << ".received.png";
  ShowWindow(window, SW_HIDE);  // out of the way of the next picture
}

// Pictures the message box that `show` raises on a thread of its own, where the box runs its own
// message loop, then closes it.
void ApproveBox(const std::function<void()>& show, const char* name) {
  const std::jthread shower(show);
  const HWND box = Find(nullptr, L"#32770");
  Approve(box, name);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// ProgramTest lays out the store and the installed ID; the windows get a program of their own.
class Looks : public support::ProgramTest {};

TEST_F(Looks, EveryWindowAndTwoMessageBoxesAsApproved) {
  GdiplusStartupInput input;
  ULONG_PTR gdiplus = 0;  // GDI+ stays up until the test program ends
  ASSERT_EQ(GdiplusStartup(&gdiplus, &input, nullptr), Ok);
  Start("[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer\\EXE\\Freelancer.exe\r\nFLIPS=203.0.113.7|198.51.100.23\r\n"
        "[FLID_1]\r\nINSTALL=A1B2-C3D4-E5F6-0718-293A\r\nMAN=1\r\nMANS=1\r\nDISC=Main pilot|Trader on Sirius\r\n"
        "[FLID_2]\r\nINSTALL=9F8E-7D6C-5B4A-3928-1706\r\nMAN=2\r\nMANS=2\r\nDISC=Second account|Bounty hunter|"
        "Liberty\r\n[FLID_3]\r\nINSTALL=0A1B-2C3D-4E5F-6071-8293\r\nMAN=3\r\nMANS=3\r\n",
        "A1B2-C3D4-E5F6-0718-293A|1|1");
  ui::WinPrompts prompts;
  // Two IDs gone from the store: one deleted, one that left with an older copy of the store.
  support::WriteBytes(dir_.File(L"FLIDs-archive.ini"),
                      "[Archived_1]\r\nINSTALL=5D6E-7F80-91A2-B3C4-D5E6\r\nMAN=4\r\nMANS=4\r\nDISC=Old trader|Rheinland\r\n"
                      "LEFT=2026-11-02 18:40\r\n[Archived_2]\r\nINSTALL=77AA-88BB-99CC-0D1E-2F30\r\nMAN=5\r\nMANS=5\r\n"
                      "DISC=Miner\r\nLEFT=2026-12-01 09:15\r\n");
  ui::Windows view;  // the five windows
  app::Main program(prompts, seen_, view, app::Places{key_.path, dir_.path, Desktop()});
  view.Attach(program);
  const std::pair<const char*, std::function<HWND()>> shown[] = {
      {"main", [&] { view.MainWindow().Show(); return Find(kMain); }},
      {"save-id", [&] { view.MainWindow().btn_saveid_Click(); return Find(L"Quorvel - Save FL ID"); }},
      {"manage", [&] { view.MainWindow().btn_mng_ids_Click(); view.MngIdsWindow().Select(1); return Find(kManage); }},
      {"manage-expanded", [&] { view.MngIdsWindow().btn_disc_Click(); return view.MngIdsWindow().hwnd(); }},
      {"about", [&] { view.MainWindow().about_Click(); return Find(L"About"); }},
      {"deleted-ids", [&] { view.MainWindow().deleted_ids_Click(); return Find(L"Quorvel - Deleted IDs"); }}};
  // At 200% (the second pass of scripts/e2e, with Wine's DPI at 192) the main, the expanded manage and the
  // deleted-IDs window.
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  ASSERT_TRUE(dpi == 96 || dpi == 192) << "a display of " << dpi << " DPI";
  for (const auto& [name, show] : shown)
    if (dpi == 96) Approve(show(), name);
    else if (name == std::string("main") || name == std::string("manage-expanded") || name == std::string("deleted-ids"))
      Approve(show(), (name + std::string("-200")).c_str());
    else show();
  if (dpi == 192) return;
  ApproveBox(
      [&] { prompts.Message(L"FL ID Changed.", L"Done!", app::Prompts::Buttons::Ok, app::Prompts::Icon::Information); },
      "message");
  ApproveBox([&] { program.LaunchGame(L""); }, "stop");  // the game is not where FLPATH says
}

}  // namespace

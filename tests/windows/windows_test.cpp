// The real windows on Wine's null display driver: the list, pastes and closing behave, a window moved
// to another monitor's DPI lays itself out again, and where Windows lacks the per-monitor DPI functions
// every window comes up at the system DPI. How the windows look, with what the program showed in them,
// is the approval test's, and what the player picks and types reaching the program is the end-to-end
// play's (tests/e2e).
#include "base/handle.h"
#include "base/lazy_proc.h"
#include "support/support.h"
#include "ui/frm_about.h"
#include "ui/frm_deleted_ids.h"
#include "ui/frm_main.h"
#include "ui/frm_mng_ids.h"
#include "ui/frm_save_id.h"
#include "ui/window_set.h"

namespace {

using namespace ui;

constexpr const wchar_t* kSystemDpiVariable = L"QUORVEL_TEST_SYSTEM_DPI";  // set in the run again

// Runs this test program again for one test at a system DPI of its own: Wine takes the prefix's
// LogPixels when a program starts, never while it runs. Puts the value back afterwards; a program of the
// prefix that starts meanwhile gets that DPI too, and no other test program here has a window.
void RunAgainAtSystemDpi(DWORD dpi, const char* test) {
  wchar_t exe[MAX_PATH] = {};
  ASSERT_NE(GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
  std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_filter=" + std::wstring(test, test + strlen(test));
  HKEY opened = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &opened), ERROR_SUCCESS);
  const base::UniqueKey desktop(opened);
  DWORD was = 0, size = sizeof was;
  const bool had = RegQueryValueExW(desktop.get(), L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&was), &size) == ERROR_SUCCESS;
  ASSERT_EQ(RegSetValueExW(desktop.get(), L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi), ERROR_SUCCESS);
  SetEnvironmentVariableW(kSystemDpiVariable, std::to_wstring(dpi).c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  const bool ran = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started);
  const DWORD start_error = GetLastError();
  SetEnvironmentVariableW(kSystemDpiVariable, nullptr);
  DWORD exit_code = STILL_ACTIVE;
  if (ran) {
    const base::UniqueHandle process(started.hProcess), thread(started.hThread);
    if (WaitForSingleObject(process.get(), 300'000) != WAIT_OBJECT_0) TerminateProcess(process.get(), 1);
    GetExitCodeProcess(process.get(), &exit_code);
  }
  const LSTATUS put_back = had ? RegSetValueExW(desktop.get(), L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&was), sizeof was)
                               : RegDeleteValueW(desktop.get(), L"LogPixels");
  EXPECT_EQ(put_back, ERROR_SUCCESS) << "LogPixels stays at " << dpi;
  ASSERT_TRUE(ran) << "cannot start " << testing::PrintToString(command) << ": error " << start_error;
  EXPECT_EQ(exit_code, 0u) << "the run at " << dpi << " DPI failed";
}

class Windows : public support::ProgramTest {
 protected:
  void SetUp() override {
    support::WriteBytes(StorePath(), "[QRVL_Settings]\r\nFLPATH=x\r\n[FLID_1]\r\nINSTALL=one\r\n[FLID_2]\r\nINSTALL=two\r\n");
    program_ = std::make_unique<app::Main>(seen_, seen_, windows_, app::Places{key_.path, dir_.path});
    windows_.Attach(*program_);
    windows_.on_close_all = [this] { seen_.log.push_back(L"all closed"); };
    windows_.MainWindow();  // its load runs the start-up
  }
  ui::Windows windows_;
};

// What the pictures of the approval test (tests/e2e) cannot show: the list's own state after a refill
// and after a prompt, a paste, the save window hiding, typing over a picked entry, and closing.
TEST_F(Windows, KeepTheListStraightAndCloseTogether) {
  frm_main& main = windows_.MainWindow();
  frm_mng_ids& manage = windows_.MngIdsWindow();
  const HWND list = manage.Control(frm_mng_ids::cmbo_flids);
  main.btn_mng_ids_Click();  // shows the manage window and lists the saved IDs
  manage.Select(1);
  windows_.ShowIdList({L"x", L"", L"z"});
  EXPECT_EQ(manage.Text(frm_mng_ids::cmbo_flids) + std::to_wstring(SendMessageW(list, CB_GETCOUNT, 0, 0)), L"two3") << "the typed text stays";
  windows_.ShowListPrompt(L"- Select ID -");
  EXPECT_EQ(manage.Text(frm_mng_ids::cmbo_flids) + std::to_wstring(SendMessageW(list, CB_GETCURSEL, 0, 0)), L"- Select ID --1");
  for (const HWND box : {main.Control(frm_main::txt_serverips), manage.Control(frm_mng_ids::txt_disc)}) {
    SetWindowTextW(box, L"");  // a paste with line breaks: a single-line box keeps its first line
    const std::wstring pasted = L"1.2.3.4\r\n[FLID_1]\r\nINSTALL=x";
    OpenClipboard(nullptr), EmptyClipboard();
    const HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t));
    wcscpy(static_cast<wchar_t*>(GlobalLock(data)), pasted.c_str()), GlobalUnlock(data);
    SetClipboardData(CF_UNICODETEXT, data), CloseClipboard();
    SendMessageW(box, WM_PASTE, 0, 0);
    EXPECT_EQ(main.Text(GetDlgCtrlID(box)) + manage.Text(GetDlgCtrlID(box)), L"1.2.3.4");
  }
  main.btn_saveid_Click();  // shows the save window; its button saves, then the window hides
  windows_.SaveIdWindow().btn_savid_Click();
  EXPECT_FALSE(windows_.SaveIdWindow().Visible());
  SendMessageW(list, CB_SETCURSEL, 0, 0), SetWindowTextW(list, L"typed");  // typing over a picked entry leaves none picked
  SendMessageW(manage.hwnd(), WM_COMMAND, MAKEWPARAM(frm_mng_ids::cmbo_flids, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(list));
  EXPECT_EQ(manage.Text(frm_mng_ids::cmbo_flids) + std::to_wstring(manage.SelectedIndex()), L"typed-1");
  main.about_Click();
  SendMessageW(main.hwnd(), WM_CLOSE, 0, 0);  // closing the main window ends the program, every window with it
  EXPECT_TRUE(program_->Ended());
  EXPECT_FALSE(main.Exists() || manage.Exists() || FindWindowW(L"Quorvel.frm_about", nullptr));
  EXPECT_TRUE(support::LogIs(seen_.log, {L"i Done!: FL ID Saved!…", L"all closed"}));
}

// Start-up makes neither the manage nor the save window; each is made when first opened, showing what it
// would have shown had start-up made it: the installed key as last read, by a Refresh meanwhile (the save
// window reads nothing when it opens), the list prompt, the compact height. Closed, each comes back as a
// new window does, its key label empty until the key is next shown.
TEST_F(Windows, ComeUpWhenFirstOpenedAsIfMadeAtStartUp) {
  EXPECT_FALSE(FindWindowW(L"Quorvel.frm_mng_ids", nullptr) || FindWindowW(L"Quorvel.frm_save_id", nullptr));
  frm_main& main = windows_.MainWindow();
  const auto opened = [&] {
    main.btn_mng_ids_Click(), main.btn_saveid_Click();
    frm_mng_ids& manage = windows_.MngIdsWindow();
    RECT client{};
    GetClientRect(manage.hwnd(), &client);
    EXPECT_EQ(client.bottom, TwipsToPixels(frm_mng_ids::kCompactHeight - frm_mng_ids::kDesignedFrameTwips, manage.Dpi()));
    return manage.Text(frm_mng_ids::lbl_current_id) + L"|" + windows_.SaveIdWindow().Text(frm_save_id::lbl_current_id) +
           L"|" + manage.Text(frm_mng_ids::cmbo_flids);
  };
  const auto close = [&] {
    for (const HWND window : {windows_.MngIdsWindow().hwnd(), windows_.SaveIdWindow().hwnd()}) SendMessageW(window, WM_CLOSE, 0, 0);
  };
  key_.Set("InstallKey", "refreshed");
  main.btn_refresh_Click();
  key_.Set("InstallKey", "unread");
  EXPECT_EQ(opened(), L"refreshed|refreshed|- Select ID -");
  close();
  EXPECT_EQ(opened(), L"||- Select ID -");
  close();
  main.btn_refresh_Click();
  EXPECT_EQ(opened(), L"unread|unread|- Select ID -");
}

// The deleted-IDs window is made only when first opened: from the main window's menu bar, whose first
// item stays "Info", or from the manage window's system menu beside the shortcut item. Its list shows
// the IDs the archive holds and the store does not; Tab walks its list and buttons, and a refill leaves
// nothing picked.
TEST_F(Windows, OpenTheDeletedIdsFromBothMenus) {
  EXPECT_FALSE(FindWindowW(L"Quorvel.frm_deleted_ids", nullptr)) << "made at start-up";
  const HMENU bar = GetMenu(windows_.MainWindow().hwnd());
  wchar_t first[32] = {}, second[32] = {};
  GetMenuStringW(bar, 0, first, 32, MF_BYPOSITION), GetMenuStringW(bar, 1, second, 32, MF_BYPOSITION);
  EXPECT_EQ(std::wstring(first) + L"|" + second + L"|" + std::to_wstring(GetMenuItemCount(bar)), L"Info|&Deleted IDs...|2");
  support::WriteBytes(StorePath(), "[QRVL_Settings]\r\nFLPATH=x\r\n[FLID_1]\r\nINSTALL=two\r\n");  // "one" deleted by another copy
  SendMessageW(windows_.MainWindow().hwnd(), WM_COMMAND, MAKEWPARAM(kDeletedIdsMenuId, 0), 0);
  frm_deleted_ids& deleted = windows_.DeletedIdsWindow();
  ASSERT_TRUE(deleted.Visible());
  const HWND list = deleted.Control(frm_deleted_ids::lst_deleted);
  wchar_t row[256] = {};
  SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(row));
  EXPECT_EQ(std::wstring(row).substr(16), L"\tone\t");  // after the time it was found gone
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
  deleted.Select(0);
  SendMessageW(deleted.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(deleted.Exists());
  SendMessageW(windows_.MngIdsWindow().hwnd(), WM_SYSCOMMAND, frm_mng_ids::mnu_deleted, 0);
  ASSERT_TRUE(windows_.DeletedIdsWindow().Visible());
  EXPECT_EQ(deleted.SelectedIndex(), -1);
  HWND at = deleted.Control(frm_deleted_ids::lst_deleted);
  std::wstring walk;
  for (int i = 0; i < 3; ++i, at = GetNextDlgTabItem(deleted.hwnd(), at, FALSE)) walk += std::to_wstring(GetDlgCtrlID(at)) + L" ";
  EXPECT_EQ(walk, L"5003 5005 5006 ");
  deleted.btn_restore_Click();  // nothing picked
  EXPECT_TRUE(support::LogIs(seen_.log, {L"! Oops!: Please select an ID!"}));
}

// Moved to a monitor of 96 to 192 DPI, every window and control stands where it stood at 96 DPI, scaled,
// to within a pixel; its text is drawn at 8.25 pt of that DPI, within a pixel, and fits it: a label's
// text wrapped within its width no taller than the label, a caption no wider than its control.
TEST_F(Windows, LayOutAgainAndFitTheirTextAtEveryDpi) {
  for (const HWND window : {windows_.MainWindow().hwnd(), windows_.MngIdsWindow().hwnd(), windows_.SaveIdWindow().hwnd(), windows_.AboutWindow().hwnd(),
                            windows_.DeletedIdsWindow().hwnd()}) {
    const auto place = [window](HWND w) {
      RECT r;
      if (w == window) return GetClientRect(w, &r), r;
      GetWindowRect(w, &r);
      MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
      return r;
    };
    std::vector<std::pair<HWND, RECT>> at96{{window, place(window)}};
    for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) at96.emplace_back(c, place(c));
    for (const int dpi : {120, 144, 168, 192, 96}) {
      RECT suggested{10, 10, 900, 900};
      SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
      for (const auto& [c, was] : at96) {
        const RECT now = place(c);
        for (const auto& [before, after] : {std::pair{was.left, now.left}, {was.top, now.top}, {was.right, now.right}})
          EXPECT_NEAR(after, before * dpi / 96, 1) << GetDlgCtrlID(c) << " at " << dpi;
        wchar_t text[1024] = {}, kind[16] = {};
        if (c == window || GetWindowTextW(c, text, 1024) == 0 || !GetClassNameW(c, kind, 16) || _wcsicmp(kind, L"Edit") == 0) continue;
        const HDC dc = GetDC(c);
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        const bool label = _wcsicmp(kind, L"Static") == 0;
        RECT fit{0, 0, now.right - now.left, 0};
        DrawTextW(dc, text, -1, &fit, DT_CALCRECT | DT_NOPREFIX | (label ? DT_WORDBREAK : DT_SINGLELINE));
        SelectObject(dc, old), ReleaseDC(c, dc);
        SCOPED_TRACE(testing::PrintToString(std::wstring(text).substr(0, 30)) + " at " + std::to_string(dpi));
        EXPECT_NEAR(metrics.tmHeight - metrics.tmInternalLeading, MulDiv(825, dpi, 7200), 1);
        EXPECT_LE(label ? fit.bottom : fit.right, label ? now.bottom - now.top : now.right - now.left);
      }
    }
  }
}

// Where Windows lacks the per-monitor DPI functions (Windows 7, 8.1, 10 before 1607) every window still
// comes up, at the system DPI: its client area as wide as designed at that DPI, its text 8.25 pt of it.
// Run again at a system DPI of 144, with every lookup of a newer function failing.
TEST_F(Windows, ComeUpAtTheSystemDpiWithoutTheNewerFunctions) {
  constexpr int kSystemDpi = 144;
  if (GetEnvironmentVariableW(kSystemDpiVariable, nullptr, 0) == 0)
    return RunAgainAtSystemDpi(kSystemDpi, "Windows.ComeUpAtTheSystemDpiWithoutTheNewerFunctions");
  const HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), kSystemDpi) << "the prefix's LogPixels did not take";
  ReleaseDC(nullptr, screen);
  const base::WithoutNewerProcs windows7;
  ui::Windows windows;
  app::Main program(seen_, seen_, windows, app::Places{key_.path, dir_.path});
  windows.Attach(program);
  for (Window* window : std::initializer_list<Window*>{&windows.MainWindow(), &windows.MngIdsWindow(), &windows.SaveIdWindow(), &windows.AboutWindow(),
                                                       &windows.DeletedIdsWindow()}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(window->design().title)));
    ASSERT_TRUE(window->Exists());
    RECT client{};
    GetClientRect(window->hwnd(), &client);
    EXPECT_EQ(client.right, MulDiv(window->design().client_width, kSystemDpi, kTwipsPerInch));
    for (HWND c = GetWindow(window->hwnd(), GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      const HDC dc = GetDC(c);
      const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0)));
      TEXTMETRICW metrics{};
      GetTextMetricsW(dc, &metrics);
      SelectObject(dc, old), ReleaseDC(c, dc);
      EXPECT_NEAR(metrics.tmHeight - metrics.tmInternalLeading, MulDiv(825, kSystemDpi, 7200), 1) << GetDlgCtrlID(c);
    }
  }
}

}  // namespace

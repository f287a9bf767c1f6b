// Shows each of Quorvel's windows with a sample store and installed ID, and saves a picture of each
// (BMP) into the folder given as the only argument. scripts/screenshots runs it under Xvfb.
#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>

#include "app/main.h"
#include "app/printer.h"
#include "core/print_page.h"
#include "ui/frm_about.h"
#include "ui/frm_main.h"
#include "ui/frm_mng_ids.h"
#include "ui/frm_save_id.h"
#include "ui/win_prompts.h"

namespace {

constexpr wchar_t kKey[] = L"Software\\QuorvelScreens";

class NoPrinter : public app::Printer {
 public:
  base::Status PrintPage(const core::PrintedLine&) override { return base::Status::Ok(); }
};

void Pump(DWORD ms) {
  const ULONGLONG until = GetTickCount64() + ms;
  while (GetTickCount64() < until) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

bool SaveBmp(HWND hwnd, const std::wstring& path) {
  RECT r;
  if (!GetWindowRect(hwnd, &r)) return false;
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(mem, old);
  const DWORD stride = static_cast<DWORD>((w * 3 + 3) & ~3);
  const DWORD size = stride * static_cast<DWORD>(h);
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
  fh.bfSize = fh.bfOffBits + size;
  bool ok = false;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f != INVALID_HANDLE_VALUE) {
    DWORD n = 0;
    ok = WriteFile(f, &fh, sizeof fh, &n, nullptr) && WriteFile(f, &bi.bmiHeader, sizeof bi.bmiHeader, &n, nullptr) &&
         WriteFile(f, bits, size, &n, nullptr);
    CloseHandle(f);
  }
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}

void Capture(ui::Window& window, const std::wstring& folder, const wchar_t* name) {
  SetWindowPos(window.hwnd(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  Pump(700);
  if (!SaveBmp(window.hwnd(), folder + L"\\" + name + L".bmp")) std::fprintf(stderr, "capture failed\n");
}

void SetValue(HKEY key, const char* name, const char* value) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(strlen(value) + 1));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring out = argv[1];

  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring folder = std::wstring(temp) + L"quorvel-screens";
  CreateDirectoryW(folder.c_str(), nullptr);
  const char store[] =
      "[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer\\EXE\\Freelancer.exe\r\nFLIPS=203.0.113.7|198.51.100.23\r\n"
      "[FLID_1]\r\nINSTALL=A1B2-C3D4-E5F6-0718-293A\r\nMAN=1\r\nMANS=1\r\nDISC=Main pilot|Trader on Sirius\r\n"
      "[FLID_2]\r\nINSTALL=9F8E-7D6C-5B4A-3928-1706\r\nMAN=2\r\nMANS=2\r\nDISC=Second account|Bounty hunter|Liberty\r\n"
      "[FLID_3]\r\nINSTALL=0A1B-2C3D-4E5F-6071-8293\r\nMAN=3\r\nMANS=3\r\n";
  HANDLE f = CreateFileW((folder + L"\\FLIDs.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  WriteFile(f, store, sizeof store - 1, &n, nullptr);
  CloseHandle(f);

  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  SetValue(key, "InstallKey", "A1B2-C3D4-E5F6-0718-293A");
  SetValue(key, "MPAccountName", "1");
  SetValue(key, "MPAccountNameSig", "1");
  RegCloseKey(key);

  ui::WinPrompts prompts;
  NoPrinter printer;
  {
    app::Main program(prompts, printer, app::Places{kKey, folder});
    ui::frm_main& main_window = program.MainWindow();
    main_window.Show();
    Capture(main_window, out, L"main");

    main_window.btn_saveid_Click();
    Capture(program.SaveIdWindow(), out, L"save-id");
    program.SaveIdWindow().Hide();

    main_window.btn_mng_ids_Click();
    ui::frm_mng_ids& manage = program.MngIdsWindow();
    manage.Select(1);
    Capture(manage, out, L"manage");
    manage.btn_disc_Click();
    Capture(manage, out, L"manage-expanded");
    manage.Hide();

    main_window.about_Click();
    Capture(program.AboutWindow(), out, L"about");
    program.AboutWindow().Hide();

    // A real message box, pictured and closed from a second thread while the first waits in it.
    std::thread closer([&] {
      HWND box = nullptr;
      for (int i = 0; i < 100 && box == nullptr; ++i) {
        Sleep(100);
        box = FindWindowW(L"#32770", L"Done!");
      }
      if (box == nullptr) return;
      SetWindowPos(box, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE);
      Sleep(700);
      SaveBmp(box, out + L"\\message.bmp");
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    prompts.Message(L"FL ID Changed.", L"Done!", app::Prompts::Buttons::Ok, app::Prompts::Icon::Information);
    closer.join();
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
  DeleteFileW((folder + L"\\FLIDs.ini").c_str());
  RemoveDirectoryW(folder.c_str());
  return 0;
}

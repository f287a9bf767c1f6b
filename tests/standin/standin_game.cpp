// Stands in for Freelancer.exe: records how it was started beside its own exe, in launch-<pid>.txt, as
// "<show flag given 0|1> <show state>\n<current directory>\n<command line>" in UTF-8, then exits. The
// record is written under a temp name and renamed, so a reader never sees half of it.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  STARTUPINFOW startup{};
  GetStartupInfoW(&startup);
  wchar_t own[MAX_PATH] = {}, current[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, own, MAX_PATH);
  GetCurrentDirectoryW(MAX_PATH, current);
  const std::wstring text = std::to_wstring((startup.dwFlags & STARTF_USESHOWWINDOW) ? 1 : 0) + L" " +
                            std::to_wstring(startup.wShowWindow) + L"\n" + current + L"\n" + GetCommandLineW();
  std::string record(text.size() * 3, '\0');
  record.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                             record.data(), static_cast<int>(record.size()), nullptr, nullptr)));
  const std::wstring name = std::wstring(own).substr(0, std::wstring(own).rfind(L'\\') + 1) + L"launch-" +
                            std::to_wstring(GetCurrentProcessId());
  const HANDLE file = CreateFileW((name + L".tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  const bool ok = WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  CloseHandle(file);
  return ok && MoveFileExW((name + L".tmp").c_str(), (name + L".txt").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}

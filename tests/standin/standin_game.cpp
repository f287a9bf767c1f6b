// Stands in for Freelancer.exe: records how it was started beside its own exe, in launch-<pid>.txt, as
// "<show flag given 0|1> <show state>\n<current directory>\n<command line>" in UTF-8, then exits. The
// record is written under a temp name and renamed, so a reader never sees half of it.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
  std::string out(text.size() * 3, '\0');
  out.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                          out.data(), static_cast<int>(out.size()), nullptr, nullptr)));
  return out;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  STARTUPINFOW startup{};
  GetStartupInfoW(&startup);
  wchar_t folder[MAX_PATH] = {}, current[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, folder, MAX_PATH);
  GetCurrentDirectoryW(MAX_PATH, current);
  const std::string record = std::to_string((startup.dwFlags & STARTF_USESHOWWINDOW) ? 1 : 0) + " " +
                             std::to_string(startup.wShowWindow) + "\n" + Utf8(current) + "\n" + Utf8(GetCommandLineW());
  std::wstring name = folder;
  name = name.substr(0, name.find_last_of(L'\\') + 1) + L"launch-" + std::to_wstring(GetCurrentProcessId());
  const HANDLE file = CreateFileW((name + L".tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  const bool ok = WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  CloseHandle(file);
  return ok && MoveFileExW((name + L".tmp").c_str(), (name + L".txt").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}

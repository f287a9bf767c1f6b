// Stands in for Freelancer.exe in the launcher tests. It records how it was started, beside its own
// exe, in launch-<pid>.txt, then exits:
//   pid=<process id>
//   startf_useshowwindow=<0|1>
//   show_window=<wShowWindow>
//   current_directory=<path>
//   command_line=<GetCommandLineW() as it is, to the end of the file>
// All text is UTF-8. The command line comes last and runs to the end of the file, so any character in
// it survives. The record is written to a temp name and renamed, so a reader never sees half of it.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), needed, nullptr, nullptr);
  return out;
}

std::wstring OwnFolder() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring CurrentDirectory() {
  std::wstring dir(32768, L'\0');
  const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(dir.size()), dir.data());
  dir.resize(length);
  return dir;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);

  const DWORD pid = GetCurrentProcessId();
  std::string record;
  record += "pid=" + std::to_string(pid) + "\n";
  record += "startf_useshowwindow=" + std::string((startup.dwFlags & STARTF_USESHOWWINDOW) ? "1" : "0") + "\n";
  record += "show_window=" + std::to_string(startup.wShowWindow) + "\n";
  record += "current_directory=" + Utf8(CurrentDirectory()) + "\n";
  record += "command_line=" + Utf8(GetCommandLineW());

  const std::wstring folder = OwnFolder();
  const std::wstring name = L"launch-" + std::to_wstring(pid);
  const std::wstring temp = folder + name + L".tmp";
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != record.size()) return 1;
  return MoveFileExW(temp.c_str(), (folder + name + L".txt").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}

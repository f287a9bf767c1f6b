#include "launcher/launcher.h"

#include <windows.h>
#include <tlhelp32.h>

namespace launcher {
namespace {

// The job's limits: with kill_on_close, its processes end when the last handle to it closes.
bool SetKillOnClose(HANDLE job, bool kill_on_close) {
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = kill_on_close ? JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE : 0;
  return SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits)) != FALSE;
}

// The path in full and with every short (8.3) name spelt long, so that two spellings of one file compare
// equal; as given where the file cannot be found.
std::wstring LongPath(const std::wstring& path) {
  std::wstring full(MAX_PATH * 4, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length == 0 || length >= full.size()) return path;
  std::wstring long_path(MAX_PATH * 4, L'\0');
  const DWORD long_length = GetLongPathNameW(full.c_str(), long_path.data(), static_cast<DWORD>(long_path.size()));
  return long_length == 0 || long_length >= long_path.size() ? full.substr(0, length) : long_path.substr(0, long_length);
}

bool SameFile(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(LongPath(a).c_str(), LongPath(b).c_str()) == 0; }

}  // namespace

std::wstring GameCommandLine(const std::wstring& game_path, const std::wstring& argument_text) {
  return L"\"" + game_path + L"\"" + argument_text;
}

PreparedGame::~PreparedGame() {
  if (process_) TerminateProcess(process_.get(), ERROR_CANCELLED);
}

base::Status PreparedGame::Prepare(const std::wstring& game_path, const std::wstring& argument_text) {
  // CreateProcessW may write into the command line, so it gets a buffer of its own.
  std::wstring command_line = GameCommandLine(game_path, argument_text);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;

  PROCESS_INFORMATION started{};
  if (!CreateProcessW(game_path.c_str(), command_line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                      nullptr, &startup, &started))
    return base::Status::LastError();
  process_.reset(started.hProcess);
  thread_.reset(started.hThread);
  // Windows 7 puts a process in one job only: where Quorvel already runs in one, the game goes without,
  // and is still ended by this object on every way out but a killed Quorvel.
  job_.reset(CreateJobObjectW(nullptr, nullptr));
  if (job_ && (!SetKillOnClose(job_.get(), true) || !AssignProcessToJobObject(job_.get(), process_.get()))) job_.reset();
  return base::Status::Ok();
}

base::Status PreparedGame::Run() {
  // Out of the job's reach first: a game let go must outlive Quorvel.
  base::Status status = job_ && !SetKillOnClose(job_.get(), false) ? base::Status::LastError() : base::Status::Ok();
  if (status && ResumeThread(thread_.get()) == static_cast<DWORD>(-1)) status = base::Status::LastError();
  if (!status) return status;  // the destructor ends the game that never ran
  thread_.reset();
  process_.reset();
  job_.reset();
  return status;
}

base::Status StartGame(const std::wstring& game_path, const std::wstring& argument_text) {
  PreparedGame game;
  const base::Status prepared = game.Prepare(game_path, argument_text);
  return prepared ? game.Run() : prepared;
}

base::Status GameRunning(const std::wstring& game_path, bool& running) {
  running = false;
  const base::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return base::Status::LastError();
  const size_t slash = game_path.find_last_of(L"\\/");
  const std::wstring exe_name = slash == std::wstring::npos ? game_path : game_path.substr(slash + 1);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more && !running; more = Process32NextW(snapshot.get(), &entry)) {
    if (lstrcmpiW(entry.szExeFile, exe_name.c_str()) != 0) continue;
    const base::UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    wchar_t image[MAX_PATH * 4] = {};
    DWORD size = MAX_PATH * 4;
    running = !process || !QueryFullProcessImageNameW(process.get(), 0, image, &size) || SameFile(image, game_path);
  }
  const DWORD ended = GetLastError();
  return running || ended == ERROR_NO_MORE_FILES ? base::Status::Ok() : base::Status::Fail(ended);
}

}  // namespace launcher

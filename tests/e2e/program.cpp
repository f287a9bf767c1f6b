#include "e2e/program.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "e2e/player.h"

namespace e2e {
namespace {

std::wstring OwnFolder() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int length = static_cast<int>(utf8.size());
  const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  std::wstring out(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, out.data(), needed);
  return out;
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void CopyOrThrow(const std::wstring& from, const std::wstring& to) {
  if (!CopyFileW(from.c_str(), to.c_str(), FALSE))
    throw PlayError("cannot copy " + Utf8(from) + " to " + Utf8(to) + " (error " + std::to_string(GetLastError()) +
                    ")");
}

struct Key {
  HKEY handle = nullptr;
  ~Key() {
    if (handle != nullptr) RegCloseKey(handle);
  }
};

}  // namespace

std::string Ansi(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), length, out.data(), needed, nullptr, nullptr);
  return out;
}

void SetInstalledIdAsGame(const std::optional<Id>& id) {
  RegDeleteTreeW(HKEY_CURRENT_USER, kGameKey);
  if (!id) return;
  Key key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kGameKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key.handle, nullptr) !=
      ERROR_SUCCESS)
    throw PlayError("cannot create the game's registry key");
  const std::pair<const char*, const std::string*> values[] = {
      {"InstallKey", &id->install}, {"MPAccountName", &id->man}, {"MPAccountNameSig", &id->mans}};
  for (const auto& [name, text] : values) {
    if (RegSetValueExA(key.handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text->c_str()),
                       static_cast<DWORD>(text->size() + 1)) != ERROR_SUCCESS)
      throw PlayError(std::string("cannot write ") + name);
  }
}

RegValue ReadGameValue(const char* name) {
  RegValue value;
  Key key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kGameKey, 0, KEY_READ, &key.handle) != ERROR_SUCCESS) return value;
  DWORD size = 0;
  if (RegQueryValueExA(key.handle, name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return value;
  value.data.assign(size, '\0');
  if (RegQueryValueExA(key.handle, name, nullptr, &value.type, reinterpret_cast<BYTE*>(value.data.data()), &size) !=
      ERROR_SUCCESS)
    return value;
  value.data.resize(size);
  value.exists = true;
  return value;
}

std::string GameStyle(const std::string& text) { return text + std::string(1, '\0'); }

std::string Padded255(const std::string& text) { return text + std::string(255 - text.size(), '\0'); }

Program::Program() {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  folder_ =
      std::wstring(temp) + L"quorvel-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
  std::filesystem::remove_all(folder_);
  std::filesystem::create_directories(folder_);
  CopyOrThrow(OwnFolder() + L"\\quorvel.exe", folder_ + L"\\quorvel.exe");
}

void Program::WriteStore(const std::string& bytes) const {
  std::ofstream out(std::filesystem::path(folder_) / L"FLIDs.ini", std::ios::binary);
  out << bytes;
  if (!out) throw PlayError("cannot write the store");
}

Program::~Program() {
  if (process_ != nullptr) {
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_, 99);
      WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void Program::Start() {
  const std::wstring exe = folder_ + L"\\quorvel.exe";
  std::wstring command = L"\"" + exe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &startup,
                      &started))
    throw PlayError("cannot start " + Utf8(exe) + " (error " + std::to_string(GetLastError()) + ")");
  CloseHandle(started.hThread);
  process_ = started.hProcess;
  pid_ = started.dwProcessId;
}

bool Program::WaitForExit(std::chrono::milliseconds timeout) const {
  return WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD Program::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_, &code);
  return code;
}

std::optional<std::string> Program::Store() const {
  return ReadFileBytes(std::filesystem::path(folder_) / L"FLIDs.ini");
}

std::wstring Program::InstallStandInGame() {
  std::filesystem::create_directories(GameFolder());
  const std::wstring game = GameFolder() + L"\\Freelancer.exe";
  CopyOrThrow(OwnFolder() + L"\\standin_game.exe", game);
  return game;
}

std::vector<Launch> Program::Launches() const {
  std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> records;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(GameFolder(), error)) {
    const std::wstring name = entry.path().filename().wstring();
    if (name.rfind(L"launch-", 0) == 0 && entry.path().extension() == L".txt")
      records.emplace_back(entry.last_write_time(), entry.path());
  }
  std::sort(records.begin(), records.end());
  std::vector<Launch> launches;
  for (const auto& [time, path] : records) {
    const std::optional<std::string> text = ReadFileBytes(path);
    if (!text) continue;
    Launch launch;
    std::istringstream lines(*text);
    std::string line;
    while (std::getline(lines, line)) {
      const size_t equals = line.find('=');
      const std::string name = line.substr(0, equals);
      if (name == "command_line") {  // runs to the end of the record
        launch.command_line = Wide(text->substr(text->find("\ncommand_line=") + 14));
        break;
      }
      const std::string value = equals == std::string::npos ? "" : line.substr(equals + 1);
      if (name == "startf_useshowwindow") launch.use_show_window = value == "1";
      if (name == "show_window") launch.show_window = std::stoi(value);
      if (name == "current_directory") launch.current_directory = Wide(value);
    }
    launches.push_back(launch);
  }
  return launches;
}

}  // namespace e2e

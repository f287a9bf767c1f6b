#include "support/support.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "base/text.h"

namespace support {
namespace {

std::wstring Unique() {
  static std::atomic<unsigned> counter{0};
  return std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(counter++);
}

base::UniqueKey Open(const std::wstring& path, REGSAM access) {
  base::UniqueKey key;
  RegOpenKeyExA(HKEY_CURRENT_USER, base::ToAnsi(path).c_str(), 0, access, key.put());
  return key;
}

}  // namespace

std::string ReadBytes(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteBytes(const std::wstring& path, std::string_view bytes) {
  std::ofstream file(std::filesystem::path(path), std::ios::binary);
  if (!file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) throw std::runtime_error("cannot write a test file");
}

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH] = {};
  const std::wstring own(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return own.substr(0, own.find_last_of(L'\\'));
}

std::string Today() {
  char date[11] = {};
  GetDateFormatA(LOCALE_INVARIANT, 0, nullptr, "yyyy-MM-dd", date, 11);
  return date;
}

// A blank in every test folder's name: every path the program builds or passes on must bear one.
TempDir::TempDir() : path((std::filesystem::temp_directory_path() / (L"quorvel test-" + Unique())).wstring()) {
  std::filesystem::create_directory(path);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

ScratchKey::ScratchKey() : path(L"Software\\QuorvelTests\\" + Unique()) { Set("", ""); }

bool ScratchKey::Exists() const { return Open(path, KEY_READ).valid(); }

void ScratchKey::Set(const char* name, std::string_view bytes, DWORD type) const {
  // RegSetKeyValue makes the key again when a test has deleted it.
  if (RegSetKeyValueA(HKEY_CURRENT_USER, base::ToAnsi(path).c_str(), name, type, bytes.data(), static_cast<DWORD>(bytes.size())))
    throw std::runtime_error("cannot set a scratch value");
}

std::string ScratchKey::Get(const char* name) const {
  const base::UniqueKey key = Open(path, KEY_QUERY_VALUE);
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return "(missing)";
  std::string data(size, '\0');
  RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size);
  return data;
}

app::Prompts::Answer Recorder::Message(const std::wstring& text, const std::wstring& title, Buttons buttons,
                                       Icon icon) {
  static const wchar_t* const kButtons[] = {L"", L"oc", L"?", L"?n"}, *const kIcons[] = {L"", L"i", L"!", L"x"};
  log.push_back(kButtons[static_cast<int>(buttons)] + std::wstring(kIcons[static_cast<int>(icon)]) + L" " + title + L": " + text);
  const Answer given = answers.empty() ? (buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes) : answers.front();
  if (!answers.empty()) answers.pop_front();
  return given;
}

std::wstring Recorder::OpenFile(const std::wstring& filter, const std::wstring& ext) {
  log.push_back(L"dialog " + filter + L" " + ext);
  const std::wstring chosen = files.empty() ? L"" : files.front();
  if (!files.empty()) files.pop_front();
  return chosen;
}

base::Status Recorder::PrintPage(const core::PrintedLine& line) {
  if (print_error != 0) return base::Status::Fail(print_error);
  log.push_back(L"printed " + line.text);
  return base::Status::Ok();
}

void Recorder::ShowIdList(const std::vector<std::wstring>& entries) {
  std::wstring line = L"list";
  for (const std::wstring& entry : entries) line += L" " + entry;
  log.push_back(line);
}

void Recorder::ShowDeletedIds(const std::vector<app::DeletedIdRow>& rows) {
  std::wstring line = L"deleted";
  for (const app::DeletedIdRow& row : rows) line += (line.size() > 7 ? L", " : L" ") + row.left + L" " + row.key + L" " + row.description;
  log.push_back(line);
}

// Whether the line is the pattern, where each "…" in the pattern stands for any text.
static bool Like(std::wstring_view line, std::wstring_view pattern) {
  const std::size_t gap = pattern.find(L'\u2026');
  if (gap == std::wstring_view::npos) return line == pattern;
  if (!line.starts_with(pattern.substr(0, gap))) return false;
  for (std::size_t at = gap; at <= line.size(); ++at)
    if (Like(line.substr(at), pattern.substr(gap + 1))) return true;
  return false;
}

testing::AssertionResult LogIs(const std::vector<std::wstring>& log, const std::vector<std::wstring>& expected) {
  bool same = log.size() == expected.size();
  for (std::size_t i = 0; same && i < log.size(); ++i) same = Like(log[i], expected[i]);
  if (same) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "the log holds " << testing::PrintToString(log) << "\nexpected "
                                     << testing::PrintToString(expected);
}

app::Main& ProgramTest::Fresh() {
  CreateDirectoryW(Desktop().c_str(), nullptr);
  program_ = std::make_unique<app::Main>(seen_, seen_, seen_, app::Places{key_.path, dir_.path, Desktop()});
  return *program_;
}

app::Main& ProgramTest::Start(const char* store, const char* installed) {
  seen_.log.clear();
  if (store != nullptr) WriteBytes(StorePath(), store);
  if (installed == nullptr) key_.Delete();
  std::stringstream values(installed ? installed : "");
  for (std::string value; const char* name : {"InstallKey", "MPAccountName", "MPAccountNameSig"})
    if (installed != nullptr) key_.Set(name, (std::getline(values, value, '|'), value) + '\0');
  Fresh().StartUp();
  program_->FillIdList();  // the manage window's list, as the player sees it when it opens
  seen_.log.clear();
  return *program_;
}

std::string ProgramTest::Installed() const {
  std::string all;
  for (const char* name : {"InstallKey", "MPAccountName", "MPAccountNameSig"}) {
    const std::string data = key_.Get(name);
    all += (all.empty() ? "" : "|") + data.substr(0, data.find('\0')) + "/" + std::to_string(data.size());
  }
  return all;
}

}  // namespace support

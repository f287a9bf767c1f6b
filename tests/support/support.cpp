#include "support/support.h"

#include <atomic>
#include <stdexcept>

#include "base/text.h"

namespace support {
namespace {

std::wstring Unique() {
  static std::atomic<unsigned> counter{0};
  return std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64()) + L"-" +
         std::to_wstring(counter++);
}

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  const base::UniqueFind search(FindFirstFileW((path + L"\\*").c_str(), &found));
  for (bool more = search.valid(); more; more = FindNextFileW(search.get(), &found)) {
    const std::wstring name = found.cFileName, child = path + L"\\" + name;
    if (name == L"." || name == L"..") continue;
    SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
    else DeleteFileW(child.c_str());
  }
  RemoveDirectoryW(path.c_str());
}

}  // namespace

std::string ReadBytes(const std::wstring& path) {
  const base::UniqueFile file = Hold(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (file && ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return bytes;
}

void WriteBytes(const std::wstring& path, std::string_view bytes) {
  const base::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
    throw std::runtime_error("cannot write a test file");
}

base::UniqueFile Hold(const std::wstring& path, DWORD share) {
  return base::UniqueFile(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
}

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring own = path;
  return own.substr(0, own.find_last_of(L'\\'));
}

TempDir::TempDir() {
  wchar_t base[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, base);
  path_ = std::wstring(base) + L"quorvel-test-" + Unique();
  if (!CreateDirectoryW(path_.c_str(), nullptr)) throw std::runtime_error("cannot make a temp folder");
}

TempDir::~TempDir() { RemoveTree(path_); }

ScratchKey::ScratchKey() : path_(L"Software\\QuorvelTests\\" + Unique()) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != 0)
    throw std::runtime_error("cannot make a scratch key");
  RegCloseKey(key);
}

bool ScratchKey::Exists() const {
  base::UniqueKey key;
  return RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

void ScratchKey::Set(const char* name, std::string_view bytes, DWORD type) const {
  base::UniqueKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, base::ToAnsi(path_).c_str(), 0, KEY_SET_VALUE, key.put()) != 0 ||
      RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                     static_cast<DWORD>(bytes.size())) != 0)
    throw std::runtime_error("cannot set a scratch value");
}

std::string ScratchKey::Get(const char* name) const {
  base::UniqueKey key;
  DWORD size = 0;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, base::ToAnsi(path_).c_str(), 0, KEY_QUERY_VALUE, key.put()) != 0 ||
      RegQueryValueExA(key.get(), name, nullptr, nullptr, nullptr, &size) != 0)
    return "(missing)";
  std::string data(size, '\0');
  RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size);
  return data;
}

std::wstring BoxLine(const std::wstring& text, const std::wstring& title, app::Prompts::Buttons buttons,
                     app::Prompts::Icon icon) {
  using B = app::Prompts::Buttons;
  using I = app::Prompts::Icon;
  const wchar_t* code = buttons == B::YesNo && icon == I::None       ? L"?"
                        : buttons == B::OkCancel && icon == I::None  ? L"oc"
                        : buttons == B::Ok && icon == I::Information ? L"i"
                        : buttons == B::Ok && icon == I::Exclamation ? L"!"
                        : buttons == B::Ok && icon == I::Stop        ? L"x"
                                                                     : L"(odd box)";
  return std::wstring(code) + L" " + title + L": " + text;
}

bool Like(const std::wstring& line, const std::wstring& expected) {
  std::size_t at = 0, from = 0;
  for (std::size_t gap; (gap = expected.find(L'\u2026', from)) != std::wstring::npos; from = gap + 1) {
    const std::wstring piece = expected.substr(from, gap - from);
    const std::size_t found = from == 0 ? (line.compare(0, piece.size(), piece) == 0 ? 0 : std::wstring::npos)
                                        : line.find(piece, at);
    if (found == std::wstring::npos) return false;
    at = found + piece.size();
  }
  const std::wstring last = expected.substr(from);
  if (from == 0) return line == last;
  return line.size() >= at + last.size() && line.compare(line.size() - last.size(), last.size(), last) == 0;
}

testing::AssertionResult LogIs(const std::vector<std::wstring>& log, const std::vector<std::wstring>& expected) {
  bool same = log.size() == expected.size();
  for (std::size_t i = 0; same && i < log.size(); ++i) same = Like(log[i], expected[i]);
  if (same) return testing::AssertionSuccess();
  auto failure = testing::AssertionFailure() << "the log holds\n";
  for (const std::wstring& line : log) failure << "  " << testing::PrintToString(line) << "\n";
  failure << "expected\n";
  for (const std::wstring& line : expected) failure << "  " << testing::PrintToString(line) << "\n";
  return failure;
}

app::Prompts::Answer ScriptedPrompts::Message(const std::wstring& text, const std::wstring& title, Buttons buttons,
                                              Icon icon) {
  log_.push_back(BoxLine(text, title, buttons, icon));
  if (answers.empty()) return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
  const Answer answer = answers.front();
  answers.pop_front();
  return answer;
}

std::wstring ScriptedPrompts::OpenFile(const std::wstring& filter, const std::wstring& default_ext) {
  log_.push_back(L"dialog " + filter + L" " + default_ext);
  if (files.empty()) return {};
  std::wstring file = files.front();
  files.pop_front();
  return file;
}

void RecordingView::ShowIdList(const std::vector<std::wstring>& entries) {
  std::wstring line = L"list";
  for (const std::wstring& entry : entries) line += L" " + entry;
  log_.push_back(line);
}

base::Status RecordingPrinter::PrintPage(const core::PrintedLine& line) {
  if (fail_with != 0) return base::Status::Fail(fail_with);
  log_.push_back(L"printed " + line.text);
  return base::Status::Ok();
}

app::Main& ProgramTest::Start(const char* store, const char* installed) {
  if (store != nullptr) WriteBytes(StorePath(), store);
  if (installed == nullptr) key_.Delete();
  for (int i = 0; installed != nullptr && i < 3; ++i) {
    const std::string all = installed;
    std::size_t from = 0;
    for (int skip = 0; skip < i; ++skip) from = all.find('|', from) + 1;
    key_.SetText(i == 0 ? "InstallKey" : i == 1 ? "MPAccountName" : "MPAccountNameSig",
                 all.substr(from, all.find('|', from) - from));
  }
  program_ = std::make_unique<app::Main>(prompts_, printer_, view_, app::Places{key_.path(), dir_.path()});
  program_->StartUp();
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

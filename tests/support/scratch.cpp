#include "support/scratch.h"

#include <atomic>
#include <stdexcept>
#include <vector>

namespace testing_support {
namespace {

std::wstring UniqueSuffix() {
  static std::atomic<unsigned> counter{0};
  return std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64()) + L"-" +
         std::to_wstring(counter++);
}

}  // namespace

TempDir::TempDir() {
  wchar_t base[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, base);
  if (n == 0 || n > MAX_PATH) throw std::runtime_error("GetTempPathW failed");
  path_ = std::wstring(base) + L"quorvel-test-" + UniqueSuffix();
  if (!CreateDirectoryW(path_.c_str(), nullptr)) throw std::runtime_error("CreateDirectoryW failed");
}

TempDir::~TempDir() { RemoveTree(path_); }

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  const HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(path.c_str());
}

std::string ReadBytes(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

void WriteBytes(const std::wstring& path, std::string_view bytes) {
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create test file");
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

ScratchKey::ScratchKey(std::wstring_view group, bool create)
    : path_(L"Software\\QuorvelTests\\" + std::wstring(group) + L"-" + UniqueSuffix()) {
  Delete();
  if (create) Create();
}

ScratchKey::~ScratchKey() { Delete(); }

void ScratchKey::Create() const {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
      ERROR_SUCCESS)
    RegCloseKey(key);
}

void ScratchKey::Delete() const { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }

bool ScratchKey::Exists() const {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void ScratchKey::SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) const {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    throw std::runtime_error("scratch key missing");
  RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

void ScratchKey::SetString(const std::wstring& name, std::string_view ansi) const {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    throw std::runtime_error("scratch key missing");
  const std::string with_zero = std::string(ansi) + '\0';
  const std::string name_a(name.begin(), name.end());
  RegSetValueExA(key, name_a.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(with_zero.data()),
                 static_cast<DWORD>(with_zero.size()));
  RegCloseKey(key);
}

bool ScratchKey::ValueExists(const std::wstring& name) const {
  std::string data;
  DWORD type = 0;
  return GetRaw(name, data, type);
}

bool ScratchKey::GetRaw(const std::wstring& name, std::string& data, DWORD& type) const {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  const std::string name_a(name.begin(), name.end());
  DWORD size = 0;
  LONG rc = RegQueryValueExA(key, name_a.c_str(), nullptr, &type, nullptr, &size);
  if (rc == ERROR_SUCCESS) {
    data.assign(size, '\0');
    rc = RegQueryValueExA(key, name_a.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    data.resize(size);
  }
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

}  // namespace testing_support

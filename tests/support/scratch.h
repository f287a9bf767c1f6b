#pragma once
// Real places for tests to work in: a fresh folder under %TEMP% and a scratch registry key under
// HKEY_CURRENT_USER, each removed again when the test is done. Never the real game key.
#include <windows.h>

#include <string>
#include <string_view>

namespace testing_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring File(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

 private:
  std::wstring path_;
};

// Deletes a folder and everything in it (read-only files included).
void RemoveTree(const std::wstring& path);

// Whole-file helpers that bypass the program's own code.
std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, std::string_view bytes);
bool PathExists(const std::wstring& path);

class ScratchKey {
 public:
  // HKCU\Software\QuorvelTests\<group>-<unique>, deleted before and after; created unless create is false.
  explicit ScratchKey(std::wstring_view group, bool create = true);
  ~ScratchKey();
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  const std::wstring& path() const { return path_; }
  void Create() const;
  void Delete() const;
  bool Exists() const;
  // Raw access that bypasses the program's registry code.
  void SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) const;
  void SetString(const std::wstring& name, std::string_view ansi) const;  // REG_SZ with its own terminator
  bool ValueExists(const std::wstring& name) const;
  // The stored bytes and type; false when the value is missing.
  bool GetRaw(const std::wstring& name, std::string& data, DWORD& type) const;

 private:
  std::wstring path_;
};

}  // namespace testing_support

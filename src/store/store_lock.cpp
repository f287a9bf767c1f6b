#include "store/store_lock.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "core/id_digest.h"

namespace store {
namespace {

// Object names are at most MAX_PATH characters; a longer path keeps its end and a hash of the whole.
constexpr std::size_t kKeptChars = 180;

std::wstring FullPath(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (got == 0) return path;  // as given: the same path still gives the same name
    if (got < full.size()) return full.substr(0, got);
    full.resize(got);
  }
}

}  // namespace

std::wstring StoreLock::Name(const std::wstring& store_path) {
  // File names do not tell letter case apart, and "\" may not stand in an object's name.
  std::wstring path = FullPath(store_path);
  if (!path.empty()) CharLowerBuffW(path.data(), static_cast<DWORD>(path.size()));
  for (wchar_t& c : path)
    if (c == L'\\') c = L'/';
  if (path.size() > kKeptChars) {
    const std::uint64_t hash = core::Fnv1a64({reinterpret_cast<const char*>(path.data()), path.size() * sizeof(wchar_t)});
    wchar_t hex[17] = {};
    swprintf(hex, 17, L"%016llx", static_cast<unsigned long long>(hash));
    path = hex + path.substr(path.size() - kKeptChars);
  }
  return L"Local\\Quorvel.store:" + path;
}

StoreLock::StoreLock(const std::wstring& store_path, unsigned long wait_ms)
    : mutex_(CreateMutexW(nullptr, FALSE, Name(store_path).c_str())) {
  if (!mutex_) {
    status_ = base::Status::LastError();
    return;
  }
  switch (WaitForSingleObject(mutex_.get(), wait_ms)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // its holder ended while holding it: the files are whole, the turn is ours
      held_ = true;
      break;
    case WAIT_TIMEOUT:
      break;
    default:
      status_ = base::Status::LastError();
      break;
  }
}

StoreLock::~StoreLock() {
  if (held_) ReleaseMutex(mutex_.get());
}

}  // namespace store

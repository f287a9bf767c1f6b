#pragma once
// One move-only owner for every kind of Win32 handle. Each kind names its own invalid value
// (NULL or INVALID_HANDLE_VALUE are not interchangeable) and its own close function.
#include <windows.h>

#include <utility>

namespace base {

template <typename T, typename Traits>
class Unique {
 public:
  Unique() = default;
  explicit Unique(T value) : value_(value) {}
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : value_(std::exchange(other.value_, Traits::Invalid())) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) reset(std::exchange(other.value_, Traits::Invalid()));
    return *this;
  }
  ~Unique() { reset(); }

  T get() const { return value_; }
  bool valid() const { return value_ != Traits::Invalid(); }
  explicit operator bool() const { return valid(); }
  T release() { return std::exchange(value_, Traits::Invalid()); }
  void reset(T value = Traits::Invalid()) {
    if (valid()) Traits::Close(value_);
    value_ = value;
  }
  // For out-parameters of Win32 calls: closes what is held and hands out the slot.
  T* put() {
    reset();
    return &value_;
  }

 private:
  T value_ = Traits::Invalid();
};

struct FileTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct KernelTraits {
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct KeyTraits {
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY h) { RegCloseKey(h); }
};
struct FindTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { FindClose(h); }
};
struct GdiTraits {
  static HGDIOBJ Invalid() { return nullptr; }
  static void Close(HGDIOBJ h) { DeleteObject(h); }
};
struct DcTraits {
  static HDC Invalid() { return nullptr; }
  static void Close(HDC h) { DeleteDC(h); }
};

using UniqueFile = Unique<HANDLE, FileTraits>;      // CreateFile, CreateFile2
using UniqueHandle = Unique<HANDLE, KernelTraits>;  // processes, threads, events
using UniqueKey = Unique<HKEY, KeyTraits>;
using UniqueFind = Unique<HANDLE, FindTraits>;
using UniqueGdi = Unique<HGDIOBJ, GdiTraits>;
using UniqueDc = Unique<HDC, DcTraits>;

}  // namespace base

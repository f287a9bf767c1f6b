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

struct ScreenDcTraits {
  static HDC Invalid() { return nullptr; }
  static void Close(HDC h) { ReleaseDC(nullptr, h); }
};
struct MenuTraits {
  static HMENU Invalid() { return nullptr; }
  static void Close(HMENU h) { DestroyMenu(h); }
};

using UniqueFile = Unique<HANDLE, FileTraits>;      // CreateFile, CreateFile2
using UniqueHandle = Unique<HANDLE, KernelTraits>;  // processes, threads, events
using UniqueKey = Unique<HKEY, KeyTraits>;
using UniqueFind = Unique<HANDLE, FindTraits>;
using UniqueGdi = Unique<HGDIOBJ, GdiTraits>;
using UniqueDc = Unique<HDC, DcTraits>;              // CreateDC, CreateCompatibleDC
using UniqueScreenDc = Unique<HDC, ScreenDcTraits>;  // GetDC(nullptr)
using UniqueMenu = Unique<HMENU, MenuTraits>;        // a menu not (yet) owned by a window

// An object selected into a DC for one scope; the one it replaced is put back before it goes.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() {
    if (ok()) SelectObject(dc_, previous_);
  }
  // SelectObject reports a failure as NULL, or for regions as HGDI_ERROR (all bits set).
  bool ok() const { return previous_ != nullptr && previous_ != reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(-1)); }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace base

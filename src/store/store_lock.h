#pragma once
// One writer at a time. Every read-check-replace of the store and its archive holds the lock of the
// store's folder: a named mutex whose name comes from the store's full path, so copies of the program
// (its windows, a desktop shortcut's run) on the same store take turns, and copies on other stores do
// not wait for each other. The system releases a mutex whose holder ended, so a crashed copy leaves
// nothing behind; the next holder is told it was abandoned, which counts as having it, since every
// write replaces its file whole and atomically. The mutex counts a thread's nested takes.
#include <string>

#include "base/error.h"
#include "base/handle.h"

namespace store {

class StoreLock {
 public:
  // Waits up to wait_ms for the lock of the store at store_path.
  StoreLock(const std::wstring& store_path, unsigned long wait_ms);
  ~StoreLock();
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

  bool held() const { return held_; }
  // Not held: ok when another holder kept it past the wait, otherwise why the lock could not be had.
  base::Status status() const { return status_; }

  // The mutex's name for a store path (exposed for the tests that hold it from outside).
  static std::wstring Name(const std::wstring& store_path);

 private:
  base::UniqueHandle mutex_;
  bool held_ = false;
  base::Status status_;
};

}  // namespace store

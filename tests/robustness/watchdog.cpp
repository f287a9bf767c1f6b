// A hang must fail, not stall the run: every test of this program gets kHangSeconds, after which the
// test's name is printed and the process ends with a failure code.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

constexpr ULONGLONG kHangSeconds = 60;

class Watchdog : public testing::EmptyTestEventListener {
 public:
  Watchdog() {
    InitializeCriticalSection(&lock_);
    CloseHandle(CreateThread(nullptr, 0, &Watchdog::Watch, this, 0, nullptr));
  }

  void OnTestStart(const testing::TestInfo& info) override {
    EnterCriticalSection(&lock_);
    name_ = std::string(info.test_suite_name()) + "." + info.name();
    started_ = GetTickCount64();
    LeaveCriticalSection(&lock_);
  }
  void OnTestEnd(const testing::TestInfo&) override {
    EnterCriticalSection(&lock_);
    started_ = 0;
    LeaveCriticalSection(&lock_);
  }

 private:
  static DWORD WINAPI Watch(void* self) {
    auto* dog = static_cast<Watchdog*>(self);
    for (;;) {
      Sleep(1000);
      EnterCriticalSection(&dog->lock_);
      const bool hung = dog->started_ != 0 && GetTickCount64() - dog->started_ > kHangSeconds * 1000;
      const std::string name = dog->name_;
      LeaveCriticalSection(&dog->lock_);
      if (hung) {
        std::fprintf(stderr, "\nHANG: %s ran longer than %llu s\n", name.c_str(), kHangSeconds);
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
      }
    }
  }

  CRITICAL_SECTION lock_;
  std::string name_;
  ULONGLONG started_ = 0;
};

// Registered before main runs; googletest owns and deletes the listener.
[[maybe_unused]] const bool kRegistered = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
  return true;
}();

}  // namespace

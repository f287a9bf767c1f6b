#pragma once
// The outcome of one Win32 step, kept as a value so that the caller decides what the user sees.
#include <string>

namespace base {

// The system's own text for an error code, without the trailing line break.
std::wstring ErrorText(unsigned long code);

struct Status {
  unsigned long error = 0;  // 0: success; otherwise a Win32 error code

  static Status Ok() { return {}; }
  static Status Fail(unsigned long code) { return {code == 0 ? 1UL : code}; }
  // The calling thread's last error, as left by the Win32 call that just failed.
  static Status LastError();

  bool ok() const { return error == 0; }
  explicit operator bool() const { return ok(); }
  std::wstring Text() const { return ErrorText(error); }
};

}  // namespace base

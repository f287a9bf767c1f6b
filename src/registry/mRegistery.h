#pragma once
// The program's only door to the registry. Each call opens the key, does one value operation and
// closes it again. Keys are never created, enumerated or deleted; a value is deleted only to put back
// that it was missing.
#include <windows.h>

#include <string>
#include <vector>

#include "base/error.h"

namespace mRegistery {

// The value's bytes up to the first zero byte (at most 255), in the ANSI code page; "" when the key or
// the value is missing. valueType receives the stored type; it is not examined. Any other failure
// (access denied, say) also reads as "", and `status` says what it was.
std::wstring GetRegValue(HKEY rootKey, const std::wstring& keyPath, const std::wstring& valueName,
                         DWORD& valueType, base::Status& status);

// Writes exactly 255 bytes: the text (at most 254 bytes) then zero bytes. Fails, creating nothing,
// when the key does not exist or cannot be written.
base::Status SetRegValue(HKEY rootKey, const std::wstring& keyPath, const std::wstring& valueName,
                         const std::wstring& value, DWORD valueType);

// A value exactly as it is stored, to be put back later: its type and bytes, or that it is missing.
struct StoredValue {
  bool exists = false;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};
// Reads it whole; a missing key or value is a missing value, no failure.
base::Status GetStoredValue(HKEY rootKey, const std::wstring& keyPath, const std::wstring& valueName, StoredValue& value);
// Writes it back as it was, or deletes the value when it was missing.
base::Status PutStoredValue(HKEY rootKey, const std::wstring& keyPath, const std::wstring& valueName, const StoredValue& value);

// For tests: while one of these lives, writes (SetRegValue and PutStoredValue) fail with
// ERROR_ACCESS_DENIED: those to one value, or every one after the first `allowed`. The registry gives
// every value of a key its key's access rights, so no real key takes one value and refuses the next.
class RefusedWrites {
 public:
  explicit RefusedWrites(const wchar_t* value_name);
  explicit RefusedWrites(int allowed);
  ~RefusedWrites();
  RefusedWrites(const RefusedWrites&) = delete;
  RefusedWrites& operator=(const RefusedWrites&) = delete;
};

}  // namespace mRegistery

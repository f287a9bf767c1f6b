#pragma once
// The program's only door to the registry. Each call opens the key, does one value operation and
// closes it again. Keys are never created, enumerated or deleted.
#include <windows.h>

#include <string>

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

}  // namespace mRegistery

#pragma once
// Keyed access to the store file. Every call reads the file afresh; nothing is cached.
#include <string>

#include "base/error.h"

namespace ini {

// The value, cut to 254 characters; "" when the file, the section or the key is missing.
std::wstring ReadIni(const std::wstring& section, const std::wstring& key, const std::wstring& file);

// Sets one key and replaces the file atomically; creates the file when it does not exist.
base::Status WriteIni(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                      const std::wstring& file);

}  // namespace ini

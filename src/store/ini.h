#pragma once
// Keyed access to the store file. Every call reads the file afresh; nothing is cached. Section and key
// names are the file's own single-byte text (the store's names are in core/store_format.h); values
// are converted from and to the ANSI code page.
#include <string>
#include <string_view>

#include "base/error.h"
#include "store/files.h"

namespace ini {

// The value, cut to 254 characters; "" when the file, the section or the key is missing.
std::wstring ReadIni(std::string_view section, std::string_view key, const std::wstring& file);

// Sets one key and replaces the file atomically; creates the file when it does not exist.
base::Status WriteIni(std::string_view section, std::string_view key, const std::wstring& value,
                      const std::wstring& file);

// The same on `text`, just read from `file`, for a caller that has checked what the file holds: the
// key is set in exactly those bytes. Nothing is written when they already say so.
base::Status WriteIni(const store::FileText& text, std::string_view section, std::string_view key,
                      const std::wstring& value, const std::wstring& file);

}  // namespace ini

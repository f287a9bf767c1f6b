#pragma once
// Whole-file access for the store: one read of a file, and replacing a file atomically.
#include <string>
#include <string_view>

#include "base/error.h"

namespace store {

struct FileText {
  base::Status status;  // a file that exists but cannot be read fails here
  bool exists = false;  // false with status ok: the file is simply not there
  std::string bytes;
};

FileText ReadWholeFile(const std::wstring& path);

// Writes bytes to a temp file in the same folder, flushes it and moves it over path in one step, so
// the file is either the old one or the new one, never half-written. A read-only target is refused.
base::Status ReplaceFileAtomically(const std::wstring& path, std::string_view bytes);

// False for "" and for a path ending in "\"; otherwise whether a search with normal attributes finds
// an ordinary file (not a folder, not hidden, not system). "*" and "?" in path match.
bool FileExists(const std::wstring& path);

}  // namespace store

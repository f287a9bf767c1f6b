#include "store/files.h"

#include <windows.h>

#include <algorithm>

#include "base/handle.h"

namespace store {
namespace {

constexpr DWORD kChunk = 1 << 20;  // ReadFile and WriteFile take 32-bit sizes: large files go in pieces

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// The folder part of path with its trailing separator ("C:\dir\"), or "." when path has none.
std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash + 1);
}

base::Status WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kChunk));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), piece, &written, nullptr)) return base::Status::LastError();
    if (written == 0) return base::Status::Fail(ERROR_WRITE_FAULT);
    bytes.remove_prefix(written);
  }
  return base::Status::Ok();
}

// Writes bytes into the (already created) temp file and makes sure they reached the disk.
base::Status FillTempFile(const std::wstring& temp, std::string_view bytes) {
  base::UniqueFile file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return base::Status::LastError();
  if (base::Status status = WriteAll(file.get(), bytes); !status) return status;
  if (!FlushFileBuffers(file.get())) return base::Status::LastError();
  return base::Status::Ok();
}

// Whether another program holds path open in a way that forbids replacing it. MoveFileExW would
// refuse such a target too; asking first keeps a failed write from getting as far as the rename.
base::Status CheckReplaceable(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    // A missing file is simply created; a missing folder is an error the caller must see.
    return error == ERROR_FILE_NOT_FOUND ? base::Status::Ok() : base::Status::Fail(error);
  }
  // The read-only attribute does not stop a rename over the file, and under Wine running as root it
  // does not stop writes either: the program has to honour it itself. A folder is never replaced.
  if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return base::Status::Fail(ERROR_ACCESS_DENIED);
  base::UniqueFile probe(CreateFileW(path.c_str(), GENERIC_WRITE | DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!probe) return base::Status::LastError();
  return base::Status::Ok();
}

}  // namespace

FileText ReadWholeFile(const std::wstring& path) {
  FileText result;
  // Share everything: the store may be open in an editor, and reading must never stop it being saved.
  base::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (!IsMissing(error)) result.status = base::Status::Fail(error);  // a folder, a locked file...
    return result;
  }
  result.exists = true;
  // Read straight into the string, sized from the file; keep reading until the end rather than
  // trusting that size, since the file may grow while it is read.
  LARGE_INTEGER size{};
  std::size_t expected = 0;
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) expected = static_cast<std::size_t>(size.QuadPart);
  // Room for the whole file and a little more, so that the read which meets the end needs no more.
  result.bytes.resize(expected + 4096);
  std::size_t filled = 0;
  for (;;) {
    if (filled == result.bytes.size()) result.bytes.resize(2 * result.bytes.size());
    const DWORD room = static_cast<DWORD>(std::min<std::size_t>(result.bytes.size() - filled, kChunk));
    DWORD read = 0;
    if (!ReadFile(file.get(), result.bytes.data() + filled, room, &read, nullptr)) {
      result.status = base::Status::LastError();
      result.bytes.clear();
      return result;
    }
    if (read == 0) break;
    filled += read;
  }
  result.bytes.resize(filled);
  return result;
}

base::Status ReplaceFileAtomically(const std::wstring& path, std::string_view bytes) {
  if (base::Status status = CheckReplaceable(path); !status) return status;

  // The temp file lives in the target's folder, so that the final rename stays on one volume and is
  // a single step; GetTempFileNameW creates it, so no other writer can take the same name.
  wchar_t temp[MAX_PATH] = {};
  if (GetTempFileNameW(FolderOf(path).c_str(), L"qrv", 0, temp) == 0) return base::Status::LastError();

  base::Status status = FillTempFile(temp, bytes);
  if (status && !MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    status = base::Status::LastError();
  if (!status) DeleteFileW(temp);
  return status;
}

bool FileExists(const std::wstring& path) {
  if (path.empty() || path.back() == L'\\') return false;
  WIN32_FIND_DATAW found{};
  base::UniqueFind search(FindFirstFileW(path.c_str(), &found));
  if (!search) return false;
  // A search "with normal attributes" lists ordinary files only: folders, hidden and system files
  // are passed over. A wildcard pattern may match several entries; any ordinary one will do.
  constexpr DWORD kNotNormal = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  do {
    if ((found.dwFileAttributes & kNotNormal) == 0) return true;
  } while (FindNextFileW(search.get(), &found));
  return false;
}

}  // namespace store

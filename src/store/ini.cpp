#include "store/ini.h"

#include "base/text.h"
#include "core/profile.h"
#include "store/files.h"

namespace ini {

std::wstring ReadIni(const std::wstring& section, const std::wstring& key, const std::wstring& file) {
  const store::FileText text = store::ReadWholeFile(file);
  // Whatever cannot be read, a missing file included, reads as the default "".
  if (!text.status || !text.exists) return {};
  return base::FromAnsi(core::ReadProfileValue(text.bytes, base::ToAnsi(section), base::ToAnsi(key)));
}

base::Status WriteIni(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                      const std::wstring& file) {
  // Read afresh every time: another program (or another window of this one) may have changed the file.
  const store::FileText text = store::ReadWholeFile(file);
  if (!text.status) return text.status;
  const std::string updated =
      core::SetProfileValue(text.bytes, base::ToAnsi(section), base::ToAnsi(key), base::ToAnsi(value));
  // The file already says exactly this: nothing to write, and a read-only file is no obstacle.
  if (text.exists && updated == text.bytes) return base::Status::Ok();
  return store::ReplaceFileAtomically(file, updated);
}

}  // namespace ini

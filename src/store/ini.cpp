#include "store/ini.h"

#include "base/text.h"
#include "core/profile.h"

namespace ini {

std::wstring ReadIni(std::string_view section, std::string_view key, const std::wstring& file) {
  const store::FileText text = store::ReadWholeFile(file);
  // Whatever cannot be read, a missing file included, reads as the default "".
  if (!text.status || !text.exists) return {};
  return base::FromAnsi(core::ReadProfileValue(text.bytes, section, key));
}

base::Status WriteIni(std::string_view section, std::string_view key, const std::wstring& value,
                      const std::wstring& file) {
  // Read afresh every time: another program (or another window of this one) may have changed the file.
  return WriteIni(store::ReadWholeFile(file), section, key, value, file);
}

base::Status WriteIni(const store::FileText& text, std::string_view section, std::string_view key,
                      const std::wstring& value, const std::wstring& file) {
  if (!text.status) return text.status;
  const std::string updated = core::SetProfileValue(text.bytes, section, key, base::ToAnsi(value));
  // The file already says exactly this: nothing to write, and a read-only file is no obstacle.
  if (text.exists && updated == text.bytes) return base::Status::Ok();
  return store::ReplaceFileAtomically(file, updated);
}

}  // namespace ini

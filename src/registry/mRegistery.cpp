#include "registry/mRegistery.h"

#include <vector>

#include "base/handle.h"
#include "base/text.h"
#include "core/reg_codec.h"

namespace mRegistery {

namespace {

// The switch behind RefusedWrites; nothing else ever sets it.
const wchar_t* refused_value = nullptr;
int writes_allowed = -1;  // -1: no limit

bool Refused(const std::wstring& value_name) {
  if (refused_value != nullptr) return value_name == refused_value;
  if (writes_allowed <= 0) return writes_allowed == 0;
  --writes_allowed;
  return false;
}

// A missing key or value is no failure: the game has simply not made it (yet).
base::Status UnlessMissing(LSTATUS rc) {
  return rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND ? base::Status::Ok()
                                                                 : base::Status::Fail(static_cast<unsigned long>(rc));
}

// Opens the key for setting values; RegOpenKeyExA never creates it, so writing under a missing key
// fails and leaves nothing behind.
base::Status OpenForSet(HKEY rootKey, const std::wstring& keyPath, base::UniqueKey& key) {
  const LSTATUS rc = RegOpenKeyExA(rootKey, base::ToAnsi(keyPath).c_str(), 0, KEY_SET_VALUE, key.put());
  return rc == ERROR_SUCCESS ? base::Status::Ok() : base::Status::Fail(static_cast<unsigned long>(rc));
}

}  // namespace

std::wstring GetRegValue(HKEY rootKey, const std::wstring& keyPath, const std::wstring& valueName,
                         DWORD& valueType, base::Status& status) {
  const std::string path = base::ToAnsi(keyPath);
  const std::string name = base::ToAnsi(valueName);
  base::UniqueKey key;
  status = base::Status::Ok();
  // Opened for reading only; a missing key reads as the empty text.
  if (LSTATUS rc = RegOpenKeyExA(rootKey, path.c_str(), 0, KEY_QUERY_VALUE, key.put()); rc != ERROR_SUCCESS) {
    status = UnlessMissing(rc);
    return {};
  }

  std::vector<char> data(core::kRegDataSize, '\0');
  DWORD size = static_cast<DWORD>(data.size());
  DWORD type = valueType;
  LSTATUS rc = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  // A value longer than 255 bytes does not fit: Windows then fills nothing and reports the size it
  // needs. Read it whole into a buffer of that size (it may grow in between, hence the loop) and keep
  // its first 255 bytes, which is what a fixed 255-byte read is meant to see.
  while (rc == ERROR_MORE_DATA) {
    data.assign(static_cast<std::size_t>(size) + 1, '\0');
    size = static_cast<DWORD>(data.size());
    rc = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  }
  if (rc != ERROR_SUCCESS) {
    status = UnlessMissing(rc);
    return {};
  }
  valueType = type;
  // The stored type is not examined: whatever bytes the value holds are text up to the first zero.
  return base::FromAnsi(core::DecodeRegValue(data.data(), size));
}

base::Status SetRegValue(HKEY rootKey, const std::wstring& keyPath, const std::wstring& valueName,
                         const std::wstring& value, DWORD valueType) {
  if (Refused(valueName)) return base::Status::Fail(ERROR_ACCESS_DENIED);
  const std::string name = base::ToAnsi(valueName);
  base::UniqueKey key;
  if (const base::Status opened = OpenForSet(rootKey, keyPath, key); !opened) return opened;
  // Always exactly 255 bytes: the text, cut to 254 so that a zero follows it, then zero bytes.
  const std::array<char, core::kRegDataSize> data = core::EncodeRegValue(base::ToAnsi(value));
  const LSTATUS rc = RegSetValueExA(key.get(), name.c_str(), 0, valueType, reinterpret_cast<const BYTE*>(data.data()),
                                    static_cast<DWORD>(data.size()));
  if (rc != ERROR_SUCCESS) return base::Status::Fail(static_cast<unsigned long>(rc));
  return base::Status::Ok();
}

base::Status GetStoredValue(HKEY rootKey, const std::wstring& keyPath, const std::wstring& valueName, StoredValue& value) {
  const std::string path = base::ToAnsi(keyPath);
  const std::string name = base::ToAnsi(valueName);
  value = {};
  base::UniqueKey key;
  if (LSTATUS rc = RegOpenKeyExA(rootKey, path.c_str(), 0, KEY_QUERY_VALUE, key.put()); rc != ERROR_SUCCESS) return UnlessMissing(rc);
  DWORD size = 0;
  LSTATUS rc = RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size);
  while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {  // it may grow between asking its size and reading it
    value.data.assign(size, 0);
    rc = RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, value.data.data(), &size);
    if (rc == ERROR_SUCCESS) {
      value.data.resize(size);
      value.exists = true;
      return base::Status::Ok();
    }
  }
  value = {};
  return UnlessMissing(rc);
}

base::Status PutStoredValue(HKEY rootKey, const std::wstring& keyPath, const std::wstring& valueName, const StoredValue& value) {
  if (Refused(valueName)) return base::Status::Fail(ERROR_ACCESS_DENIED);
  const std::string name = base::ToAnsi(valueName);
  base::UniqueKey key;
  if (const base::Status opened = OpenForSet(rootKey, keyPath, key); !opened) return opened;
  const LSTATUS rc = value.exists ? RegSetValueExA(key.get(), name.c_str(), 0, value.type, value.data.data(),
                                                   static_cast<DWORD>(value.data.size()))
                                  : RegDeleteValueA(key.get(), name.c_str());
  return rc == ERROR_SUCCESS || (!value.exists && rc == ERROR_FILE_NOT_FOUND) ? base::Status::Ok()
                                                                             : base::Status::Fail(static_cast<unsigned long>(rc));
}

RefusedWrites::RefusedWrites(const wchar_t* value_name) { refused_value = value_name; }
RefusedWrites::RefusedWrites(int allowed) { writes_allowed = allowed; }
RefusedWrites::~RefusedWrites() {
  refused_value = nullptr;
  writes_allowed = -1;
}

}  // namespace mRegistery

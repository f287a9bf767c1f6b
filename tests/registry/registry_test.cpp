// GetRegValue and SetRegValue against the real registry, in a scratch key under HKEY_CURRENT_USER that
// is deleted before and after each group. Strings compare with their zero bytes; gtest shows them escaped.
#include "registry/mRegistery.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "support/scratch.h"

namespace {

using testing_support::ScratchKey;

std::string Read(const ScratchKey& key, const std::string& name, DWORD* type_out = nullptr) {
  DWORD type = REG_SZ;
  const std::wstring value = mRegistery::GetRegValue(HKEY_CURRENT_USER, key.path(), base::FromAnsi(name), type);
  if (type_out) *type_out = type;
  return base::ToAnsi(value);
}

std::string Stored(const ScratchKey& key, const std::wstring& name, DWORD* type = nullptr) {
  std::string data;
  DWORD stored_type = 0;
  EXPECT_TRUE(key.GetRaw(name, data, stored_type)) << "value missing";
  if (type) *type = stored_type;
  return data;
}

// Stores bytes as another program would, through the single-byte form, with whatever size it likes.
void StoreBytes(const ScratchKey& key, const char* name, DWORD type, const std::string& bytes) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, base::ToAnsi(key.path()).c_str(), 0, KEY_SET_VALUE, &handle), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(handle, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(handle);
}

TEST(SetRegValue, WritesTheTextCutTo254ThenZerosUpTo255) {
  const ScratchKey key(L"set-value");
  const struct {
    const wchar_t* name;
    std::wstring text;
    std::string kept;  // the bytes before the padding
  } cases[] = {
      {L"abc", L"abc", "abc"},
      {L"empty", L"", ""},
      {L"254", std::wstring(254, L'f'), std::string(254, 'f')},
      {L"300 is cut to 254", std::wstring(300, L'g'), std::string(254, 'g')},
      {L"ANSI text", L"\u00e9t\u00e9", base::ToAnsi(L"\u00e9t\u00e9")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(base::ToAnsi(c.name));
    const base::Status status = mRegistery::SetRegValue(HKEY_CURRENT_USER, key.path(), c.name, c.text, REG_SZ);
    ASSERT_TRUE(status.ok()) << "error " << status.error;
    DWORD type = 0;
    EXPECT_EQ(Stored(key, c.name, &type), c.kept + std::string(255 - c.kept.size(), '\0'));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Read(key, base::ToAnsi(c.name)), c.kept);
  }
}

TEST(SetRegValue, CreatesAMissingValueButNeverAKey) {
  const ScratchKey key(L"create");
  EXPECT_EQ(Read(key, "InstallKey"), "");
  ASSERT_TRUE(mRegistery::SetRegValue(HKEY_CURRENT_USER, key.path(), L"InstallKey", L"abc", REG_SZ).ok());
  EXPECT_EQ(Read(key, "InstallKey"), "abc");

  const ScratchKey missing(L"missing-key", /*create=*/false);
  EXPECT_EQ(Read(missing, "InstallKey"), "");
  EXPECT_EQ(mRegistery::SetRegValue(HKEY_CURRENT_USER, missing.path(), L"InstallKey", L"abc", REG_SZ).error,
            static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(missing.Exists()) << "a write created the key";
}

TEST(GetRegValue, ReadsUpToTheFirstZeroWhateverWroteIt) {
  const ScratchKey key(L"get-value");
  const std::string full(255, 'x');
  const struct {
    const char* name;
    DWORD type;
    std::string bytes, expected;
  } cases[] = {
      {"own terminator", REG_SZ, std::string("abc\0", 4), "abc"},
      {"no terminator", REG_SZ, "abc", "abc"},
      {"zero in the middle", REG_SZ, std::string("ab\0cd\0", 6), "ab"},
      {"binary zero in the middle", REG_BINARY, std::string("ab\0cd", 5), "ab"},
      {"DWORD 1", REG_DWORD, std::string("\x01\0\0\0", 4), "\x01"},
      {"255 bytes without a zero", REG_BINARY, full, full},
      {"255 characters without a zero", REG_SZ, full, full},
      {"longer than 255 bytes", REG_SZ, std::string(300, 'y') + '\0', std::string(255, 'y')},
      {"much longer binary", REG_BINARY, std::string(5000, 'z'), std::string(255, 'z')},
      {"empty", REG_SZ, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StoreBytes(key, c.name, c.type, c.bytes);
    DWORD type = REG_SZ;
    EXPECT_EQ(Read(key, c.name, &type), c.expected);
    EXPECT_EQ(type, c.type) << "the stored type is handed back";
  }
}

}  // namespace

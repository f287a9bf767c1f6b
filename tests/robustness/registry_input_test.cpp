// Registry values the game or another program may have left: other types, no terminator, longer than
// the 255-byte buffer, a missing key, a key the user may not open. The labels show what was read,
// saving keeps the store whole or refuses with a message, and nothing is ever created in the registry.
#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "robustness/robustness.h"
#include "ui/frm_main.h"
#include "ui/frm_mng_ids.h"

namespace {

using namespace robustness;
using namespace std::string_literals;

const std::string kOne = kSettings + Section(1, "a");

// Stores a value as another program would, through the single-byte form, with the type and bytes it likes.
void StoreRaw(const std::wstring& key_path, const char* name, DWORD type, const std::string& bytes) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, base::ToAnsi(key_path).c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

struct OddValue {
  const char* name;
  DWORD type;
  std::string bytes;       // the InstallKey value's data
  std::wstring shown;      // the label
  bool saved;              // the save goes through (otherwise it is refused with a message)
  std::wstring listed;     // the list item of the saved ID, after a fresh start
};

void PrintTo(const OddValue& v, std::ostream* out) { *out << v.name; }

const std::string k300(300, 'y');

class OddValueTest : public RobustTest, public testing::WithParamInterface<OddValue> {};

TEST_P(OddValueTest, ShowsWhatWasReadAndSavesItOrRefuses) {
  const OddValue& v = GetParam();
  SetStore(kOne);
  InstallInRegistry("unused", "man-now", "sig-now");
  StoreRaw(key_.path(), "InstallKey", v.type, v.bytes);
  Start();
  program().MainWindow().btn_mng_ids_Click();
  EXPECT_EQ(program().MainWindow().Text(ui::frm_main::lbl_currentid), v.shown);

  const testing_support::Asked box = Save();
  if (v.saved) {
    EXPECT_EQ(box.title, L"Done!");
    TakeMessages();
    Restart();
    ASSERT_EQ(Items().size(), 2u);
    EXPECT_EQ(Items()[1], v.listed);
    EXPECT_EQ(Items()[0], L"a");
  } else {
    EXPECT_TRUE(IsStop(box, L"Quorvel - Save Error")) << Utf8(box.text);
    EXPECT_EQ(Store(), kOne);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Values, OddValueTest,
    testing::Values(
        OddValue{"Dword1", REG_DWORD, "\x01\0\0\0"s, L"\x01", true, L"\x01"},
        OddValue{"DwordThatReadsAsCrLf", REG_DWORD, "\r\n\0\0"s, L"\r\n", false, L""},
        OddValue{"DwordThatReadsAsABracket", REG_DWORD, "[\0\0\0"s, L"[", false, L""},
        OddValue{"BinaryWithoutZero", REG_BINARY, "abc", L"abc", true, L"abc"},
        OddValue{"StringWithoutTerminator", REG_SZ, "abc", L"abc", true, L"abc"},
        OddValue{"MultiString", REG_MULTI_SZ, "one\0two\0\0"s, L"one", true, L"one"},
        OddValue{"ExpandStringNotExpanded", REG_EXPAND_SZ, "%TEMP%\\x\0"s, L"%TEMP%\\x", true, L"%TEMP%\\x"},
        OddValue{"EqualsAndSemicolon", REG_SZ, "a=b;c\0"s, L"a=b;c", true, L"a=b;c"},
        OddValue{"ExactlyTheStoresLimit", REG_SZ, std::string(254, 'w') + '\0', std::wstring(254, L'w'), true,
                 std::wstring(254, L'w')},
        // Values the store would give back changed are refused: the saved ID would install differently.
        OddValue{"Quoted", REG_SZ, "\"key\"\0"s, L"\"key\"", false, L""},
        OddValue{"BlankAtTheEnd", REG_SZ, "key \0"s, L"key ", false, L""},
        OddValue{"ThreeHundredBytes", REG_SZ, k300 + '\0', std::wstring(255, L'y'), false, L""},
        OddValue{"HundredKilobytes", REG_BINARY, std::string(100000, 'z'), std::wstring(255, L'z'), false, L""}),
    [](const testing::TestParamInfo<OddValue>& param) { return std::string(param.param.name); });

// The game's key missing: the labels are empty, saving stores an empty ID as after a clear, installing
// and clearing say which value could not be written, and the key is never created.
TEST_F(RobustTest, AMissingGameKeyIsReportedAndNeverCreated) {
  key_.Delete();
  SetStore(kOne);
  Start();
  program().MainWindow().btn_mng_ids_Click();
  EXPECT_EQ(program().MainWindow().Text(ui::frm_main::lbl_currentid), L"");

  EXPECT_EQ(Save().title, L"Done!");
  EXPECT_EQ(InstallValues(Store()), (std::multiset<std::string>{"a", ""}));
  TakeMessages();

  prompts_.Answer(Answer::Yes);
  prompts_.Answer(Answer::Ok);
  program().ClearInstalledId();
  ASSERT_EQ(prompts_.asked.size(), 2u);
  EXPECT_TRUE(IsStop(prompts_.asked[1], L"Quorvel - Registry Error")) << Utf8(prompts_.asked[1].text);
  TakeMessages();

  program().MngIdsWindow().Select(0);
  prompts_.Answer(Answer::Yes);
  prompts_.Answer(Answer::Ok);
  program().MngIdsWindow().btn_changeit_Click();
  ASSERT_EQ(prompts_.asked.size(), 2u);
  EXPECT_TRUE(IsStop(prompts_.asked[1], L"Quorvel - Registry Error")) << Utf8(prompts_.asked[1].text);
  EXPECT_FALSE(key_.Exists());
}

// A key whose access control list denies the user reading and writing values (Wine checks it as
// Windows does): the labels are empty, and installing says which values could not be written.
TEST_F(RobustTest, AKeyWithoutAccessReadsAsEmptyAndRefusesWrites) {
  InstallInRegistry("inst", "man", "sig");
  const auto set_access = [&](const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, key_.path().c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
    RegCloseKey(key);
    LocalFree(descriptor);
  };
  // Query and set value (0x3) denied to everyone; changing the list itself stays allowed, so the
  // test can give the access back and delete its key.
  set_access(L"D:P(D;;0x3;;;WD)(A;;KA;;;WD)");
  HKEY probe = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, base::ToAnsi(key_.path()).c_str(), 0, KEY_SET_VALUE, &probe),
            ERROR_ACCESS_DENIED);

  SetStore(kOne);
  Start();
  program().MainWindow().btn_mng_ids_Click();
  EXPECT_EQ(program().MainWindow().Text(ui::frm_main::lbl_currentid), L"");
  program().MngIdsWindow().Select(0);
  prompts_.Answer(Answer::Yes);
  prompts_.Answer(Answer::Ok);
  program().MngIdsWindow().btn_changeit_Click();
  ASSERT_EQ(prompts_.asked.size(), 2u);
  EXPECT_TRUE(IsStop(prompts_.asked[1], L"Quorvel - Registry Error")) << Utf8(prompts_.asked[1].text);
  EXPECT_NE(prompts_.asked[1].text.find(L"InstallKey, MPAccountName, MPAccountNameSig"), std::wstring::npos);
  EXPECT_EQ(Store(), kOne);

  set_access(L"D:(A;;KA;;;WD)");
  EXPECT_EQ(RegistryValue(L"InstallKey"), std::string("inst") + '\0');
}

}  // namespace

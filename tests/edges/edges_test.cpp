// The one door to Windows that no program table reaches: where the lazily loaded DLLs come from. The
// store's reads, file tests and atomic replacement and the registry values are proven through the
// program (tests/program, tests/crash), starting the game end to end (tests/e2e).
#include <optional>

#include "base/lazy_proc.h"
#include "core/command_line.h"
#include "support/support.h"

#include <shellapi.h>

namespace {

// The file dialog's and the printer's DLLs are looked up by name when first needed, from the system
// folder only: planted.dll, beside this test program, must not load under any name lookup of ours,
// neither with the search flags nor, as on a Windows 7 without them, by the system folder's full path.
TEST(LazyProc, LoadsOnlyFromTheSystemFolder) {
  ASSERT_NE(GetFileAttributesW((support::ExeFolder() + L"\\planted.dll").c_str()), INVALID_FILE_ATTRIBUTES);
  for (const bool search_flags : {false, true}) {
    SCOPED_TRACE(search_flags ? "with the search flags" : "without them");
    std::optional<base::WithoutNewerProcs> windows7;
    if (!search_flags) windows7.emplace();
    EXPECT_EQ(base::LazyProc<int (*)()>(L"planted.dll", "Planted"), nullptr);
    EXPECT_EQ(GetModuleHandleW(L"planted.dll"), nullptr);
    EXPECT_NE(base::LazyProc<void (*)()>(L"comdlg32.dll", "GetOpenFileNameW"), nullptr);
  }
}

// A shortcut's command line is split as the shell's own CommandLineToArgvW splits it (after the
// program's name, which it treats apart), so the key the shortcut was made with is the key played.
TEST(CommandLine, SplitsAsTheShellDoes) {
  for (const wchar_t* line : {L"/play \"9F8E-7D6C\"", L"a  b\tc", L"\"a b\"c d", L"a\\b \\\\\"c\"", L"\"a\\\"b\"", L"\"\" x",
                              L"\"open", L"a\\", L"/play \"\\\\\\\"\\\"\\\\\"", L"\"a\"\"b\"",
                              L"/play \"a\"\"b c\" 0123456789abcdef", L"\"a\"\"\"b\"", L"a\"\"\"b", L"\"\"\"\"", L"\"\"\"a\"\"\" b",
                              L"\"a\\\\\"\" b\" c", L"a\\\"\"\" \"b"}) {
    int count = 0;
    wchar_t** shell = CommandLineToArgvW((L"x.exe " + std::wstring(line)).c_str(), &count);
    ASSERT_NE(shell, nullptr);
    EXPECT_EQ(core::SplitArguments(line), std::vector<std::wstring>(shell + 1, shell + count)) << testing::PrintToString(std::wstring(line));
    LocalFree(shell);
  }
}

}  // namespace

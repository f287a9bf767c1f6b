// The one door to Windows that no program table reaches: where the lazily loaded DLLs come from. The
// store's reads, file tests and atomic replacement and the registry values are proven through the
// program (tests/program, tests/crash), starting the game end to end (tests/e2e).
#include <optional>

#include "base/lazy_proc.h"
#include "support/support.h"

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

}  // namespace

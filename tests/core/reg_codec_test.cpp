#include "core/reg_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace core {
namespace {

TEST(RegCodec, EncodesTheTextThenZerosUpTo255) {
  struct Case {
    const char* what;
    std::string text;
    std::size_t kept;
  };
  const std::vector<Case> cases = {
      {"short", "abc", 3},
      {"empty", "", 0},
      {"254 fits whole", std::string(254, 'x'), 254},
      {"255 is cut to 254", std::string(255, 'x'), 254},
      {"300 is cut to 254", std::string(300, 'x'), 254},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::array<char, kRegDataSize> data = EncodeRegValue(c.text);
    EXPECT_EQ(std::string(data.data(), c.kept), c.text.substr(0, c.kept));
    for (std::size_t i = c.kept; i < data.size(); ++i) ASSERT_EQ(data[i], '\0') << "byte " << i;
  }
}

TEST(RegCodec, DecodesUpToTheFirstZeroWithinTheBuffer) {
  struct Case {
    const char* what;
    std::string data;
    std::size_t size;
    std::string expected;
  };
  const std::string full(255, 'f');
  const std::vector<Case> cases = {
      {"padded", std::string("abc") + std::string(252, '\0'), 255, "abc"},
      {"own terminator", std::string("abc\0", 4), 4, "abc"},
      {"zero in the middle", std::string("ab\0cd\0", 6), 6, "ab"},
      {"all zero", std::string(255, '\0'), 255, ""},
      {"no data", "", 0, ""},
      {"DWORD 1", std::string("\x01\0\0\0", 4), 4, "\x01"},
      {"no zero in the size given", "abcdef", 3, "abc"},
      {"255 bytes without a zero", full, 255, full},
      {"never past 255 bytes", full + "overflow", 263, full},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(DecodeRegValue(c.data.data(), c.size), c.expected);
  }
  EXPECT_EQ(DecodeRegValue(nullptr, 10), "");
}

}  // namespace
}  // namespace core

#include "core/reg_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace core {
namespace {

TEST(RegCodec, EncodesTheTextCutTo254ThenZerosUpTo255) {
  for (const std::size_t length : {0u, 3u, 254u, 255u, 300u}) {
    const std::string text(length, 'x');
    const std::array<char, kRegDataSize> data = EncodeRegValue(text);
    const std::size_t kept = std::min<std::size_t>(length, 254);
    EXPECT_EQ(std::string(data.data(), data.size()), text.substr(0, kept) + std::string(255 - kept, '\0'))
        << "length " << length;
  }
}

TEST(RegCodec, DecodesUpToTheFirstZeroWithinTheSizeAndTheBuffer) {
  const std::string full(255, 'f');
  const struct {
    std::string data;
    std::size_t size;
    std::string expected;
  } cases[] = {
      {std::string("abc") + std::string(252, '\0'), 255, "abc"},
      {std::string("ab\0cd\0", 6), 6, "ab"},
      {std::string(255, '\0'), 255, ""},
      {"", 0, ""},
      {std::string("\x01\0\0\0", 4), 4, "\x01"},  // a REG_DWORD of 1
      {"abcdef", 3, "abc"},                      // no zero within the size given
      {full, 255, full},                         // 255 bytes without a zero
      {full + "overflow", 263, full},            // never past 255 bytes
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeRegValue(c.data.data(), c.size), c.expected) << testing::PrintToString(c.data.substr(0, 9));
  EXPECT_EQ(DecodeRegValue(nullptr, 10), "");
}

}  // namespace
}  // namespace core

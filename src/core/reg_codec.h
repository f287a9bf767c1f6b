#pragma once
// The fixed 255-byte form in which registry values are written and read.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace core {

inline constexpr std::size_t kRegDataSize = 255;

// The text (cut to 254 bytes so that a zero byte always follows it), then zero bytes up to 255.
std::array<char, kRegDataSize> EncodeRegValue(std::string_view text);

// The bytes before the first zero byte, never more than size and never more than 255.
std::string DecodeRegValue(const char* data, std::size_t size);

}  // namespace core

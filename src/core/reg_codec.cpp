#include "core/reg_codec.h"

#include <algorithm>

namespace core {

std::array<char, kRegDataSize> EncodeRegValue(std::string_view text) {
  std::array<char, kRegDataSize> data{};  // zero bytes after the text
  const std::size_t length = std::min(text.size(), kRegDataSize - 1);
  std::copy_n(text.begin(), length, data.begin());
  return data;
}

std::string DecodeRegValue(const char* data, std::size_t size) {
  if (data == nullptr) return {};
  const char* end = data + std::min(size, kRegDataSize);
  return std::string(data, std::find(data, end, '\0'));
}

}  // namespace core

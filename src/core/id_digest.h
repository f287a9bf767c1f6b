#pragma once
// A short fingerprint of a saved ID's three values, which a desktop shortcut carries instead of the
// account name and its signature: the shortcut finds exactly the ID it was made for without holding
// those values in a file on the desktop. It is FNV-1a (64 bits) of the three values' bytes as the store
// holds them (the ANSI code page), joined by a line feed, which no store value can hold; written as
// 16 lower-case hex digits. It never changes between versions: shortcuts made by one are read by all.
#include <cstdint>
#include <string>
#include <string_view>

namespace core {

inline constexpr std::size_t kIdDigestLength = 16;

// FNV-1a (64 bits) of bytes, continued from `hash` (the offset basis when not given).
std::uint64_t Fnv1a64(std::string_view bytes, std::uint64_t hash = 0xcbf29ce484222325ull);

std::wstring IdDigest(std::string_view install_key, std::string_view account_name, std::string_view account_sig);

// Whether text is a digest as IdDigest writes it, hex digits in either letter case.
bool IsIdDigest(std::wstring_view text);

}  // namespace core

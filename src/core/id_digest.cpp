#include "core/id_digest.h"

#include <cstdint>

namespace core {

std::uint64_t Fnv1a64(std::string_view bytes, std::uint64_t hash) {
  for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;  // the 64-bit prime
  return hash;
}

std::wstring IdDigest(std::string_view install_key, std::string_view account_name, std::string_view account_sig) {
  std::uint64_t hash = Fnv1a64(install_key);
  hash = Fnv1a64("\n", hash);
  hash = Fnv1a64(account_name, hash);
  hash = Fnv1a64("\n", hash);
  hash = Fnv1a64(account_sig, hash);
  std::wstring hex(kIdDigestLength, L'0');
  for (std::size_t i = kIdDigestLength; i-- > 0; hash >>= 4) hex[i] = L"0123456789abcdef"[hash & 0xf];
  return hex;
}

bool IsIdDigest(std::wstring_view text) {
  if (text.size() != kIdDigestLength) return false;
  for (const wchar_t c : text)
    if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'))) return false;
  return true;
}

}  // namespace core

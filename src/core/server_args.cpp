#include "core/server_args.h"

namespace core {
namespace {

// Every occurrence of `from`, scanning from the left without overlap, replaced by `to`.
std::wstring ReplaceAll(std::wstring_view text, std::wstring_view from, std::wstring_view to) {
  std::wstring out;
  std::size_t pos = 0;
  for (std::size_t hit = text.find(from); hit != std::wstring_view::npos; hit = text.find(from, pos)) {
    out.append(text.substr(pos, hit - pos)).append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

}  // namespace

std::wstring BuildServerArgs(std::wstring_view servers) {
  const std::wstring without_port = ReplaceAll(servers, L":2302", L"");
  return L" -s" + ReplaceAll(without_port, L"|", L":2302 -s") + L":2302";
}

}  // namespace core

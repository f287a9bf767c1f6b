#include "core/server_args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace core {
namespace {

TEST(ServerArgs, BuildsOneArgumentPerServer) {
  struct Case {
    std::wstring servers;
    std::wstring args;
  };
  const std::vector<Case> cases = {
      {L"1.2.3.4|5.6.7.8", L" -s1.2.3.4:2302 -s5.6.7.8:2302"},
      {L"1.2.3.4:2302|5.6.7.8", L" -s1.2.3.4:2302 -s5.6.7.8:2302"},
      {L"1.2.3.4", L" -s1.2.3.4:2302"},
      {L"", L" -s:2302"},
      {L"1.2.3.4|", L" -s1.2.3.4:2302 -s:2302"},
      {L"1.2.3.4:2303", L" -s1.2.3.4:2303:2302"},
      {L"1.2.3.4:23021", L" -s1.2.3.41:2302"},
      {L"1.2.3.4 | 5.6.7.8", L" -s1.2.3.4 :2302 -s 5.6.7.8:2302"},
  };
  for (const Case& c : cases) EXPECT_EQ(BuildServerArgs(c.servers), c.args) << "servers: \"" << std::string(c.servers.begin(), c.servers.end()) << "\"";
}

}  // namespace
}  // namespace core

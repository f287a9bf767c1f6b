#include "core/server_args.h"

#include <gtest/gtest.h>

#include "server_examples.h"

namespace {

TEST(ServerArgs, BuildsOneArgumentPerServer) {
  for (const testref::ServerExample& e : testref::kServerExamples)
    EXPECT_EQ(core::BuildServerArgs(e.typed), e.args) << testing::PrintToString(std::wstring(e.typed));
}

}  // namespace

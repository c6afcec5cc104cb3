// A long statement says now and then that it is still running (the front end draws then).
#include "platform/core/Busy.h"

#include "DbFixture.h"

namespace {

int calls = 0;

TEST_F(DbTest, LongStatementReportsItselfBusyWhileItRuns) {
  Sql("CREATE TABLE N (x INTEGER)");
  for (int i = 0; i < 10; ++i) Sql("INSERT INTO N VALUES (" + std::to_string(i) + ")");
  auto previous = tv::core::SetBusyHook([] { ++calls; });
  calls = 0;
  EXPECT_EQ(Scalar("SELECT count(*) FROM N a, N b, N c, N d, N e, N f"), 1000000);
  int longCalls = calls;
  calls = 0;
  EXPECT_EQ(Scalar("SELECT count(*) FROM N"), 10);
  int shortCalls = calls;
  tv::core::SetBusyHook(previous);
  EXPECT_GT(longCalls, 10);
  EXPECT_EQ(shortCalls, 0);
}

}  // namespace

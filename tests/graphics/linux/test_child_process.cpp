// Programs started for the user: without a shell, arguments as they are,
// detached children collected without waiting.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "graphics/linux/child_process.h"

TEST(ChildProcess, ArgumentsReachTheProgramAsTheyAreWithoutAShell) {
  std::string out;
  int status = -1;
  ASSERT_TRUE(RunAndCapture("printf", {"%s|%s", "a b; echo no", "$HOME"}, &out, &status));
  EXPECT_EQ(out, "a b; echo no|$HOME");
  EXPECT_EQ(status, 0);
  ASSERT_TRUE(RunAndCapture("false", {}, &out, &status));
  EXPECT_EQ(status, 1);
  EXPECT_FALSE(RunAndCapture("morvante-no-such-program", {}, &out, &status));
}

TEST(ChildProcess, DetachedChildrenAreReapedWithoutBlocking) {
  ReapFinishedChildren();
  const int before = UnreapedChildren();
  ASSERT_TRUE(StartDetached("sleep", {"0.2"}));
  EXPECT_EQ(UnreapedChildren(), before + 1);
  // Still running: collecting does not wait for it.
  ReapFinishedChildren();
  EXPECT_EQ(UnreapedChildren(), before + 1);
  for (int i = 0; i < 300 && UnreapedChildren() > before; ++i) {
    usleep(10000);
    ReapFinishedChildren();
  }
  EXPECT_EQ(UnreapedChildren(), before);
  EXPECT_FALSE(StartDetached("morvante-no-such-program", {"x"}));
  EXPECT_EQ(UnreapedChildren(), before);
}

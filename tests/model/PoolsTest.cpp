#include "platform/Ansi.h"
#include <gtest/gtest.h>
TEST(Ansi, Placeholder) { EXPECT_EQ(qel::AnsiLowerCase("A"), "a"); }

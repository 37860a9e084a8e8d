#include <gtest/gtest.h>

#include "runtime/Runtime.h"

TEST(Runtime, Placeholder) { EXPECT_EQ(objc_getClass("NoSuchClass"), nullptr); }

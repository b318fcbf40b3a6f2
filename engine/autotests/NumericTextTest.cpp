#include <gtest/gtest.h>
#include "NumericText.h"
TEST(Placeholder, builds) { EXPECT_EQ(morvanta::numberText(0), "0"); }

// The status bar's text.
#include <gtest/gtest.h>

#include "wizard/StatusHint.h"

namespace tellvane {
namespace {

TEST(StatusHint, ControlHintElseStepTitle) {
    EXPECT_EQ(StatusBarText("Show next step", "Encrypting files - Step 1 of 2"), "Show next step");
    EXPECT_EQ(StatusBarText("Short|Long text|more", "title"), "Long text|more");
    EXPECT_EQ(StatusBarText("", "Encrypting files - Step 1 of 2"), "Encrypting files - Step 1 of 2");
    EXPECT_EQ(StatusBarText("", "a|b"), "b");
    EXPECT_EQ(StatusBarText("", ""), "");
    EXPECT_EQ(StatusBarText("Short|", "title"), "");  // a hint whose long part is empty
}

}  // namespace
}  // namespace tellvane

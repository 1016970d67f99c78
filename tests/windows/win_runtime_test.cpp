#include "platform/windows/win_runtime.h"

#include <gtest/gtest.h>

namespace modRegistryUpdate::windows {
namespace {

TEST(WinRuntime, ArgumentTextFollowsTheProgramsNameAndLosesOnePairOfQuotes) {
    EXPECT_EQ(argumentTextOf(L"prog.exe"), L"");
    EXPECT_EQ(argumentTextOf(L"\"C:\\My Programs\\prog.exe\"  C:\\a b\\m.xml"), L"C:\\a b\\m.xml");
    EXPECT_EQ(argumentTextOf(L"prog.exe\t \"C:\\a b\\m.xml\"  "), L"C:\\a b\\m.xml");
    EXPECT_EQ(argumentTextOf(L"prog.exe \"a\" \"b\""), L"a\" \"b");
    EXPECT_EQ(argumentTextOf(L"prog.exe \"half"), L"\"half");
    EXPECT_EQ(argumentTextOf(L"prog.exe m.xml  "), L"m.xml  ");
}

TEST(WinRuntime, UpperCasingFollowsUnicode) {
    WinRuntime runtime;
    EXPECT_EQ(runtime.upperCase("stra\xC3\x9F"
                                "e \xC3\xA9t\xC3\xA9 \\d"),
              "STRA\xC3\x9F"
              "E \xC3\x89T\xC3\x89 \\D");
}

} // namespace
} // namespace modRegistryUpdate::windows

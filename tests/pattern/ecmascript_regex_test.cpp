#include "pattern/ecmascript_regex.h"

#include <gtest/gtest.h>

#include "run/failure.h"

namespace modRegistryUpdate {
namespace {

TEST(EcmaScriptRegex, NoPatternHangsOrExhaustsTheStack) {
    // Exponential for a backtracking engine: refused once it takes too many steps.
    EXPECT_THROW(ecmaScriptTest("^(A|A)*B$", std::string(64, 'A')), Failure);
    EXPECT_TRUE(ecmaScriptTest(std::string(100, '(') + "A" + std::string(100, ')'), "A"));
    EXPECT_THROW(ecmaScriptTest(std::string(101, '(') + "A" + std::string(101, ')'), "A"), Failure);
    EXPECT_THROW(ecmaScriptTest(std::string(100000, '(') + "A" + std::string(100000, ')'), "A"),
                 Failure);
    std::string lookaheads = "Z";
    for (int i = 0; i < 16; ++i)
        lookaheads = "(?=.*" + lookaheads + ")";
    EXPECT_THROW(ecmaScriptTest(lookaheads, "METER SUITE PROFESSIONAL"), Failure);
    EXPECT_TRUE(ecmaScriptTest("(A)\\1", "AA"));
    EXPECT_THROW(ecmaScriptTest("A{2222222222222222222}", "A"), Failure);
    EXPECT_THROW(ecmaScriptTest("A{1,2222222222222222222}", "A"), Failure);
    EXPECT_TRUE(ecmaScriptTest("^12345678901234567890A{2}$", "12345678901234567890AA"));
    EXPECT_TRUE(ecmaScriptTest("[(]\\(", "(("));
}

} // namespace
} // namespace modRegistryUpdate

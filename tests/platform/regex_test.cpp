#include "platform/portable/ecmascript_regex.h"

#include <gtest/gtest.h>

#include "platform/failure.h"

namespace modRegistryUpdate {
namespace {

TEST(EcmaScriptRegex, NoPatternHangsOrExhaustsTheStack) {
    EcmaScriptRegexEngine regex;
    // Exponential for a backtracking engine.
    EXPECT_FALSE(regex.test("^(A|A)*B$", std::string(64, 'A')));
    EXPECT_TRUE(regex.test(std::string(256, '(') + "A" + std::string(256, ')'), "A"));
    EXPECT_THROW(regex.test(std::string(100000, '(') + "A" + std::string(100000, ')'), "A"),
                 Failure);
    EXPECT_THROW(regex.test("(A)\\1", "AA"), Failure);
    EXPECT_THROW(regex.test("A{2222222222222222222}", "A"), Failure);
    EXPECT_THROW(regex.test("A{1,2222222222222222222}", "A"), Failure);
    EXPECT_THROW(regex.test("(A)\\3333333333333333333", "A"), Failure);
    EXPECT_TRUE(regex.test("^12345678901234567890A{2}$", "12345678901234567890AA"));
    EXPECT_TRUE(regex.test("[(]\\(", "(("));
}

} // namespace
} // namespace modRegistryUpdate

#include "pattern/ecmascript_regex.h"

#include <gtest/gtest.h>

#include "run/failure.h"

namespace modRegistryUpdate {
namespace {

// Patterns the reference engine of the corner cases would not end on.
TEST(EcmaScriptRegex, NoPatternHangsOrExhaustsTheStack) {
    EXPECT_THROW(ecmaScriptTest(std::string(100000, '(') + "A" + std::string(100000, ')'), "A"),
                 Failure);
    std::string lookaheads = "Z";
    for (int i = 0; i < 16; ++i)
        lookaheads = "(?=.*" + lookaheads + ")";
    EXPECT_THROW(ecmaScriptTest(lookaheads, "METER SUITE PROFESSIONAL"), Failure);
}

} // namespace
} // namespace modRegistryUpdate

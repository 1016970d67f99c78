#include "platform/portable/ecmascript_regex.h"

#include <regex>

#include "platform/failure.h"

namespace modRegistryUpdate {
namespace {

// Compiling recurses once for every level of nested groups: deeper nesting than this is refused
// rather than allowed to exhaust the stack.
constexpr int deepestGroupNesting = 256;

int groupNesting(const std::string& pattern) {
    int depth = 0;
    int deepest = 0;
    bool inClass = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\\')
            ++i;
        else if (inClass)
            inClass = c != ']';
        else if (c == '[')
            inClass = true;
        else if (c == '(')
            deepest = std::max(deepest, ++depth);
        else if (c == ')')
            --depth;
    }
    return deepest;
}

} // namespace

bool EcmaScriptRegexEngine::test(const std::string& pattern, const std::string& text) {
    if (groupNesting(pattern) > deepestGroupNesting)
        throw Failure("Invalid regular expression \"" + pattern + "\": groups nested too deeply");
    try {
        // The polynomial (breadth-first) executor of libstdc++: no pattern can make a match
        // backtrack for ever. It refuses back-references, which only backtracking can match.
        const std::regex expression(pattern, std::regex::ECMAScript | std::regex::icase |
                                                 std::regex_constants::__polynomial);
        return std::regex_search(text, expression);
    } catch (const std::regex_error& error) {
        throw Failure("Invalid regular expression \"" + pattern + "\": " + error.what());
    }
}

} // namespace modRegistryUpdate

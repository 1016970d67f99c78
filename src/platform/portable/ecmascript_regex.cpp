#include "platform/portable/ecmascript_regex.h"

#include <regex>

#include "platform/failure.h"

namespace modRegistryUpdate {
namespace {

// Compiling recurses once for every level of nested groups: deeper nesting than this is refused
// rather than allowed to exhaust the stack.
constexpr int deepestGroupNesting = 256;
// A repeat count the engine would overflow while reading it; far beyond what it can build.
constexpr std::size_t longestRepeatCount = 9;

/// What makes the pattern unsafe to compile, or nothing.
std::string unsafeToCompile(const std::string& pattern) {
    int depth = 0;
    bool inClass = false;
    bool inRepeat = false;
    std::size_t digits = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        digits = inRepeat && c >= '0' && c <= '9' ? digits + 1 : 0;
        if (digits > longestRepeatCount)
            return "a repeat count too large";
        if (c == '\\')
            ++i;
        else if (inClass)
            inClass = c != ']';
        else if (inRepeat)
            inRepeat = c != '}';
        else if (c == '[')
            inClass = true;
        else if (c == '{')
            inRepeat = true;
        else if (c == '(' && ++depth > deepestGroupNesting)
            return "groups nested too deeply";
        else if (c == ')')
            --depth;
    }
    return std::string();
}

} // namespace

bool EcmaScriptRegexEngine::test(const std::string& pattern, const std::string& text) {
    if (const std::string problem = unsafeToCompile(pattern); !problem.empty())
        throw Failure("Invalid regular expression \"" + pattern + "\": " + problem);
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

#include "platform/portable/ecmascript_regex.h"

#include <regex>

#include "platform/failure.h"

namespace modRegistryUpdate {
namespace {

// Compiling recurses once for every level of nested groups: deeper nesting than this is refused
// rather than allowed to exhaust the stack.
constexpr int deepestGroupNesting = 256;
// A number the engine would overflow while reading it, as a repeat count or after a backslash;
// far beyond any count or group it can build.
constexpr std::size_t longestNumber = 9;

std::size_t digitsAt(const std::string& pattern, std::size_t pos) {
    std::size_t end = pos;
    while (end < pattern.size() && pattern[end] >= '0' && pattern[end] <= '9')
        ++end;
    return end - pos;
}

/// What makes the pattern unsafe to compile, or nothing.
std::string unsafeToCompile(const std::string& pattern) {
    int depth = 0;
    bool inClass = false;
    bool inRepeat = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if ((c == '{' || c == '\\' || inRepeat) && digitsAt(pattern, i + 1) > longestNumber)
            return "a number too large";
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

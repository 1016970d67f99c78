#include "platform/portable/ecmascript_regex.h"

#include "platform/failure.h"

#include <regex>

namespace modRegistryUpdate {

bool EcmaScriptRegexEngine::test(const std::string& pattern, const std::string& text) {
    try {
        const std::regex expression(pattern, std::regex::ECMAScript | std::regex::icase);
        return std::regex_search(text, expression);
    } catch (const std::regex_error& error) {
        throw Failure("Invalid regular expression \"" + pattern + "\": " + error.what());
    }
}

} // namespace modRegistryUpdate

#pragma once

#include <string>

namespace modRegistryUpdate {

/// Regular expressions of the ECMAScript grammar.
class RegexEngine {
public:
    virtual ~RegexEngine() = default;

    /// Whether the pattern matches anywhere in the text, ignoring letter case; single-line, so
    /// the anchors match only at the ends of the text. An invalid pattern raises a Failure.
    virtual bool test(const std::string& pattern, const std::string& text) = 0;
};

} // namespace modRegistryUpdate

#pragma once

#include "platform/regex.h"

namespace modRegistryUpdate {

/// The standard library's ECMAScript engine, matching in polynomial time. An escape of a letter
/// with no meaning of its own (such as \N or \T) stands for the letter itself. Back-references
/// and groups nested over 256 deep make a pattern invalid.
class EcmaScriptRegexEngine : public RegexEngine {
public:
    bool test(const std::string& pattern, const std::string& text) override;
};

} // namespace modRegistryUpdate

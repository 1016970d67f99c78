#include "pattern/ecmascript_regex.h"

#include <cstddef>

// Header-only, without the rest of Boost; the standard library's locale on every build rather
// than Windows' own, so the builds read a pattern alike; the matcher gives up after the steps
// allowed, whatever the pattern's length. Boost reads that limit from this macro inside its
// matcher, where `last` is the end of the subject: the end StepIterator carries each match's own
// limit, so no state outlives a match.
#define BOOST_REGEX_STANDALONE
#define BOOST_REGEX_USE_CPP_LOCALE
#define BOOST_REGEX_MAX_STATE_COUNT (last.stepsAllowed)
#include <boost/regex.hpp>
#include <utf8cpp/utf8.h>

#include <iterator>

#include "pattern/ecmascript_translation.h"
#include "run/failure.h"

namespace modRegistryUpdate {
namespace {

constexpr std::size_t longestShownPattern = 60;
constexpr std::ptrdiff_t mostSteps = 10000000;
// A step comparing a back-reference may compare this many characters for the price of one.
constexpr std::ptrdiff_t backReferenceStepLength = 32;

/// A fixed number of steps; fewer when a step may compare a back-reference against a long
/// subject, so that the time a match may take stays the same.
std::ptrdiff_t stepsFor(const Translation& translation, std::size_t subjectLength) {
    const auto length = static_cast<std::ptrdiff_t>(subjectLength);
    if (!translation.backReferences || length <= backReferenceStepLength)
        return mostSteps;
    return mostSteps / length * backReferenceStepLength;
}

/// Walks the subject without telling the matcher it could jump: its limit on work is then the
/// fixed step count above, not one that grows with the square of the pattern's length.
struct StepIterator {
    using iterator_category = std::bidirectional_iterator_tag;
    using value_type = wchar_t;
    using difference_type = std::ptrdiff_t;
    using pointer = const wchar_t*;
    using reference = const wchar_t&;

    const wchar_t* at = nullptr;
    /// How many steps a match that ends here may take; only the end iterator's is read.
    std::ptrdiff_t stepsAllowed = 0;

    reference operator*() const { return *at; }
    StepIterator& operator++() {
        ++at;
        return *this;
    }
    StepIterator operator++(int) { return StepIterator{at++, stepsAllowed}; }
    StepIterator& operator--() {
        --at;
        return *this;
    }
    StepIterator operator--(int) { return StepIterator{at--, stepsAllowed}; }
    bool operator==(StepIterator other) const { return at == other.at; }
    bool operator!=(StepIterator other) const { return at != other.at; }
};

/// Valid UTF-8 as wchar_t units.
std::wstring toWide(const std::string& utf8) {
    std::wstring wide;
    if constexpr (sizeof(wchar_t) == 2)
        utf8::utf8to16(utf8.begin(), utf8.end(), std::back_inserter(wide));
    else
        utf8::utf8to32(utf8.begin(), utf8.end(), std::back_inserter(wide));
    return wide;
}

/// The pattern (valid UTF-8) as the log shows it: on one line, and cut after its first
/// characters so that a huge pattern does not make a huge line. Counted in code points, the same
/// on every build.
std::string shown(const std::string& pattern) {
    std::string text;
    std::size_t count = 0;
    for (auto it = pattern.begin(); it != pattern.end(); ++count) {
        if (count == longestShownPattern)
            return text + "...";
        const auto start = it;
        const std::uint32_t code = utf8::next(it, pattern.end());
        if (code < 0x20 || code == 0x7F)
            text += '?';
        else
            text.append(start, it);
    }
    return text;
}

/// Why the matcher gave up. The translated pattern holds only syntax the matcher knows, so only
/// its limits are expected here.
std::string reason(boost::regex_constants::error_type code) {
    switch (code) {
    case boost::regex_constants::error_complexity:
        return "too complex to match";
    case boost::regex_constants::error_stack:
        return "needs more memory than the matcher allows";
    default:
        return "not accepted by the matcher";
    }
}

Failure invalid(const std::string& pattern, const std::string& reason) {
    return Failure("Invalid regular expression \"" + shown(pattern) + "\": " + reason);
}

} // namespace

bool ecmaScriptTest(const std::string& patternBytes, const std::string& textBytes) {
    // A byte sequence that is not UTF-8 becomes U+FFFD, as on Windows.
    const std::string pattern = utf8::replace_invalid(patternBytes);
    if (static_cast<std::size_t>(utf8::unchecked::distance(pattern.begin(), pattern.end())) >
        longestPattern)
        throw invalid(pattern, "longer than " + std::to_string(longestPattern) + " characters");
    try {
        const Translation translation = translateEcmaScript(toWide(pattern));
        const boost::wregex expression(translation.pattern, boost::regex_constants::perl);
        const std::wstring subject = foldCase(toWide(utf8::replace_invalid(textBytes)));
        // With somewhere to put the groups: asked only whether there is a match, the matcher
        // may skip keeping what a lookahead captured and then compare a reference to it wrongly.
        boost::match_results<StepIterator> groups;
        const std::ptrdiff_t steps = stepsFor(translation, subject.size());
        return boost::regex_search(StepIterator{subject.data(), steps},
                                   StepIterator{subject.data() + subject.size(), steps}, groups,
                                   expression);
    } catch (const PatternError& error) {
        throw invalid(pattern, error.what());
    } catch (const boost::regex_error& error) {
        throw invalid(pattern, reason(error.code()));
    }
}

} // namespace modRegistryUpdate

// The pattern is read once, front to back, and written out again in the small part of Boost's
// syntax whose meaning is the same on every build: every character set is spelt out as ranges of
// characters, so neither the locale nor the width of wchar_t changes what \w, \s or a dot match,
// and nothing of Boost's own syntax can be reached from a document.
#include "pattern/ecmascript_translation.h"

#include "pattern/character_sets.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace modRegistryUpdate {
namespace {

/// Groups nested deeper than this make a pattern invalid: the engine's parser recurses per level.
constexpr std::size_t deepestGroupNesting = 100;

constexpr Code largestRepeatCount = 100000;
// The matcher tries a set's ranges one by one within a single step, so a large set is written as
// a choice between small ones: each is a step of its own, and the step limit bounds the time.
constexpr std::size_t largestMatcherSet = 16;

// Word boundaries by lookaround over the ASCII word characters, as ECMAScript defines them.
const wchar_t* const wordBoundary = L"(?:(?<=[0-9A-Z_a-z])(?![0-9A-Z_a-z])|"
                                    L"(?<![0-9A-Z_a-z])(?=[0-9A-Z_a-z]))";
const wchar_t* const notWordBoundary = L"(?:(?<=[0-9A-Z_a-z])(?=[0-9A-Z_a-z])|"
                                       L"(?<![0-9A-Z_a-z])(?![0-9A-Z_a-z]))";

// Characters are written as they are, so the matcher reads no escape of a number (reading many
// of those takes it time growing with the square of the pattern's length); ASCII punctuation and
// the blank get a backslash, which makes them plain characters, except the four that a backslash
// makes assertions of in the matcher's syntax and that are plain characters without one.
void appendCode(std::wstring& out, Code code) {
    const bool asciiPunctuation = code >= 0x20 && code < 0x7F && !(code >= '0' && code <= '9') &&
                                  !(code >= 'A' && code <= 'Z') && !(code >= 'a' && code <= 'z');
    const bool assertionWhenEscaped = code == '<' || code == '>' || code == '\'' || code == '`';
    if (asciiPunctuation && !assertionWhenEscaped)
        out += L'\\';
    out += static_cast<wchar_t>(code);
}

void appendRanges(std::wstring& out, const Ranges& ranges, std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i) {
        appendCode(out, ranges[i].first);
        if (ranges[i].second != ranges[i].first) {
            out += L'-';
            appendCode(out, ranges[i].second);
        }
    }
}

/// The set in the matcher's syntax, negated when that lists fewer ranges (the matcher tries
/// them one by one).
void appendSet(std::wstring& out, const Ranges& ranges) {
    if (ranges.empty()) {
        out += L"(?!)";
        return;
    }
    const Ranges others = complement(ranges);
    if (!others.empty() && others.size() < ranges.size() && others.size() <= largestMatcherSet) {
        out += L"[^";
        appendRanges(out, others, 0, others.size());
        out += L']';
        return;
    }
    out += ranges.size() > largestMatcherSet ? L"(?:" : L"";
    for (std::size_t first = 0; first < ranges.size(); first += largestMatcherSet) {
        out += first == 0 ? L"[" : L"|[";
        appendRanges(out, ranges, first, std::min(ranges.size(), first + largestMatcherSet));
        out += L']';
    }
    out += ranges.size() > largestMatcherSet ? L")" : L"";
}

bool isDigit(Code code) {
    return code >= '0' && code <= '9';
}

int hexValue(Code code) {
    if (isDigit(code))
        return static_cast<int>(code - '0');
    if (code >= 'A' && code <= 'F')
        return static_cast<int>(code - 'A' + 10);
    if (code >= 'a' && code <= 'f')
        return static_cast<int>(code - 'a' + 10);
    return -1;
}

/// How many capturing groups the pattern opens: a back-reference is one only up to this number.
std::size_t countCapturingGroups(const std::wstring& pattern) {
    std::size_t count = 0;
    bool inClass = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t c = pattern[i];
        if (c == L'\\')
            ++i;
        else if (inClass)
            inClass = c != L']';
        else if (c == L'[')
            inClass = true;
        else if (c == L'(' && (i + 1 == pattern.size() || pattern[i + 1] != L'?'))
            ++count;
    }
    return count;
}

class Translator {
public:
    explicit Translator(const std::wstring& pattern)
        : in_(pattern), capturingGroups_(countCapturingGroups(pattern)),
          closedGroups_(capturingGroups_ + 1, false) {}

    Translation run() {
        while (!atEnd())
            term();
        if (!openGroups_.empty())
            throw PatternError("missing closing parenthesis");
        return {out_, backReferences_};
    }

private:
    bool atEnd() const { return pos_ == in_.size(); }
    /// The character `ahead` places on, or 0 past the end (which no caller looks for).
    Code peek(std::size_t ahead = 0) const {
        return pos_ + ahead < in_.size() ? static_cast<Code>(in_[pos_ + ahead]) : 0;
    }
    Code next() { return static_cast<Code>(in_[pos_++]); }

    void atom(Code code) {
        appendCode(out_, caseForm(code));
        quantifiable_ = true;
    }
    void atom(const Ranges& ranges) {
        appendSet(out_, ranges);
        quantifiable_ = true;
    }
    void assertion(const wchar_t* text) {
        out_ += text;
        quantifiable_ = false;
    }

    void term() {
        const Code c = next();
        switch (c) {
        case '^':
            return assertion(L"\\A");
        case '$':
            return assertion(L"\\z");
        case '|':
            return assertion(L"|");
        case '(':
            return openGroup();
        case ')':
            return closeGroup();
        case '[':
            return atom(characterClass());
        case '.':
            return atom(complement(lineTerminators));
        case '*':
        case '+':
        case '?':
            return repeat(std::wstring(1, static_cast<wchar_t>(c)));
        case '{':
            if (const std::wstring counts = repeatCounts(); !counts.empty())
                return repeat(counts);
            return atom(c);
        case '\\':
            return escape();
        default:
            return atom(c);
        }
    }

    void openGroup() {
        if (openGroups_.size() == deepestGroupNesting)
            throw PatternError("groups nested deeper than " + std::to_string(deepestGroupNesting));
        OpenGroup group;
        group.groupsBefore = groupsOpened_;
        if (peek() != '?') {
            out_ += L'(';
            group.number = ++groupsOpened_;
        } else if (peek(1) == ':') {
            out_ += L"(?:";
        } else if (peek(1) == '=' || peek(1) == '!') {
            // A lookahead may be repeated here; the outer group lets the matcher repeat it, and
            // the inner one lets it be empty, which the matcher refuses for a bare lookahead.
            out_ += peek(1) == '=' ? L"(?:(?=(?:" : L"(?:(?!(?:";
            group.lookahead = true;
            group.negative = peek(1) == '!';
        } else {
            throw PatternError("unknown group syntax after \"(?\"");
        }
        if (peek() == '?')
            pos_ += 2;
        openGroups_.push_back(group);
        quantifiable_ = false;
    }

    void closeGroup() {
        if (openGroups_.empty())
            throw PatternError("unmatched closing parenthesis");
        const OpenGroup group = openGroups_.back();
        openGroups_.pop_back();
        out_ += group.lookahead ? L")))" : L")";
        closedGroups_[group.number] = true;
        // A negative lookahead ends only where its content failed, so no group in it has a value
        // after it: references to them match the empty text, as to groups not yet closed.
        if (group.negative)
            std::fill(closedGroups_.begin() + group.groupsBefore + 1, closedGroups_.end(), false);
        quantifiable_ = true;
    }

    void repeat(const std::wstring& quantifier) {
        if (!quantifiable_)
            throw PatternError("nothing to repeat");
        out_ += quantifier;
        if (peek() == '?') {
            out_ += L'?';
            ++pos_;
        }
        quantifiable_ = false;
    }

    /// Reads "n}", "n,}" or "n,m}" after a brace as Boost's repeat; anything else leaves the
    /// brace a character of its own and returns nothing.
    std::wstring repeatCounts() {
        const std::size_t start = pos_;
        Code least = 0;
        Code most = 0;
        bool bounded = true;
        if (!readNumber(least)) {
            pos_ = start;
            return std::wstring();
        }
        if (peek() == ',') {
            ++pos_;
            bounded = readNumber(most);
        } else {
            most = least;
        }
        if (peek() != '}') {
            pos_ = start;
            return std::wstring();
        }
        ++pos_;
        if (least > largestRepeatCount || (bounded && most > largestRepeatCount))
            throw PatternError("repeat count above " + std::to_string(largestRepeatCount));
        if (bounded && most < least)
            throw PatternError("repeat counts out of order");
        return L"{" + std::to_wstring(least) + L"," +
               (bounded ? std::to_wstring(most) : std::wstring()) + L"}";
    }

    /// Reads decimal digits, keeping a number too large to be a count too large to be one.
    bool readNumber(Code& number) {
        if (!isDigit(peek()))
            return false;
        number = 0;
        while (isDigit(peek()))
            number = std::min<Code>(number * 10 + (next() - '0'), largestRepeatCount + 1);
        return true;
    }

    void escape() {
        if (atEnd())
            throw PatternError("backslash at the end");
        const Code e = next();
        if (e == 'b')
            return assertion(wordBoundary);
        if (e == 'B')
            return assertion(notWordBoundary);
        if (const Ranges* ranges = classEscape(e))
            return atom(*ranges);
        if (e >= '1' && e <= '9') {
            --pos_;
            const std::size_t start = pos_;
            Code group = 0;
            readNumber(group);
            if (group <= capturingGroups_) {
                backReference(group);
                return;
            }
            pos_ = start + 1;
        }
        return atom(characterEscape(e));
    }

    /// A group that took no part in the match matches the empty text. So does one that has not
    /// closed where the reference stands (it stands before or inside the group): any value
    /// it could hold there is cleared again when a repeat around both starts its next round.
    void backReference(Code group) {
        quantifiable_ = true;
        if (!closedGroups_[group]) {
            out_ += L"(?:)";
            return;
        }
        out_ += L"(?(" + std::to_wstring(group) + L")\\g{" + std::to_wstring(group) + L"})";
        backReferences_ = true;
    }

    /// The set a class escape stands for, or nothing for another escape.
    static const Ranges* classEscape(Code e) {
        static const Ranges notDigits = complement(digits);
        static const Ranges notWordCharacters = complement(wordCharacters);
        static const Ranges notWhiteSpace = complement(whiteSpace);
        switch (e) {
        case 'd':
            return &digits;
        case 'D':
            return &notDigits;
        case 'w':
            return &wordCharacters;
        case 'W':
            return &notWordCharacters;
        case 's':
            return &whiteSpace;
        case 'S':
            return &notWhiteSpace;
        default:
            return nullptr;
        }
    }

    /// The character an escape other than a class escape stands for; `e` has been read.
    Code characterEscape(Code e) {
        switch (e) {
        case 'f':
            return 0x0C;
        case 'n':
            return 0x0A;
        case 'r':
            return 0x0D;
        case 't':
            return 0x09;
        case 'v':
            return 0x0B;
        case 'c':
            if ((peek() | 0x20) >= 'a' && (peek() | 0x20) <= 'z')
                return next() % 32;
            // A "\c" without a letter is a backslash followed by "c".
            --pos_;
            return '\\';
        case 'x':
            return hexEscape(2, e);
        case 'u':
            return hexEscape(4, e);
        default:
            if (e >= '0' && e <= '7')
                return octalEscape(e);
            return e;
        }
    }

    Code hexEscape(std::size_t length, Code letter) {
        Code value = 0;
        for (std::size_t i = 0; i < length; ++i) {
            if (hexValue(peek(i)) < 0)
                return letter;
            value = value * 16 + static_cast<Code>(hexValue(peek(i)));
        }
        pos_ += length;
        return value;
    }

    /// Up to three octal digits, at most 0377; the first has been read.
    Code octalEscape(Code first) {
        Code value = first - '0';
        for (int i = 0; i < 2 && peek() >= '0' && peek() <= '7'; ++i) {
            if (value * 8 + (peek() - '0') > 0377)
                break;
            value = value * 8 + (next() - '0');
        }
        return value;
    }

    /// A class after its "[": the set it matches, its negation applied.
    Ranges characterClass() {
        const bool negated = peek() == '^';
        if (negated)
            ++pos_;
        Ranges ranges;
        for (;;) {
            if (atEnd())
                throw PatternError("missing closing bracket");
            if (peek() == ']') {
                ++pos_;
                break;
            }
            Ranges low = classAtom();
            if (peek() == '-' && peek(1) != ']' && pos_ + 1 < in_.size()) {
                ++pos_;
                Ranges high = classAtom();
                if (isCharacter(low) && isCharacter(high)) {
                    if (high[0].first < low[0].first)
                        throw PatternError("range out of order in character class");
                    ranges.emplace_back(low[0].first, high[0].first);
                    continue;
                }
                // A range with a class escape at either end is both ends and a dash.
                ranges.emplace_back('-', '-');
                ranges.insert(ranges.end(), high.begin(), high.end());
            }
            ranges.insert(ranges.end(), low.begin(), low.end());
        }
        ranges = withCaseForms(normalized(std::move(ranges)));
        return negated ? complement(ranges) : ranges;
    }

    /// One member of a class: a character, or the set of a class escape.
    Ranges classAtom() {
        const Code c = next();
        if (c != '\\')
            return {{c, c}};
        if (atEnd())
            throw PatternError("backslash at the end");
        const Code e = next();
        if (const Ranges* ranges = classEscape(e))
            return *ranges;
        const Code code = e == 'b' ? 0x08 : characterEscape(e);
        return {{code, code}};
    }

    const std::wstring& in_;
    const std::size_t capturingGroups_;
    std::size_t pos_ = 0;
    std::wstring out_;
    struct OpenGroup {
        bool lookahead = false;
        bool negative = false;
        /// Its number when it captures, or 0.
        std::size_t number = 0;
        /// How many capturing groups opened before it.
        std::size_t groupsBefore = 0;
    };
    std::vector<OpenGroup> openGroups_;
    std::size_t groupsOpened_ = 0;
    std::vector<bool> closedGroups_;
    bool quantifiable_ = false;
    bool backReferences_ = false;
};

} // namespace

Translation translateEcmaScript(const std::wstring& pattern) {
    return Translator(pattern).run();
}

std::wstring foldCase(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(caseForm(static_cast<Code>(c)));
    return text;
}

} // namespace modRegistryUpdate

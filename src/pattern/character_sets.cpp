#include "pattern/character_sets.h"

#include <algorithm>
#include <iterator>

namespace modRegistryUpdate {

const Ranges digits{{'0', '9'}};
const Ranges wordCharacters{{'0', '9'}, {'A', 'Z'}, {'_', '_'}, {'a', 'z'}};
const Ranges whiteSpace{{0x09, 0x0D},     {0x20, 0x20},     {0xA0, 0xA0},     {0x1680, 0x1680},
                        {0x180E, 0x180E}, {0x2000, 0x200A}, {0x2028, 0x2029}, {0x202F, 0x202F},
                        {0x205F, 0x205F}, {0x3000, 0x3000}};
const Ranges lineTerminators{{0x0A, 0x0A}, {0x0D, 0x0D}, {0x2028, 0x2029}};

Ranges normalized(Ranges ranges) {
    std::sort(ranges.begin(), ranges.end());
    Ranges merged;
    for (const auto& range : ranges) {
        if (!merged.empty() && range.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, range.second);
        else
            merged.push_back(range);
    }
    return merged;
}

Ranges complement(const Ranges& ranges) {
    Ranges result;
    Code next = 0;
    for (const auto& range : ranges) {
        if (range.first > next)
            result.emplace_back(next, range.first - 1);
        next = range.second + 1;
    }
    if (next <= lastCode)
        result.emplace_back(next, lastCode);
    return result;
}

bool isCharacter(const Ranges& ranges) {
    return ranges.size() == 1 && ranges[0].first == ranges[0].second;
}

namespace {

/// Each character whose case form is another, in order, with that form; made from Unicode's data
/// by scripts/make-case-tables.py and checked in.
struct CaseForm {
    Code character;
    Code form;
};
constexpr CaseForm caseForms[] = {
#include "pattern/case_table.inc"
};

const CaseForm* firstCaseFormFrom(Code code) {
    return std::lower_bound(
        std::begin(caseForms), std::end(caseForms), code,
        [](const CaseForm& form, Code value) { return form.character < value; });
}

} // namespace

Code caseForm(Code code) {
    const CaseForm* found = firstCaseFormFrom(code);
    return found != std::end(caseForms) && found->character == code ? found->form : code;
}

Ranges withCaseForms(Ranges ranges) {
    const std::size_t count = ranges.size();
    for (std::size_t i = 0; i < count; ++i) {
        for (const CaseForm* form = firstCaseFormFrom(ranges[i].first);
             form != std::end(caseForms) && form->character <= ranges[i].second; ++form)
            ranges.emplace_back(form->form, form->form);
    }
    return normalized(std::move(ranges));
}

} // namespace modRegistryUpdate

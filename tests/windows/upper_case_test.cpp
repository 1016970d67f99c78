// The Windows program upper-cases patterns and product names with CharUpperBuffW, the Linux
// program with its copy of the registry's table (src/text): under Wine they must be one mapping, or
// the builds would read patterns differently.
#include <windows.h>

#include <gtest/gtest.h>

#include <numeric>
#include <utility>
#include <vector>

namespace {

constexpr std::pair<char16_t, char16_t> upperCasePairs[] = {
#include "text/upper_case_table.inc"
};

TEST(UpperCase, CharUpperBuffWMapsEveryUnitAsTheStoresTable) {
    std::vector<wchar_t> expected(0x10000);
    std::iota(expected.begin(), expected.end(), 0);
    for (const auto& [unit, upper] : upperCasePairs)
        expected[unit] = upper;
    std::vector<wchar_t> units(0x10000);
    std::iota(units.begin(), units.end(), 0);
    CharUpperBuffW(units.data(), static_cast<DWORD>(units.size()));
    for (std::size_t unit = 0; unit < units.size(); ++unit)
        ASSERT_EQ(units[unit], expected[unit]) << "unit " << unit;
}

} // namespace

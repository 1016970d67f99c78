// Answers, for each line "PATTERN NAME" of standard input (each "x" and its UTF-8 in
// hexadecimal, so that neither is ever empty), one line:
// "match", "no match" or "invalid DESCRIPTION", from the pattern engine alone. The differential
// test feeds it and compares with a reference engine.

#include <iostream>
#include <string>

#include "pattern/ecmascript_regex.h"
#include "run/failure.h"

namespace {

std::string fromHex(const std::string& hex) {
    std::string text;
    for (std::size_t i = 1; i + 1 < hex.size(); i += 2)
        text += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return text;
}

} // namespace

int main() {
    std::string pattern;
    std::string name;
    while (std::cin >> pattern >> name) {
        try {
            std::cout << (modRegistryUpdate::ecmaScriptTest(fromHex(pattern), fromHex(name))
                              ? "match"
                              : "no match");
        } catch (const modRegistryUpdate::Failure& failure) {
            std::cout << "invalid " << failure.what();
        }
        std::cout << '\n';
    }
}

#include "notes/product_notes.h"

#include "meters/element_paths.h"
#include "notes/near_spelling.h"
#include "pattern/ecmascript_regex.h"
#include "run/failure.h"
#include "run/location_path.h"

#include <algorithm>

namespace modRegistryUpdate {
namespace {

constexpr std::size_t longestWeighedPattern = 64;
const ElementPath documentElement{{{ElementStep::Axis::child, ElementStep::anyName}}};

/// What an escape written in lower case becomes once the pattern is upper-cased; empty for the
/// escapes whose meaning stays (those of no meaning of their own match their letter either way).
std::string upperCasedMeaning(char letter, bool inClass) {
    switch (letter) {
    case 'd':
        return "\\d becomes \\D, any character but a digit (write [0-9])";
    case 'w':
        return "\\w becomes \\W, any character but a letter, a digit or _ (write [A-Z0-9_])";
    case 's':
        return "\\s becomes \\S, any character but white space";
    case 'b':
        return inClass ? "\\b in a class becomes \\B, the letter B"
                       : "\\b becomes \\B, a place where no word starts or ends";
    case 'c':
    case 'f':
    case 'n':
    case 'r':
    case 't':
    case 'u':
    case 'v':
    case 'x': {
        const std::string upper(1, static_cast<char>(letter - 'a' + 'A'));
        return "\\" + std::string(1, letter) + " becomes \\" + upper + ", the letter " + upper;
    }
    default:
        return {};
    }
}

/// The escapes of the pattern that upper-casing changes, each once, in the order written.
std::vector<std::string> changedEscapes(const std::string& pattern) {
    std::vector<std::string> changed;
    bool inClass = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\\' && i + 1 < pattern.size()) {
            const std::string meaning = upperCasedMeaning(pattern[++i], inClass);
            if (!meaning.empty() &&
                std::find(changed.begin(), changed.end(), meaning) == changed.end())
                changed.push_back(meaning);
        } else if (c == '[') {
            inClass = true;
        } else if (c == ']') {
            inClass = false;
        }
    }
    return changed;
}

/// Whether the pattern is plain text between optional anchors, which then say where the text
/// must stand in the name.
bool isPlain(std::string& text, bool& atStart, bool& atEnd) {
    atStart = !text.empty() && text.front() == '^';
    if (atStart)
        text.erase(0, 1);
    atEnd = !text.empty() && text.back() == '$';
    if (atEnd)
        text.pop_back();
    return !text.empty() && text.find_first_of("\\.*+?()[]{}|^$") == std::string::npos;
}

} // namespace

ProductMatches matchProducts(const XmlDocument& document, const std::string& productName,
                             Runtime& runtime) {
    ProductMatches matches;
    matches.products = document.selectElements(elementPaths::productsOfDocument);
    const std::string subject = runtime.upperCase(productName);
    for (const auto& product : matches.products) {
        const std::optional<std::string> name = product->getAttribute("name");
        try {
            if (!name) {
                matches.passEnds = true;
                break;
            }
            if (ecmaScriptTest(runtime.upperCase(*name), subject))
                matches.matching.push_back(product.get());
        } catch (const Failure&) {
            matches.passEnds = true;
            break;
        }
    }
    return matches;
}

void noteNoProductMatches(const XmlDocument& document, const ProductMatches& matches,
                          const std::string& productName, std::vector<Note>& notes) {
    if (!matches.matching.empty() || matches.passEnds || !roomForNote(notes))
        return;
    const XmlElementList root = document.selectElements(documentElement);
    std::string text = matches.products.empty()
                           ? std::string("the document has no Product, so nothing is written")
                           : "no Product name matches the product " + quoted(productName) +
                                 ", so nothing is written";
    for (const auto& product : matches.products) {
        std::string plain = product->getAttribute("name").value_or(std::string());
        bool atStart = false;
        bool atEnd = false;
        // A long pattern is seldom a misspelt name, and weighing it against the name costs most.
        if (!isPlain(plain, atStart, atEnd) || plain.size() > longestWeighedPattern)
            continue;
        const std::size_t edits = editsToPart(plain, productName, atStart, atEnd);
        if (edits <= nearEdits(plain.size()) && edits < plain.size()) {
            text += "; " + locationPath(*product) + " " + quoted(*product->getAttribute("name")) +
                    " is near";
            break;
        }
    }
    notes.push_back({"no-product-matches", locationPath(*root.front()), text});
}

void noteUpperCasedEscapes(const ProductMatches& matches, std::vector<Note>& notes) {
    for (const auto& product : matches.products) {
        const std::optional<std::string> pattern = product->getAttribute("name");
        if (!pattern)
            continue;
        const std::vector<std::string> changed = changedEscapes(*pattern);
        if (changed.empty())
            continue;
        if (!roomForNote(notes))
            return;
        std::string text = "pattern " + quoted(*pattern) + " is upper-cased before matching:";
        for (std::size_t i = 0; i < changed.size(); ++i)
            text += (i == 0 ? " " : "; ") + changed[i];
        notes.push_back({"upper-cased-escape", locationPath(*product), text});
    }
}

} // namespace modRegistryUpdate

#include "store/file_text.h"

namespace modRegistryUpdate::store {
namespace {

/// The entry at `ordinal`, made when the list is shorter.
ReadText& entryAt(std::vector<ReadText>& texts, std::size_t ordinal) {
    if (ordinal >= texts.size())
        texts.resize(ordinal + 1);
    return texts[ordinal];
}

} // namespace

void FileText::addSection(const Key& key) {
    const std::size_t ordinal = key.ordinal();
    if (ordinal >= hasSection_.size())
        hasSection_.resize(ordinal + 1);
    if (hasSection_[ordinal])
        return;
    hasSection_[ordinal] = true;
    sections_.push_back(&key);
}

const ReadText* FileText::keyText(const Key& key) const {
    // A section line is never empty: one read always has its source.
    const std::size_t ordinal = key.ordinal();
    return ordinal < keyTexts_.size() && !keyTexts_[ordinal].source.empty() ? &keyTexts_[ordinal]
                                                                            : nullptr;
}

void FileText::keepKeyText(const Key& key, std::string_view leading, std::string_view source) {
    entryAt(keyTexts_, key.ordinal()) = ReadText{arena_.keep(leading), arena_.keep(source)};
}

const ReadText* FileText::valueText(std::size_t ordinal) const {
    return ordinal < valueTexts_.size() ? &valueTexts_[ordinal] : nullptr;
}

void FileText::keepValueText(std::size_t ordinal, std::string_view leading,
                             std::string_view source) {
    const std::string_view kept = arena_.keep(leading);
    entryAt(valueTexts_, ordinal) = ReadText{kept, arena_.keep(source), kept.size()};
}

void FileText::addLeading(std::size_t ordinal, std::string_view leading) {
    if (leading.empty())
        return;
    ReadText& text = entryAt(valueTexts_, ordinal);
    text.leading = arena_.append(text.leading, text.leadingRoom, leading);
}

PutValue FileText::putValue(KeyTree& tree, Key& key, const Value& value) {
    const PutValue put = tree.putValue(key, value);
    if (put.changed && !put.added && put.ordinal < valueTexts_.size())
        valueTexts_[put.ordinal].source = std::string_view();
    return put;
}

} // namespace modRegistryUpdate::store

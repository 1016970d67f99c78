// A store file's bytes: either a parse error, or a store that reads back the same once written,
// with a value of the input's own text added as the program would add it.

#include <cstdint>
#include <string>

#include "store/file_text.h"
#include "store/key_tree.h"
#include "store/reg_file.h"
#include "store/store_error.h"
#include "text/unicode_text.h"

namespace {

using namespace modRegistryUpdate::store;
namespace text = modRegistryUpdate::text;

/// Adds the value as a run would: keys made and the key written into get sections.
void addValue(KeyTree& tree, FileText& file, const std::string& text) {
    const std::size_t made = tree.keyCount();
    Key& key = tree.create("SOFTWARE\\Fuzz");
    if (key.parent()->ordinal() >= made)
        file.addSection(*key.parent());
    if (key.ordinal() >= made)
        file.addSection(key);
    Value value;
    value.name = "Added";
    value.data = text;
    if (file.putValue(tree, key, value).changed)
        file.addSection(key);
}

std::string wholeFile(const FileText& file) {
    std::string whole;
    writeRegFile(file, [&whole](std::string_view piece) { whole.append(piece); });
    return whole;
}

bool isUtf8(const std::string& text) {
    std::string back;
    const std::string wide = text::utf8ToUtf16le(text);
    return text::utf16leToUtf8(wide.data(), wide.size(), back) && back == text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string added = input.substr(0, 64);
    KeyTree tree;
    FileText file;
    try {
        readRegFile(input, tree, file);
    } catch (const StoreError&) {
        return 0;
    }
    addValue(tree, file, added);
    const std::string written = wholeFile(file);

    KeyTree again;
    FileText fileAgain;
    readRegFile(written, again, fileAgain); // a store this program wrote always reads back
    if (wholeFile(fileAgain) != written)
        __builtin_trap();
    const Key* key = again.find("SOFTWARE\\Fuzz");
    const Value* value = key ? again.findValue(*key, "Added") : nullptr;
    if (!value)
        __builtin_trap();
    // Text with control characters comes back as REG_SZ bytes, terminating NUL included.
    std::string text(value->data);
    if (value->form == DataForm::bytes &&
        (!text::utf16leToUtf8(value->data.data(), value->data.size(), text = std::string()) ||
         text.empty() || text.back() != '\0'))
        __builtin_trap();
    if (value->form == DataForm::bytes)
        text.pop_back();
    if (isUtf8(added) && text != added)
        __builtin_trap();
    return 0;
}

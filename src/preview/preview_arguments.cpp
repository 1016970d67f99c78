#include "preview/preview_arguments.h"

namespace modRegistryUpdate::preview {

const char* const previewUsage =
    "usage: RegistryUpdatePreview DOCUMENT MANUFACTURER PRODUCT VERSION [--registry BEFORE.reg] "
    "[--output AFTER.reg] [--strict]";

std::optional<PreviewArguments> parsePreviewArguments(const std::vector<std::string>& arguments,
                                                      std::string& error) {
    PreviewArguments parsed;
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--strict") {
            parsed.strict = true;
            continue;
        }
        if (argument != "--registry" && argument != "--output") {
            // A document or product text may start with a hyphen: only these options are taken.
            texts.push_back(argument);
            continue;
        }
        std::optional<std::string>& file =
            argument == "--registry" ? parsed.registryBefore : parsed.registryAfter;
        if (++i == arguments.size()) {
            error = argument + " needs a file";
            return std::nullopt;
        }
        if (file) {
            error = argument + " is given twice";
            return std::nullopt;
        }
        file = arguments[i];
    }
    if (texts.size() != 4) {
        error = "expected a document and the product's manufacturer, name and version, got " +
                std::to_string(texts.size()) + " texts";
        return std::nullopt;
    }
    parsed.document = texts[0];
    parsed.product = {texts[1], texts[2], texts[3]};
    return parsed;
}

} // namespace modRegistryUpdate::preview

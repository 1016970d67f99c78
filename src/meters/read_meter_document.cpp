#include "meters/read_meter_document.h"

#include "meters/element_paths.h"
#include "meters/meter_document.h"
#include "meters/parse_nodes.h"
#include "pattern/ecmascript_regex.h"
#include "product/product_identity.h"
#include "run/document_path.h"
#include "run/failure.h"
#include "run/location_path.h"

#include <memory>

namespace modRegistryUpdate {
namespace {

using namespace elementPaths;

/// Whether the product's pattern is found anywhere in the text, letter case ignored. An invalid
/// pattern raises a Failure that says where its product stands, as a missing attribute's does.
bool productNameMatches(const XmlElement& product, const std::string& pattern,
                        const std::string& text) {
    try {
        return ecmaScriptTest(pattern, text);
    } catch (const Failure& failure) {
        throw Failure(failure.what() + std::string(" at ") + locationPath(product));
    }
}

/// Builds every include of every `Product` whose name pattern matches the installed product's
/// name, in document order. Raises what fails; has no handler of its own.
void processProducts(Module& module, MeterDocument& document) {
    Runtime& runtime = module.platform.runtime;
    // Read before any product is looked at, so a missing component shows even without one.
    const std::string subject = runtime.upperCase(readProductName(module));
    for (const auto& product : document.xml->selectElements(productsOfDocument)) {
        const std::string pattern = runtime.upperCase(readAttribute(*product, "name").toText());
        if (!productNameMatches(*product, pattern, subject))
            continue;
        for (const auto& includeKey : product->selectElements(includesOfProduct))
            parseNodes(module, document, *includeKey);
    }
}

} // namespace

void readMeterDocument(Module& module) {
    std::string contextMessage;
    try {
        const std::unique_ptr<XmlLoader> loader = module.platform.xml.createDocument();
        const std::string location = getDocumentPath(module);
        MeterDocument document{loader->load(location), nullptr};
        if (document.xml) {
            processProducts(module, document);
            return;
        }
        // The line names "meters.xml" whatever path was given: readers of the log match it.
        contextMessage = "Error reading xml document: meters.xml";
        module.errorLog.writeLine(" " + contextMessage);
    } catch (...) {
        module.errorLog.writeLine(currentFailureDescription() + " " + contextMessage);
    }
}

} // namespace modRegistryUpdate

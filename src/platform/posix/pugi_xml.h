#pragma once

#include "platform/xml.h"

namespace modRegistryUpdate::posix {

/// Documents parsed by pugixml and queried with its XPath 1.0 engine. Document type
/// declarations are skipped: no entity is expanded and nothing outside the file is read.
class PugiXmlService : public XmlService {
public:
    std::unique_ptr<XmlDocument> createDocument() override;
};

} // namespace modRegistryUpdate::posix

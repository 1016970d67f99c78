#pragma once

#include "platform/xml.h"

namespace modRegistryUpdate::posix {

/// Documents parsed by libxml2 into a compact tree of their elements and attributes, selected with
/// the location paths of element names the program uses. Only well-formed XML loads; the entities
/// a document declares are expanded, within a bound on their growth, and nothing outside the
/// document, neither a file nor a URL, is ever read.
class LibXmlService : public XmlService {
public:
    /// Silences libxml2's messages and shuts its entity loader for the whole process: the
    /// program speaks only through its log.
    LibXmlService();

    std::unique_ptr<XmlDocument> createDocument() override;
};

} // namespace modRegistryUpdate::posix

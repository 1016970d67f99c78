#pragma once

#include "platform/xml.h"

namespace modRegistryUpdate::posix {

/// Documents parsed by libxml2 into a compact tree of their elements and attributes, selected by
/// the element paths the logic asks for. Only well-formed XML loads, and a
/// document with a document type declaration only when it is valid against it; the entities it
/// declares are expanded, within a bound on their growth. Its external subset and external
/// entities are read from local files only, never from a network.
class LibXmlService : public XmlService {
public:
    /// Silences libxml2's messages, the program speaking only through its log, and sets the
    /// entity loader that reads local files only, for the whole process.
    LibXmlService();

    std::unique_ptr<XmlLoader> createDocument() override;
};

} // namespace modRegistryUpdate::posix

#pragma once

#include "platform/xml.h"

namespace modRegistryUpdate::windows {

/// Documents of the MSXML 3.0 class DOMDocument30, loaded synchronously and queried with its
/// default selection language.
class MsxmlService : public XmlService {
public:
    std::unique_ptr<XmlLoader> createDocument() override;
};

} // namespace modRegistryUpdate::windows

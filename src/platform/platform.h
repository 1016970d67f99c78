#pragma once

#include "platform/product_component.h"
#include "platform/registry.h"
#include "platform/runtime.h"
#include "platform/text_log.h"
#include "platform/xml.h"

namespace modRegistryUpdate {

/// The outside services a run uses, each behind its interface.
struct Platform {
    Runtime& runtime;
    TextLogFactory& logs;
    XmlService& xml;
    ProductComponentFactory& products;
    Registry& registry;
};

} // namespace modRegistryUpdate

#pragma once

#include "platform/xml.h"

#include <string>

namespace modRegistryUpdate {

/// Where the element stands in its document, as a location path with positions, one step per
/// element from the document element down: `/Meters/Device[4]/RegistryData/Firmware[2]/Key[3]`.
/// A failing service raises a Failure.
std::string locationPath(const XmlElement& element);

} // namespace modRegistryUpdate

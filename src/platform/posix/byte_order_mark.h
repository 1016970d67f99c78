#pragma once

#include <libxml/xmlstring.h>

namespace modRegistryUpdate::posix {

/// Whether the byte-order mark the open file starts with, if any, names the encoding its XML
/// declaration names (`declared`, null when it names none). libxml2 takes the declaration's word
/// over the mark's, while a document whose mark and declaration contradict each other is not
/// well-formed.
bool markAgreesWithDeclaration(int fd, const xmlChar* declared);

} // namespace modRegistryUpdate::posix

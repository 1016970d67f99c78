#pragma once

#include "notes/note.h"
#include "platform/xml.h"

#include <cstddef>
#include <vector>

namespace modRegistryUpdate {

/// `element-not-read`: an element the run never selects that was probably meant to be read: one
/// with the name of an element the run reads, in a place where it reads none of that name, one
/// whose prefix keeps it from being read, or one whose name is a near spelling of a name read in
/// its place. Elements within one already noted are not noted again. A failing service raises a
/// Failure.
void noteElementsNotRead(const XmlDocument& document, std::size_t& budget,
                         std::vector<Note>& notes);

} // namespace modRegistryUpdate

#pragma once

#include <libxml/parser.h>

namespace modRegistryUpdate::posix {

/// While one lives, records on its thread whether a reference named something that could not be
/// read: libxml2 takes a missing external entity as empty and a missing external subset as none,
/// while the document's load must fail.
class FetchFailures {
public:
    FetchFailures();
    ~FetchFailures();
    FetchFailures(const FetchFailures&) = delete;
    FetchFailures& operator=(const FetchFailures&) = delete;

    bool any() const { return any_; }

private:
    friend xmlParserInputPtr loadLocalEntity(const char*, const char*, xmlParserCtxtPtr);
    bool any_ = false;
    FetchFailures* outer_;
};

/// libxml2's external entity loader: reads the external DTD subset or external parsed entity that
/// `url` names (already resolved against the referring file) when it is a local regular file, and
/// no more of it than it held when opened. Anything else, a URL of another scheme, a host, a
/// directory, a device or a missing file, is refused and recorded in the FetchFailures of
/// the thread: nothing is ever fetched over a network.
xmlParserInputPtr loadLocalEntity(const char* url, const char* id, xmlParserCtxtPtr parser);

} // namespace modRegistryUpdate::posix

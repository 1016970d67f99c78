#include "platform/posix/local_entities.h"

#include "platform/posix/libxml_owners.h"
#include "text/file_io.h"

#include <algorithm>
#include <cstring>
#include <libxml/parserInternals.h>
#include <libxml/uri.h>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>

namespace modRegistryUpdate::posix {
namespace {

thread_local FetchFailures* currentFailures = nullptr;

/// The local path a reference names: a path, or a `file:` URL without a host other than
/// localhost, unescaped. Empty for anything else.
std::string localPathOf(const char* url) {
    if (!url)
        return {};
    const OwnedUri uri(xmlParseURI(url));
    if (!uri || !uri->path)
        return {};
    const bool local =
        !uri->scheme ||
        (std::strcmp(uri->scheme, "file") == 0 &&
         (!uri->server || !*uri->server || std::strcmp(uri->server, "localhost") == 0));
    return local && !uri->query && !uri->fragment ? std::string(uri->path) : std::string();
}

/// An open file read no further than the size it had when opened: a file that grows while it is
/// read, or one that only looks like a file (under /proc), cannot make the read endless.
struct BoundedFile {
    text::OwnedFd fd;
    std::size_t left;
};

int readBounded(void* context, char* buffer, int length) {
    auto& file = *static_cast<BoundedFile*>(context);
    const std::size_t wanted = std::min(static_cast<std::size_t>(length), file.left);
    if (wanted == 0)
        return 0;
    const long count = text::readSome(file.fd.get(), buffer, wanted);
    if (count < 0)
        return -1;
    file.left -= static_cast<std::size_t>(count);
    return static_cast<int>(count);
}

/// libxml2 calls this once, when it frees the input that reads the file.
int closeBounded(void* context) {
    delete static_cast<BoundedFile*>(context);
    return 0;
}

/// The regular file at `path`, bounded to its size; null for anything else.
std::unique_ptr<BoundedFile> openBounded(const std::string& path) {
    std::optional<text::RegularFile> file = text::openRegularFile(path);
    if (!file)
        return nullptr;
    return std::unique_ptr<BoundedFile>(new (std::nothrow)
                                            BoundedFile{std::move(file->fd), file->size});
}

xmlParserInputPtr openLocal(const std::string& path, const char* url, xmlParserCtxtPtr parser) {
    std::unique_ptr<BoundedFile> file = openBounded(path);
    if (!file)
        return nullptr;
    xmlParserInputBufferPtr buffer =
        xmlParserInputBufferCreateIO(readBounded, closeBounded, file.get(), XML_CHAR_ENCODING_NONE);
    if (!buffer)
        return nullptr;
    // The buffer now owns the file and frees it, also when no input can be made of it.
    file.release();
    xmlParserInputPtr input = xmlNewIOInputStream(parser, buffer, XML_CHAR_ENCODING_NONE);
    if (!input) {
        xmlFreeParserInputBuffer(buffer);
        return nullptr;
    }
    // Entities the fetched file declares are resolved against the file itself.
    input->filename = reinterpret_cast<char*>(xmlStrdup(reinterpret_cast<const xmlChar*>(url)));
    return input;
}

} // namespace

FetchFailures::FetchFailures() : outer_(currentFailures) {
    currentFailures = this;
}

FetchFailures::~FetchFailures() {
    currentFailures = outer_;
}

xmlParserInputPtr loadLocalEntity(const char* url, const char*, xmlParserCtxtPtr parser) {
    xmlParserInputPtr input = nullptr;
    // libxml2 calls this from C: running out of memory fails the fetch instead of unwinding there.
    try {
        const std::string path = localPathOf(url);
        input = path.empty() ? nullptr : openLocal(path, url, parser);
    } catch (const std::bad_alloc&) {
    }
    if (!input && currentFailures)
        currentFailures->any_ = true;
    return input;
}

} // namespace modRegistryUpdate::posix

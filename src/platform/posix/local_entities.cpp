#include "platform/posix/local_entities.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <libxml/parserInternals.h>
#include <libxml/uri.h>
#include <memory>
#include <new>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace modRegistryUpdate::posix {
namespace {

thread_local FetchFailures* currentFailures = nullptr;

struct FreeUri {
    void operator()(xmlURI* uri) const { xmlFreeURI(uri); }
};

/// The local path a reference names: a path, or a `file:` URL without a host other than
/// localhost, unescaped. Empty for anything else.
std::string localPathOf(const char* url) {
    if (!url)
        return {};
    const std::unique_ptr<xmlURI, FreeUri> uri(xmlParseURI(url));
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
    int fd;
    off_t left;

    BoundedFile(int fd, off_t size) : fd(fd), left(size) {}
    ~BoundedFile() { close(fd); }
    BoundedFile(const BoundedFile&) = delete;
    BoundedFile& operator=(const BoundedFile&) = delete;
};

int readBounded(void* context, char* buffer, int length) {
    auto& file = *static_cast<BoundedFile*>(context);
    const auto wanted = static_cast<std::size_t>(std::min<off_t>(length, file.left));
    if (wanted == 0)
        return 0;
    ssize_t count;
    do
        count = read(file.fd, buffer, wanted);
    while (count < 0 && errno == EINTR);
    if (count < 0)
        return -1;
    file.left -= count;
    return static_cast<int>(count);
}

/// libxml2 calls this once, when it frees the input that reads the file.
int closeBounded(void* context) {
    delete static_cast<BoundedFile*>(context);
    return 0;
}

/// The regular file at `path`, opened without blocking, so that a named pipe cannot hold the
/// open; null for anything else.
std::unique_ptr<BoundedFile> openRegularFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return nullptr;
    struct stat status {};
    const bool regular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    std::unique_ptr<BoundedFile> file(new (std::nothrow) BoundedFile(fd, status.st_size));
    if (!file)
        close(fd);
    return regular ? std::move(file) : nullptr;
}

xmlParserInputPtr openLocal(const std::string& path, const char* url, xmlParserCtxtPtr parser) {
    std::unique_ptr<BoundedFile> file = openRegularFile(path);
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
    const std::string path = localPathOf(url);
    xmlParserInputPtr input = path.empty() ? nullptr : openLocal(path, url, parser);
    if (!input && currentFailures)
        currentFailures->any_ = true;
    return input;
}

} // namespace modRegistryUpdate::posix

#include "platform/posix/byte_order_mark.h"

#include <unistd.h>

namespace modRegistryUpdate::posix {

bool markAgreesWithDeclaration(int fd, const xmlChar* declared) {
    unsigned char mark[3] = {};
    if (!declared || pread(fd, mark, sizeof mark, 0) < 2)
        return true;
    if (mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF)
        return xmlStrcasecmp(declared, BAD_CAST "UTF-8") == 0 ||
               xmlStrcasecmp(declared, BAD_CAST "UTF8") == 0;
    if ((mark[0] == 0xFF && mark[1] == 0xFE) || (mark[0] == 0xFE && mark[1] == 0xFF))
        return xmlStrncasecmp(declared, BAD_CAST "UTF-16", 6) == 0 ||
               xmlStrncasecmp(declared, BAD_CAST "UTF16", 5) == 0;
    return true;
}

} // namespace modRegistryUpdate::posix

#include "save_failure.h"

#include "error.h"

#include <cerrno>
#include <cstring>
#include <locale.h>
#include <string.h>

namespace qe {

std::string reasonOf(int error) {
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", locale_t{});
    return c ? ::strerror_l(error, c) : std::strerror(error);
}

int lastError() {
    return errno != 0 ? errno : EIO;
}

void unableToWrite(const std::string& path, std::string detail) {
    throw SaveError(path, std::move(detail));
}

void unableToWrite(const std::string& path, int error) {
    unableToWrite(path, reasonOf(error));
}

void unableToRead(const std::string& path, ReadFault fault, int error) {
    throw ReadError(path, fault, reasonOf(error));
}

std::string notRegularReason(bool isFolder) {
    return isFolder ? reasonOf(EISDIR) : "Not a regular file";
}

} // namespace qe

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

SaveFailure writeFailure(int error) {
    return {SaveFailure::Kind::Write, error, ReadFault::None, reasonOf(error)};
}

SaveFailure writeFailure(std::string detail) {
    return {SaveFailure::Kind::Write, 0, ReadFault::None, std::move(detail)};
}

SaveFailure readFailure(ReadFault fault, int error) {
    return {SaveFailure::Kind::Read, error, fault, reasonOf(error)};
}

SaveFailure readFailure(ReadFault fault, std::string detail) {
    return {SaveFailure::Kind::Read, 0, fault, std::move(detail)};
}

SaveFailure lockTimeout() {
    return {SaveFailure::Kind::LockTimeout, EWOULDBLOCK, ReadFault::None, {}};
}

void raise(const SaveFailure& failure, const std::string& path, long long lockWait) {
    switch (failure.kind) {
    case SaveFailure::Kind::Read:
        throw ReadError(path, failure.fault, failure.detail);
    case SaveFailure::Kind::LockTimeout:
        throw LockTimeoutError(path, lockWait);
    default:
        throw SaveError(path, failure.detail);
    }
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

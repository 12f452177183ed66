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

namespace {

SaveFailure failureOf(SaveFailure::Kind kind, int error, std::string detail) {
    SaveFailure made;
    made.kind = kind;
    made.error = error;
    made.detail = std::move(detail);
    return made;
}

} // namespace

SaveFailure writeFailure(int error) {
    return failureOf(SaveFailure::Kind::Write, error, reasonOf(error));
}

SaveFailure writeFailure(std::string detail) {
    return failureOf(SaveFailure::Kind::Write, 0, std::move(detail));
}

SaveFailure readFailure(ReadFault fault, int error) {
    SaveFailure made = failureOf(SaveFailure::Kind::Read, error, reasonOf(error));
    made.fault = fault;
    return made;
}

SaveFailure readFailure(ReadFault fault, std::string detail) {
    SaveFailure made = failureOf(SaveFailure::Kind::Read, 0, std::move(detail));
    made.fault = fault;
    return made;
}

SaveFailure lockTimeout() {
    return failureOf(SaveFailure::Kind::LockTimeout, EWOULDBLOCK, {});
}

SaveFailure foreignLink(std::string link, uid_t owner) {
    SaveFailure made = failureOf(SaveFailure::Kind::ForeignLink, 0, {});
    made.link = std::move(link);
    made.owner = owner;
    return made;
}

void raise(const SaveFailure& failure, const std::string& path, long long lockWait) {
    switch (failure.kind) {
    case SaveFailure::Kind::Read:
        throw ReadError(path, failure.fault, failure.detail);
    case SaveFailure::Kind::LockTimeout:
        throw LockTimeoutError(path, lockWait);
    case SaveFailure::Kind::ForeignLink:
        throw ForeignLinkError(path, failure.link, failure.owner);
    default:
        throw SaveError(path, failure.detail);
    }
}

std::string notRegularReason(bool isFolder) {
    return isFolder ? reasonOf(EISDIR) : "Not a regular file";
}

} // namespace qe

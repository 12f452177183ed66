// The proxy credential: user name and password joined by ":".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qe {

// The credential text of a save: the trimmed user name when not blank, then ":"
// and the trimmed password when not blank.
std::string joinCredential(std::string_view user, std::string_view password);

// A decoded credential split at its first ":". A part that is nullopt leaves its
// field as it is: no ":" gives the whole text as user and no password; a leading
// ":" gives no user and the rest as password.
struct CredentialParts {
    std::optional<std::string> user;
    std::optional<std::string> password;
};
CredentialParts splitCredential(std::string_view decoded);

} // namespace qe

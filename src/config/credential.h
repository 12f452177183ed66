// The proxy credential: user name and password joined by ":", Base64 in the file.
#pragma once

#include "fields/control.h"

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

// The file's Base64 into the two fields, a part the credential does not hold
// leaving its field as it is; throws ConfigError when encoded is not Base64.
void loadCredential(std::string_view encoded, Control& user, Control& password);

// The Base64 a save writes for the two fields; "" when both are blank, which a
// save leaves out.
std::string credentialText(std::string_view user, std::string_view password);

} // namespace qe

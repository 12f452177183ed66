#include "credential.h"

#include "base64.h"
#include "fields/text.h"

namespace qe {

std::string joinCredential(std::string_view user, std::string_view password) {
    std::string text(trimSpaceAndControls(user));
    std::string_view pass = trimSpaceAndControls(password);
    if (!pass.empty()) {
        text += ':';
        text += pass;
    }
    return text;
}

CredentialParts splitCredential(std::string_view decoded) {
    const std::size_t colon = decoded.find(':');
    if (colon == std::string_view::npos) return {std::string(decoded), std::nullopt};
    std::optional<std::string> user;
    if (colon > 0) user = std::string(decoded.substr(0, colon));
    return {user, std::string(decoded.substr(colon + 1))};
}

void loadCredential(std::string_view encoded, Control& user, Control& password) {
    const CredentialParts parts = splitCredential(base64Decode(encoded));
    if (parts.user) user.setText(*parts.user);
    if (parts.password) password.setText(*parts.password);
}

std::string credentialText(std::string_view user, std::string_view password) {
    const std::string credential = joinCredential(user, password);
    return credential.empty() ? credential : base64Encode(credential);
}

} // namespace qe

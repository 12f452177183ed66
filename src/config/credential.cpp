#include "credential.h"

#include "fields/text.h"

namespace qe {

std::string joinCredential(std::string_view user, std::string_view password) {
    std::string text(trimBlanks(user));
    std::string_view pass = trimBlanks(password);
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

} // namespace qe

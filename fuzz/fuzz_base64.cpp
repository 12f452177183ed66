// The Base64 coder and the credential rules over arbitrary bytes.
//
// Invariants: decoding any text completes or throws ConfigError with exactly
// "Coding table entry not found.", and it throws exactly when a character other
// than CR and LF is outside the alphabet once the trailing "=" are dropped; a
// decoded text has the length its digits give; CR and LF anywhere change nothing;
// encoding any bytes gives one line that decodes back to them; and a credential
// joined, encoded, decoded and split gives back its user name and password.
#include "config/base64.h"
#include "config/credential.h"
#include "config/error.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

using qe::fuzz::require;

constexpr const char* kBadCharacter = "Coding table entry not found.";

bool inAlphabet(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/';
}

std::optional<std::string> decode(std::string_view text) {
    try {
        return qe::base64Decode(text);
    } catch (const qe::ConfigError& e) {
        require(std::strcmp(e.what(), kBadCharacter) == 0, "decode threw another message",
                e.what());
        return std::nullopt;
    }
}

void checkDecode(std::string_view text) {
    std::string digits;
    for (char c : text)
        if (c != '\r' && c != '\n') digits += c;
    while (!digits.empty() && digits.back() == '=')
        digits.pop_back();
    bool valid = true;
    for (char c : digits)
        valid = valid && inAlphabet(c);

    const auto decoded = decode(text);
    require(decoded.has_value() == valid, "decode accepted a bad text or refused a good one", text);
    if (!decoded) return;
    const std::size_t lastGroup[] = {0, 0, 1, 2};
    require(decoded->size() == digits.size() / 4 * 3 + lastGroup[digits.size() % 4],
            "decoded text of the wrong length", text);

    // Line breaks between the digits are dropped.
    std::string broken;
    for (std::size_t i = 0; i < text.size(); ++i) {
        broken += text[i];
        if (i % 3 == 1) broken += i % 2 ? "\r\n" : "\n";
    }
    require(decode(broken) == decoded, "line breaks changed the decoded text", text);
}

void checkEncode(std::string_view bytes) {
    const std::string encoded = qe::base64Encode(bytes);
    require(encoded.size() == (bytes.size() + 2) / 3 * 4, "encoded text of the wrong length");
    require(encoded.find_first_of("\r\n") == std::string::npos, "encoded text breaks its line");
    require(decode(encoded) == std::string(bytes), "encode then decode lost bytes");
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32)
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32)
        s.remove_suffix(1);
    return s;
}

// A user name and a password as the fields would hold them: the user name has no
// ":" (the first ":" always splits), and neither has blanks around it.
void checkCredential(std::string_view bytes) {
    const std::size_t split = std::min(bytes.find('\0'), bytes.size());
    std::string user(trimmed(bytes.substr(0, split)));
    user.erase(std::remove(user.begin(), user.end(), ':'), user.end());
    user = std::string(trimmed(user));
    const std::string password(trimmed(bytes.substr(std::min(split + 1, bytes.size()))));
    const std::string joined = qe::joinCredential(user, password);
    if (joined.empty()) return; // an empty credential is not written

    const auto decoded = decode(qe::base64Encode(joined));
    require(decoded == joined, "credential lost in Base64", joined);
    const qe::CredentialParts parts = qe::splitCredential(*decoded);
    if (user.empty())
        require(!parts.user, "a credential without user name set the user name");
    else
        require(parts.user == user, "user name not given back", user);
    if (password.empty())
        require(!parts.password, "a credential without password set the password");
    else
        require(parts.password == password, "password not given back", password);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    checkDecode(input);
    checkEncode(input);
    checkCredential(input);
    return 0;
}

// A full Open of arbitrary bytes: the reset, then the load, then a save into the
// same text.
//
// Invariants: the load completes or stops with one of the editor's own messages
// ("'<text>' is not a valid integer value" for a text the integer conversion
// rejects, or "Coding table entry not found."), never with any other exception;
// and a save after it, complete or not, changes nothing outside the ten owned
// sections.
#include "config/error.h"
#include "config/ini_text.h"
#include "config/read_ini.h"
#include "config/write_ini.h"
#include "fields/text.h"
#include "fuzz_support.h"
#include "ui/form/form.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using qe::IniText;
using qe::fuzz::require;

constexpr std::string_view kIntegerSuffix = "' is not a valid integer value";

// message is what() gives, so it ends at the first NUL byte of the offending text.
bool isEditorMessage(std::string_view message, bool fileHasNul) {
    if (message == "Coding table entry not found.") return true;
    if (fileHasNul && !message.empty() && message.front() == '\'' &&
        message.find(kIntegerSuffix) == std::string_view::npos)
        return true;
    if (message.size() < 1 + kIntegerSuffix.size() || message.front() != '\'' ||
        message.substr(message.size() - kIntegerSuffix.size()) != kIntegerSuffix)
        return false;
    const std::string_view text = message.substr(1, message.size() - 1 - kIntegerSuffix.size());
    return text.size() <= IniText::kMaxValueLength && !qe::parseInt(text);
}

// The text without the ten owned sections.
std::string foreignPart(IniText text) {
    for (const char* section : qe::kOwnedSections)
        text.eraseSection(section);
    return text.bytes();
}

bool endsLine(const std::string& s) {
    return !s.empty() && (s.back() == '\n' || s.back() == '\r');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const IniText file(std::string(reinterpret_cast<const char*>(data), size));
    qe::fuzz::SilentHost host;
    qe::Form form(host);
    form.cleanINI();
    try {
        qe::ReadINI(form.fields(), file);
    } catch (const qe::ConfigError& e) {
        const bool hasNul = std::memchr(data, 0, size) != nullptr;
        require(isEditorMessage(e.what(), hasNul), "a load stopped with a message of its own",
                e.what());
    } catch (...) {
        require(false, "a load threw something other than ConfigError");
    }

    IniText saved(file);
    qe::WriteINI(form.fields(), saved);
    // The save appends the owned sections, so a last foreign line without a line
    // ending gets one; nothing else outside the owned sections may differ.
    const std::string kept = foreignPart(file);
    const std::string after = foreignPart(saved);
    const bool same =
        after == kept ||
        (!kept.empty() && !endsLine(kept) && after.compare(0, kept.size(), kept) == 0 &&
         (after.substr(kept.size()) == "\n" || after.substr(kept.size()) == "\r\n" ||
          after.substr(kept.size()) == "\r"));
    require(same, "a save changed bytes outside the owned sections");
    return 0;
}

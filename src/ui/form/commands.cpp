// The File commands and the rules that run when the focus leaves a field.
#include "form.h"

#include "config/error.h"
#include "config/file_io.h"
#include "config/ini_text.h"
#include "config/read_ini.h"
#include "config/save_target.h"
#include "config/write_ini.h"
#include "fields/text.h"

#include <filesystem>
#include <optional>
#include <system_error>

namespace qe {
namespace {

// A text that converts is brought into MinValue..MaxValue; one inside the range
// keeps its exact spelling ("007"), one that does not convert ("-") reads as
// MinValue and so stays as typed.
void holdToRange(Control& spin) {
    const int v = spin.value();
    if (v < spin.minValue() || v > spin.maxValue()) spin.setValue(v);
}

// The absolute path of a file name; a relative name lies in the current folder.
std::filesystem::path absolutePath(const std::string& name) {
    std::error_code failed;
    std::filesystem::path path = std::filesystem::absolute(name, failed);
    if (failed) path = name;
    return path.lexically_normal();
}

std::string folderOf(const std::string& name) {
    return absolutePath(name).parent_path().string();
}

// One text for every name of a file reached through the same links and folders.
std::string canonicalPath(const std::string& name) {
    std::error_code failed;
    std::filesystem::path path = std::filesystem::weakly_canonical(absolutePath(name), failed);
    return failed ? absolutePath(name).string() : path.string();
}

// Tells the host that Save waits and writes, for as long as it lives.
class BusyWhile {
public:
    explicit BusyWhile(Host& host) : host_(host) { host_.showBusy(true); }
    BusyWhile(const BusyWhile&) = delete;
    BusyWhile& operator=(const BusyWhile&) = delete;
    ~BusyWhile() { host_.showBusy(false); }

private:
    Host& host_;
};

} // namespace

bool Form::leave(Control& c) {
    if (c.kind() == Kind::Spin) {
        if (const std::optional<int> blank = c.blankValue(); blank && isSpaceAndControls(c.text()))
            c.setValue(*blank);
        holdToRange(c);
        return false;
    }
    return c.has(NamesFile) && !ValidStr(c.text(), host_);
}

// The name comes back from the dialog completed by withIniExtension. A name that
// does not exist loads as a file with no keys.
void Form::open() {
    const std::optional<std::string> name = host_.chooseOpenFile(lastOpenName_);
    if (!name || name->empty()) return;
    openFile(*name);
}

void Form::openFile(const std::string& name) {
    lastOpenName_ = name;
    saveFolder_ = folderOf(name);
    const std::string bytes = readForLoad(name);
    remember(name, bytes);
    load(IniText{bytes});
}

void Form::remember(const std::string& name, const std::string& bytes) {
    knownPath_ = canonicalPath(name);
    knownBytes_ = bytes;
}

void Form::load(const IniText& file) {
    cleanINI();
    // A load that stops on a bad value still leaves the processor-count panel
    // matching the system choice it got as far as.
    try {
        ReadINI(f_, file);
    } catch (...) {
        syncCpuPanel();
        throw;
    }
    syncCpuPanel();
}

// The check's corrections stay even when the person then cancels the dialog.
void Form::save() {
    if (!CheckConfig(f_, host_)) return;
    const std::optional<std::string> name = host_.chooseSaveFile(lastSaveName_, saveFolder_);
    if (!name || name->empty()) return;
    lastSaveName_ = *name;
    saveTo(*name);
}

// The person is asked with the lock let go; after "Overwrite" the file is locked
// and read again, and asked about again if it changed once more meanwhile.
void Form::saveTo(const std::string& name) {
    std::optional<std::string> agreed;
    for (;;) {
        const std::optional<ChangedFile> changed = writeUnlessChanged(name, agreed);
        if (!changed || !host_.confirmOverwrite(*changed)) return;
    }
}

// The target is locked from its read to its write, as quenbyconf locks it, and
// every symbolic link is followed: the person edits their own files. A failed
// write leaves the target as it was, or says that it could not.
std::optional<ChangedFile> Form::writeUnlessChanged(const std::string& name,
                                                    std::optional<std::string>& agreed) {
    const BusyWhile busy(host_);
    SaveTarget target(name, {Links::Follow, 0, lockWait_});
    const std::string path = canonicalPath(name);
    if (path == knownPath_ && target.bytes() != knownBytes_ && agreed != target.bytes()) {
        agreed = target.bytes();
        return ChangedFile{name, changedKeys(knownBytes_, *agreed)};
    }
    IniText text{target.takeBytes()};
    WriteINI(f_, text);
    target.replace(text.bytes());
    knownPath_ = path;
    knownBytes_ = text.bytes();
    return std::nullopt;
}

std::string withIniExtension(const std::string& name, bool existsAsTyped) {
    const std::size_t slash = name.rfind('/');
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    const bool hasExtension = name.find('.', base + 1) != std::string::npos;
    if (existsAsTyped || base >= name.size() || hasExtension) return name;
    return name + ".ini";
}

std::string errorBoxText(std::string message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
    return message;
}

std::string errorBoxText(const std::exception& e) {
    std::string text = errorBoxText(std::string(e.what()));
    const auto* failedSave = dynamic_cast<const SaveError*>(&e);
    if (failedSave && !failedSave->detail().empty()) text += "\n" + failedSave->detail();
    return text;
}

} // namespace qe

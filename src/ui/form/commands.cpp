// The File commands and the rules that run when the focus leaves a field.
#include "form.h"

#include "config/error.h"
#include "config/file_io.h"
#include "config/ini_text.h"
#include "config/read_ini.h"
#include "config/write_ini.h"
#include "fields/text.h"

#include <algorithm>
#include <iterator>

namespace qe {
namespace {

// Spin fields that an empty text sets to a fixed value when left. Every default
// is the field's MinValue except seTimeOut's, which is its layout value.
struct BlankDefault {
    Control Fields::*field;
    int value;
};

constexpr BlankDefault kBlankDefaults[] = {
    {&Fields::seWorkComplete, 0},   {&Fields::seHours, 0},        {&Fields::seMinuts, 0},
    {&Fields::sePauseTemp, 0},      {&Fields::seResumeTemp, 0},   {&Fields::seBufferHours, 0},
    {&Fields::seBufferMinuts, 0},   {&Fields::seTimeOut, 60},     {&Fields::seRC5WorkFetch, 0},
    {&Fields::seRC5Hours, 0},       {&Fields::seOGRWorkFetch, 0}, {&Fields::seCPU, 2},
    {&Fields::sePriority, 0},       {&Fields::seLogNumber, 1},    {&Fields::seLogSize, 100},
    {&Fields::seLogMailSize, 2048},
};

// Text fields that name files, refused on leaving when they hold a character
// file names cannot.
constexpr Control Fields::*kFileNameFields[] = {
    &Fields::txtLogFile,  &Fields::txtBufferIn,  &Fields::txtBufferOut,    &Fields::txtBufferCheck,
    &Fields::txtExitFile, &Fields::txtPauseFile, &Fields::txtPauseProgram,
};

// A text that converts is brought into MinValue..MaxValue; one inside the range
// keeps its exact spelling ("007"), one that does not convert ("-") reads as
// MinValue and so stays as typed.
void holdToRange(Control& spin) {
    const int v = spin.value();
    if (v < spin.minValue() || v > spin.maxValue()) spin.setValue(v);
}

} // namespace

bool Form::leave(Control& c) {
    if (c.kind() == Kind::Spin) {
        for (const BlankDefault& row : kBlankDefaults) {
            Control& field = f_.*row.field;
            if (&field == &c && isBlank(c.text())) c.setValue(row.value);
        }
        holdToRange(c);
        return false;
    }
    const bool namesFile = std::any_of(std::begin(kFileNameFields), std::end(kFileNameFields),
                                       [&](Control Fields::*field) { return &(f_.*field) == &c; });
    return namesFile && !ValidStr(c.text(), host_);
}

// The name comes back from the dialog as the person typed or picked it; the
// window's dialog adds ".ini" to a name typed without an extension. A name that
// does not exist loads as a file with no keys.
void Form::open() {
    const std::optional<std::string> name = host_.chooseOpenFile(lastOpenName_);
    if (!name || name->empty()) return;
    lastOpenName_ = *name;
    const IniText file{readForLoad(*name)};
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
// The target is written in one step, so a failed save leaves it as it was.
void Form::save() {
    if (!CheckConfig(f_, host_)) return;
    const std::optional<std::string> name = host_.chooseSaveFile(lastSaveName_);
    if (!name || name->empty()) return;
    lastSaveName_ = *name;
    IniText target{readForSave(*name)};
    WriteINI(f_, target);
    replaceFile(*name, target.bytes(), target.original());
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

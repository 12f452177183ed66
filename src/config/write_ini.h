#pragma once

#include "fields/fields.h"
#include "ini_text.h"

namespace qe {

// The ten sections the editor owns, in the order a save writes them.
inline constexpr const char* kOwnedSections[] = {
    "parameters", "misc", "triggers", "display", "processor-usage",
    "rc5",        "ogr",  "buffers",  "logging", "networking"};

// Erases the ten owned sections of target and writes the fields' keys into it.
// Reads the fields and changes none of them.
void WriteINI(const Fields& f, IniText& target);

} // namespace qe

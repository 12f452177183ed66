#pragma once

#include "fields/fields.h"
#include "fields/keys.h"
#include "ini_text.h"

namespace qe {

// Erases the ten owned sections of target and writes the fields' keys into it.
// Reads the fields and changes none of them.
void WriteINI(const Fields& f, IniText& target);

} // namespace qe

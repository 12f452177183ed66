#pragma once

#include "fields/fields.h"
#include "fields/keys.h"
#include "ini_text.h"

namespace qe {

// Loads the ten owned sections of file into the fields, key by key in the fixed
// order, running the interlocks as it goes. Stops at the first value that cannot
// be read by throwing ConfigError; the fields of earlier keys keep what was loaded.
void ReadINI(Fields& f, const IniText& file);

} // namespace qe

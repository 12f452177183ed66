// The tooltip of an editor field: where the configuration file stores its value
// and the limits the field holds it to.
#pragma once

#include "fields/control.h"

#include <string>

namespace qe {

// "[section] key", then which part of the key's value the field holds when the
// key is shared with another field, then a spin field's range and unit:
//   "[networking] nettimeout, 5 to 300 seconds"
//   "[networking] firewall-host, the port after the ':'"
// Empty for a control that no key fills.
std::string fieldTooltip(const Control& c);

// A spin field's range and unit as the tooltip gives them: "5 to 300 seconds".
std::string spinLimits(const Control& spin);

// Which part of its key's value a field holds when the key is shared with another
// field ("the port after the ':'"); "" for a field that holds the whole value.
std::string fieldPart(const Control& c);

} // namespace qe

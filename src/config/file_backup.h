// A copy of a save target, kept beside it before a save replaces it.
#pragma once

#include "file_replace.h"

#include <string>

namespace qe {

// The name Ansible's backup_local gives a copy of name made now by this process:
// "<name>.<pid>.<YYYY-MM-DD@HH:MM:SS>~", in local time.
std::string backupName(const std::string& name);

// Copies the held target, which exists and stays locked, into a new file named
// backupName(held.name) in its folder: the target's content read anew, its mode
// and extended attributes (ACLs included), and its owner and group where the
// system lets the caller give them; a copy the caller cannot give the target's
// owner and group is the caller's, readable by the caller alone. The copy is flushed and its
// name made lasting before the call returns; an older copy of that name is
// replaced. Returns the copy's path: the target's folder as walked, then its name.
// Throws SaveError for the target's path on any failure, and then leaves no copy.
std::string backUpHeld(HeldFile& held);

} // namespace qe

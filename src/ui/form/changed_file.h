// A file that Save finds changed by another program since the editor last read
// or wrote it, and the question every view asks about it.
#pragma once

#include <string>
#include <vector>

namespace qe {

struct ChangedFile {
    std::string path;              // as chosen in the Save dialog
    std::vector<std::string> keys; // owned keys ("section.key") whose values differ
};

// The owned keys whose values, as the client reads them, differ between two
// contents of a file (a key present in one and absent in the other included), in
// the order a save writes them.
std::vector<std::string> changedKeys(const std::string& before, const std::string& after);

// What the question says: the file, that another program changed it since it was
// opened or saved here, the keys with other values now, and what each answer does.
std::string overwriteQuestion(const ChangedFile& changed);

} // namespace qe

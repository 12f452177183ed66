// What the form asks of its surroundings: dialogs, messages and the focus. The Qt
// window implements it with real dialogs; tests implement it with a script.
#pragma once

#include "changed_file.h"
#include "config/check_config.h"

#include <optional>
#include <string>

namespace qe {

class Host : public CheckHost {
public:
    // The open and save file dialogs, proposing the last name chosen in the same
    // dialog. nullopt when the user cancels.
    virtual std::optional<std::string> chooseOpenFile(const std::string& lastName) = 0;
    // Before any name has been chosen in it, the save dialog starts in startFolder,
    // the folder of the file opened last ("" while none has been).
    virtual std::optional<std::string> chooseSaveFile(const std::string& lastName,
                                                      const std::string& startFolder) = 0;
    // Save found the file it goes to changed by another program since the editor
    // opened or saved it: asks, with overwriteQuestion(changed), whether to write
    // over it. true for "Overwrite"; false for "Cancel", the default, which writes
    // nothing.
    virtual bool confirmOverwrite(const ChangedFile& changed) = 0;
    // true while Save waits for the file's lock and writes it, then false; a
    // window shows a busy cursor meanwhile. Nothing by default.
    virtual void showBusy(bool /*busy*/) {}
};

// The file a dialog returns for the name the user typed or picked: a name that
// exists as typed is taken as typed; ".ini" is added only to a name that does not
// exist and whose last part has no extension. A dot that begins the last part
// (".clientrc") does not begin an extension.
std::string withIniExtension(const std::string& name, bool existsAsTyped);

} // namespace qe

// The main window's behaviour without the window: it owns the fields, installs the
// interlocks, and takes the user's actions through a few verbs.
#pragma once

#include "fields/fields.h"
#include "host.h"

#include <chrono>
#include <exception>
#include <optional>
#include <string>

namespace qe {

class IniText;

class Form {
public:
    explicit Form(Host& host);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Fields& fields() { return f_; }
    const Fields& fields() const { return f_; }

    // Window creation: page 6, then page 0 into view, then the reset.
    void create();
    // The reset, with the processor-count panel brought in line with cmbSystem.
    void cleanINI();

    // What a person does. type() replaces the text of a text or spin field as
    // typing does, a spin field's cut to its MaxLength in bytes, never inside a
    // UTF-8 character; click() toggles a check field, selects a radio field or presses
    // a button; pick() chooses an item of a choice field and runs its handler;
    // step() is a spin field's up (+1) or down (-1) button or arrow key.
    void type(Control& c, std::string_view text);
    void click(Control& c);
    void pick(Control& c, int index);
    void step(Control& c, int delta);

    // The leave rules: run when the keyboard focus moves from c to another control
    // of the window. True when the focus must go back into c (a file name with a
    // forbidden character), in which case a page switch under way is abandoned.
    bool leave(Control& c);

    // The File commands. Errors raised while they run (ConfigError) end them and
    // reach the caller; nothing is rolled back.
    void open();
    void save();
    // The folder of the file opened last, absolute; "" before the first Open.
    const std::string& saveFolder() const { return saveFolder_; }
    // Open without the dialog, for a file named on the command line or dropped on
    // the window: remembered as the Open dialog's last name and as the folder the
    // Save dialog starts in, then reset and load as Open does.
    void openFile(const std::string& name);
    // What Open does once it has the file's text: the reset, then the load.
    void load(const IniText& file);
    // How long Save waits for another writer's lock before it gives up with
    // LockTimeoutError; 30 seconds unless set.
    void setLockWait(std::chrono::seconds wait) { lockWait_ = wait; }

private:
    // The interlocks, each named after its field and event; installInterlocks
    // hangs them on their controls.
    void installInterlocks();
    void chkTemperatureClick();
    void chkExitFileClick();
    void chkRC5Click();
    void chkOGRClick();
    void cmbRC5Change();
    void cmbOGRChange();
    void cmbSystemChange();
    void chkForceCPUClick();
    void chkBufferMemClick();
    void chkBufferRemoteClick();
    void cmbBufferLevelChange();
    void cmbLogTypeChange();
    void rbLogNumberClick();
    void rbLogPeriodClick();
    void chkLogMailClick();
    void cmbNetworkChange();
    void cmbDialupChange();
    void chkDUNClick();
    void cmbProxyTypeChange();
    void txtProxyIPChange();
    void chkAutoFindClick();
    void seFontXChange();
    void seFontYChange();
    void btnFontClick();
    void updateDunPanel();
    // pnlCPU after a reset or a load: shown exactly for "Multi-Threaded".
    void syncCpuPanel();

    // Save into the file chosen, asking first when another program changed it.
    void saveTo(const std::string& name);
    // One locked read and write: the file's question instead when it changed since
    // the editor last read or wrote it and holds other bytes than agreed (those the
    // person already agreed to overwrite), which then become agreed.
    std::optional<ChangedFile> writeUnlessChanged(const std::string& name,
                                                  std::optional<std::string>& agreed);
    void remember(const std::string& name, const std::string& bytes);

    Host& host_;
    Fields f_;
    std::string lastOpenName_;
    std::string lastSaveName_;
    std::string saveFolder_;
    // The file the editor last opened or saved, by its absolute path with links
    // resolved, and the bytes it read or wrote there.
    std::string knownPath_;
    std::string knownBytes_;
    std::chrono::seconds lockWait_;
};

// The text the general error box shows for an error a command raised: the message
// with "." appended when its last character sorts after "." (every letter and
// digit does), so "Unable to write to a.ini" ends in "a.ini." and "x." stays.
std::string errorBoxText(std::string message);
// The same for an error itself; a failed save adds, line by line, the system's
// reason and whether the file's old content was put back.
std::string errorBoxText(const std::exception& e);

} // namespace qe

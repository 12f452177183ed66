// The interlocks, driven through the verbs a person uses.
#include "form_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace qe;

class Interlocks : public test::FormTest {
protected:
    Control& c(const char* name) { return control(name); }
};

TEST_F(Interlocks, StateAfterStartMatchesTheLayout) {
    const std::vector<std::pair<const char*, bool>> shown = {{"pnlTemp", false},
                                                             {"txtExitFile", true},
                                                             {"tabRC5", true},
                                                             {"tabOGR", true},
                                                             {"pnlCPU", false},
                                                             {"pnlBuffer", true},
                                                             {"pnlBufferRemote", false},
                                                             {"pnlBufferLevel", false},
                                                             {"pnlLogOptions", false},
                                                             {"pnlLogFile", false},
                                                             {"pnlLogInterval", false},
                                                             {"pnlLogSize", false},
                                                             {"pnlLogMail", false},
                                                             {"grbLogMailServer", false},
                                                             {"pnlTimeOut", true},
                                                             {"grbDialup", true},
                                                             {"tabProxy", true},
                                                             {"tabKeyserver", true},
                                                             {"pnlDialup", false},
                                                             {"pnlDUN", false},
                                                             {"chkProxyUUE", true},
                                                             {"pnlProxyServer", false},
                                                             {"grbAuthorize", false},
                                                             {"pnlProxyPass", false},
                                                             {"pnlKeyserverOther", false},
                                                             {"tabExtra", false}};
    for (auto [name, on] : shown)
        EXPECT_EQ(c(name).shown(), on) << name;
    const std::vector<std::pair<const char*, bool>> enabled = {
        {"cmbRC5", true},        {"lblRC5", true},        {"cmbOGR", true},
        {"lblOGR", true},        {"seLogNumber", true},   {"cmbLogPeriod", false},
        {"lblProxyUser", false}, {"txtProxyUser", false}, {"lblProxyPass", false},
        {"txtProxyPass", false}};
    for (auto [name, on] : enabled)
        EXPECT_EQ(c(name).enabled(), on) << name;
    EXPECT_EQ(f.cmbRC5.index(), 0);
    EXPECT_EQ(f.cmbOGR.index(), 1);
    EXPECT_EQ(f.cmbLogPeriod.index(), -1);
    EXPECT_EQ(f.seCPU.text(), "2");
    EXPECT_EQ(f.seLogNumber.text(), "1");
    EXPECT_EQ(f.seLogMailSize.text(), "2048");
    EXPECT_TRUE(f.rbLogNumber.checked());
    EXPECT_EQ(f.imgFont.width(), 10);
    EXPECT_EQ(f.imgFont.height(), 16);
    EXPECT_EQ(f.activePage(), 0);
    for (Control* choice : f.all()) {
        if (choice->kind() == Kind::Choice && choice->isEditorField() &&
            choice != &f.cmbLogPeriod) {
            EXPECT_GE(choice->index(), 0) << choice->name();
        }
    }
}

TEST_F(Interlocks, DisablingOneProjectBringsTheOtherBack) {
    form.click(f.chkOGR);
    EXPECT_FALSE(f.tabOGR.shown());
    EXPECT_FALSE(f.cmbOGR.enabled());
    form.click(f.chkRC5);
    EXPECT_TRUE(f.chkRC5.checked());
    EXPECT_FALSE(f.chkOGR.checked());
    EXPECT_FALSE(f.cmbRC5.enabled());
    EXPECT_FALSE(f.lblRC5.enabled());
    EXPECT_FALSE(f.tabRC5.shown());
    EXPECT_TRUE(f.cmbOGR.enabled());
    EXPECT_TRUE(f.lblOGR.enabled());
    EXPECT_TRUE(f.tabOGR.shown());
    form.click(f.chkRC5);
    EXPECT_TRUE(f.tabRC5.shown());
    EXPECT_TRUE(f.cmbRC5.enabled());
}

TEST_F(Interlocks, PrioritiesAlwaysHoldOneAndTwo) {
    form.pick(f.cmbRC5, 1);
    EXPECT_EQ(f.cmbOGR.index(), 0);
    form.pick(f.cmbRC5, 0);
    EXPECT_EQ(f.cmbOGR.index(), 1);
    form.pick(f.cmbOGR, 0);
    EXPECT_EQ(f.cmbRC5.index(), 1);
    form.pick(f.cmbOGR, -1); // no item: nothing
    EXPECT_EQ(f.cmbRC5.index(), 1);
}

TEST_F(Interlocks, ProcessorChoiceAndForceSingleProcess) {
    form.click(f.chkForceCPU);
    form.pick(f.cmbSystem, 1); // Single-Threaded leaves the box alone
    EXPECT_TRUE(f.chkForceCPU.checked());
    form.pick(f.cmbSystem, 2);
    EXPECT_FALSE(f.chkForceCPU.checked());
    EXPECT_TRUE(f.pnlCPU.shown());
    form.click(f.chkForceCPU);
    EXPECT_EQ(f.cmbSystem.index(), 1);
    EXPECT_FALSE(f.pnlCPU.shown());
    form.click(f.chkForceCPU);
    EXPECT_EQ(f.cmbSystem.index(), 1);
    EXPECT_FALSE(f.pnlCPU.shown());
    form.pick(f.cmbSystem, 0);
    EXPECT_FALSE(f.pnlCPU.shown());
}

TEST_F(Interlocks, ResetBringsTheProcessPanelInLineWithAutoSelect) {
    form.pick(f.cmbSystem, 2);
    ASSERT_TRUE(f.pnlCPU.shown());
    form.cleanINI();
    EXPECT_EQ(f.cmbSystem.index(), 0);
    EXPECT_FALSE(f.pnlCPU.shown());
}

TEST_F(Interlocks, BufferPanelsFollowTheirFields) {
    form.click(f.chkBufferMem);
    EXPECT_FALSE(f.pnlBuffer.shown());
    form.click(f.chkBufferRemote);
    EXPECT_TRUE(f.pnlBufferRemote.shown());
    for (int item : {1, 2, 3, 4, -1}) {
        form.pick(f.cmbBufferLevel, item);
        EXPECT_TRUE(f.pnlBufferLevel.shown()) << item;
    }
    form.pick(f.cmbBufferLevel, 0);
    EXPECT_FALSE(f.pnlBufferLevel.shown());
}

TEST_F(Interlocks, LogTypeShowsItsRows) {
    struct Row {
        int item;
        bool options, file, interval, size;
    };
    for (Row r : {Row{1, true, true, false, false}, Row{2, true, true, false, true},
                  Row{3, true, true, false, true}, Row{4, true, true, true, false},
                  Row{0, false, false, false, false}}) {
        form.pick(f.cmbLogType, r.item);
        EXPECT_EQ(f.pnlLogOptions.shown(), r.options) << r.item;
        EXPECT_EQ(f.pnlLogFile.shown(), r.file) << r.item;
        EXPECT_EQ(f.pnlLogInterval.shown(), r.interval) << r.item;
        EXPECT_EQ(f.pnlLogSize.shown(), r.size) << r.item;
    }
    form.pick(f.cmbLogType, 4);
    form.pick(f.cmbLogType, -1); // no item: unchanged
    EXPECT_TRUE(f.pnlLogInterval.shown());
}

TEST_F(Interlocks, LogIntervalRadiosSwitchTheirFields) {
    form.click(f.rbLogPeriod);
    EXPECT_TRUE(f.cmbLogPeriod.enabled());
    EXPECT_FALSE(f.seLogNumber.enabled());
    EXPECT_FALSE(f.rbLogNumber.checked());
    form.click(f.rbLogNumber);
    EXPECT_FALSE(f.cmbLogPeriod.enabled());
    EXPECT_TRUE(f.seLogNumber.enabled());
}

TEST_F(Interlocks, MailLoggingShowsBothBoxes) {
    form.click(f.chkLogMail);
    EXPECT_TRUE(f.pnlLogMail.shown());
    EXPECT_TRUE(f.grbLogMailServer.shown());
    form.click(f.chkLogMail);
    EXPECT_FALSE(f.pnlLogMail.shown());
    EXPECT_FALSE(f.grbLogMailServer.shown());
}

TEST_F(Interlocks, NetworkDisabledHidesItsBoxesAndTabs) {
    f.activatePage(6);
    form.pick(f.cmbNetwork, 1);
    for (Control* hidden : {&f.pnlTimeOut, &f.grbDialup, &f.tabProxy, &f.tabKeyserver})
        EXPECT_FALSE(hidden->shown()) << hidden->name();
    EXPECT_EQ(f.activePage(), 8); // the next page with a shown tab
    form.pick(f.cmbNetwork, 0);
    EXPECT_TRUE(f.tabProxy.shown());
    EXPECT_TRUE(f.grbDialup.shown());
}

TEST_F(Interlocks, DialupWatcherOffUnchecksTheProfileBox) {
    form.pick(f.cmbDialup, 1);
    EXPECT_TRUE(f.pnlDialup.shown());
    form.click(f.chkDUN);
    EXPECT_TRUE(f.pnlDUN.shown());
    form.pick(f.cmbDialup, 2);
    EXPECT_TRUE(f.chkDUN.checked());
    form.pick(f.cmbDialup, 0);
    EXPECT_FALSE(f.pnlDialup.shown());
    EXPECT_FALSE(f.chkDUN.checked());
    EXPECT_FALSE(f.pnlDUN.shown());
}

TEST_F(Interlocks, ProfileRowIsHiddenWhileItsGroupIs) {
    form.pick(f.cmbDialup, 1);
    form.click(f.chkDUN);
    form.pick(f.cmbNetwork, 1);
    EXPECT_FALSE(f.pnlDUN.shown());
    EXPECT_TRUE(f.chkDUN.checked());
    form.pick(f.cmbNetwork, 0);
    EXPECT_TRUE(f.pnlDUN.shown());
}

TEST_F(Interlocks, ProxyTypeShowsItsBoxesAndFillsABlankPort) {
    form.pick(f.cmbProxyType, 1);
    EXPECT_TRUE(f.chkProxyUUE.shown());
    EXPECT_TRUE(f.pnlProxyServer.shown());
    EXPECT_TRUE(f.grbAuthorize.shown());
    EXPECT_TRUE(f.pnlProxyPass.shown());
    EXPECT_EQ(f.txtProxyPort.text(), "8080");
    form.pick(f.cmbProxyType, 2); // a port that is not blank stays
    EXPECT_EQ(f.txtProxyPort.text(), "8080");
    EXPECT_FALSE(f.chkProxyUUE.shown());
    EXPECT_FALSE(f.pnlProxyPass.shown());
    EXPECT_TRUE(f.grbAuthorize.shown());
    form.type(f.txtProxyPort, " \t");
    form.pick(f.cmbProxyType, 3);
    EXPECT_EQ(f.txtProxyPort.text(), "1080");
    EXPECT_TRUE(f.pnlProxyPass.shown());
    form.type(f.txtProxyPort, "");
    form.pick(f.cmbProxyType, 0); // None never touches the port
    EXPECT_EQ(f.txtProxyPort.text(), "");
    EXPECT_FALSE(f.pnlProxyServer.shown());
    EXPECT_TRUE(f.chkProxyUUE.shown());
    form.pick(f.cmbProxyType, -1);
    EXPECT_TRUE(f.chkProxyUUE.shown());
}

TEST_F(Interlocks, ProxyHostEnablesTheCredentialRows) {
    form.type(f.txtProxyIP, " ");
    EXPECT_FALSE(f.txtProxyUser.enabled());
    form.type(f.txtProxyIP, " p");
    for (Control* c : {&f.lblProxyUser, &f.lblProxyPass, &f.txtProxyUser, &f.txtProxyPass})
        EXPECT_TRUE(c->enabled()) << c->name();
    form.type(f.txtProxyUser, "user");
    form.type(f.txtProxyIP, "");
    EXPECT_FALSE(f.txtProxyPass.enabled());
    EXPECT_EQ(f.txtProxyUser.text(), "user");
}

TEST_F(Interlocks, TriggersAndKeyserverPanelsFollowTheirBoxes) {
    form.click(f.chkTemperature);
    EXPECT_TRUE(f.pnlTemp.shown());
    form.click(f.chkExitFile);
    EXPECT_FALSE(f.txtExitFile.shown());
    form.click(f.chkAutoFind);
    EXPECT_TRUE(f.pnlKeyserverOther.shown());
}

TEST_F(Interlocks, FontPreviewFollowsTheSpinFieldsWithinRange) {
    form.step(f.seFontX, -1);
    EXPECT_EQ(f.imgFont.width(), 9);
    f.seFontY.setText("40"); // outside 2..28: the preview stays
    EXPECT_EQ(f.imgFont.height(), 16);
    form.step(f.seFontY, -1); // reads 40, sets 28 after the clamp
    EXPECT_EQ(f.imgFont.height(), 28);
    form.click(f.chkClientMinimize);
    form.click(f.btnFont);
    EXPECT_EQ(f.seFontX.text(), "10");
    EXPECT_EQ(f.seFontY.text(), "16");
    EXPECT_EQ(f.imgFont.width(), 10);
    EXPECT_EQ(f.imgFont.height(), 16);
    EXPECT_FALSE(f.chkClientMinimize.checked());
    form.click(f.btnRegistry); // does nothing
}

TEST_F(Interlocks, ResetAfterEditsRestoresTheDefaults) {
    form.pick(f.cmbProxyType, 1);
    form.type(f.txtProxyPort, "3128");
    form.click(f.rbPauseCelcius);
    form.click(f.chkRC5);
    form.type(f.txtID, "me@example.org");
    form.cleanINI();
    EXPECT_EQ(f.cmbProxyType.index(), 0);
    EXPECT_FALSE(f.pnlProxyServer.shown());
    EXPECT_EQ(f.txtProxyPort.text(), "");
    EXPECT_TRUE(f.rbPausekelvin.checked());
    EXPECT_FALSE(f.rbPauseCelcius.checked());
    EXPECT_TRUE(f.tabRC5.shown());
    EXPECT_TRUE(f.cmbRC5.enabled());
    EXPECT_EQ(f.txtLogMailSender.text(), "");
}

TEST_F(Interlocks, SpinStepsReadAddAndClamp) {
    form.type(f.seWorkComplete, "20000");
    form.step(f.seWorkComplete, 1);
    EXPECT_EQ(f.seWorkComplete.text(), "16000");
    form.type(f.seTimeOut, "");
    form.step(f.seTimeOut, -1); // reads MinValue 5, 4 clamps to 5
    EXPECT_EQ(f.seTimeOut.text(), "5");
}

// MaxLength counts bytes, and a cut never splits a UTF-8 character: one that would
// not fit whole is left out.
TEST_F(Interlocks, TypingIntoASpinFieldIsCutToItsMaxLength) {
    const struct {
        const char* field;
        const char* typed;
        const char* kept;
    } rows[] = {
        {"sePriority", "123", "1"},
        {"seWorkComplete", "1234567", "12345"},
        {"seWorkComplete", "123٫5", "123٫"}, // the two bytes of "٫" fit
        {"seWorkComplete", "1234٫", "1234"}, // ... or are left out together
        {"seLogSize", "12€45", "12€4"},
        {"seLogSize", "1234€", "1234"},
        {"sePriority", "é", ""},
        {"seFontY", "1234567", "1234567"}, // no MaxLength
        {"txtID", "a-much-longer-text", "a-much-longer-text"},
    };
    for (const auto& r : rows) {
        form.type(c(r.field), r.typed);
        EXPECT_EQ(c(r.field).text(), r.kept) << r.field << " " << r.typed;
    }
}

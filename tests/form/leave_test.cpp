#include "form_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qe;

namespace {

class Leave : public test::FormTest {
protected:
    // Types text into the named field, leaves it and gives its text afterwards.
    std::string typeAndLeave(const char* name, const char* text) {
        Control& c = *f.find(name);
        c.setText(text); // not form.type(): pasted text is not cut to MaxLength
        EXPECT_FALSE(form.leave(c)) << name;
        return c.text();
    }
};

// Every spin field of the editor takes its MinValue when left blank, except
// seTimeOut, which takes its layout value 60; the font spins stay blank.
TEST_F(Leave, EmptySpinFieldTakesItsBlankDefault) {
    int spins = 0;
    for (Control* c : f.all()) {
        if (c->kind() != Kind::Spin) continue;
        ++spins;
        for (const char* blank : {"", "   ", "\t \r\n"}) {
            const std::string expected = !c->isEditorField() ? blank
                                         : c == &f.seTimeOut ? "60"
                                                             : std::to_string(c->minValue());
            EXPECT_EQ(typeAndLeave(c->name().c_str(), blank), expected) << c->name();
        }
    }
    EXPECT_EQ(spins, 18);
}

TEST_F(Leave, SpinFieldIsHeldToItsRange) {
    struct Row {
        const char* field;
        const char* typed;
        const char* after;
    } rows[] = {
        {"seTimeOut", "4", "5"},
        {"seTimeOut", "999", "300"},
        {"seTimeOut", "5", "5"},
        {"seCPU", "1", "2"},
        {"seCPU", "99", "32"},
        {"seLogMailSize", "100", "2048"},
        {"seLogMailSize", "999999", "130000"},
        {"seLogSize", "5", "100"},
        {"seLogNumber", "0", "1"},
        {"seMinuts", "75", "59"},
        {"seBufferMinuts", "75", "59"},
        {"seWorkComplete", "99999", "16000"},
        {"seRC5WorkFetch", "99999", "16000"},
        {"seOGRWorkFetch", "999", "500"},
        {"sePauseTemp", "999", "512"},
        {"seResumeTemp", "999", "512"},
        {"seHours", "-5", "0"},
        {"seHours", "$FFFF", "9999"}, // hexadecimal reads as a number
        {"sePriority", "+10", "9"},
        // In range, or not a whole number: kept exactly as typed.
        {"seHours", "007", "007"},
        {"seHours", " 12", " 12"},
        {"seHours", "-", "-"},
        {"seRC5Hours", "1.5", "1.5"},
        {"seCPU", "x", "x"},
        {"seHours", "99999999999", "99999999999"}, // beyond 32 bits: no number
    };
    for (const Row& r : rows)
        EXPECT_EQ(typeAndLeave(r.field, r.typed), r.after) << r.field << " " << r.typed;
}

TEST_F(Leave, FontSpinFieldsHaveNoBlankRuleButKeepTheirRange) {
    EXPECT_EQ(typeAndLeave("seFontX", ""), "");
    EXPECT_EQ(typeAndLeave("seFontX", "20"), "12");
    EXPECT_EQ(typeAndLeave("seFontY", "1"), "2");
}

TEST_F(Leave, FileNameWithAForbiddenCharacterKeepsTheFocus) {
    for (const char* name : {"txtLogFile", "txtBufferIn", "txtBufferOut", "txtBufferCheck",
                             "txtExitFile", "txtPauseFile", "txtPauseProgram"}) {
        Control& c = *f.find(name);
        c.setText("buff*in");
        host.errors.clear();
        EXPECT_TRUE(form.leave(c)) << name;
        EXPECT_EQ(host.errors, std::vector<std::string>{kFileNameMessage}) << name;
        EXPECT_EQ(c.text(), "buff*in");
        // Leaving again while it still fails asks again.
        EXPECT_TRUE(form.leave(c)) << name;
        EXPECT_EQ(host.errors.size(), 2u);
    }
    EXPECT_TRUE(host.focused.empty()); // the window puts the focus back, not the rule
}

TEST_F(Leave, AllowedFileNamePassesSilently) {
    for (const char* text : {"", "C:\\client\\buff-in.2", "/home/me/buff.out", "  "}) {
        f.txtBufferIn.setText(text);
        EXPECT_FALSE(form.leave(f.txtBufferIn)) << text;
        EXPECT_EQ(f.txtBufferIn.text(), text);
    }
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(Leave, OtherFieldsKeepWhatWasTyped) {
    struct Row {
        const char* field;
        const char* typed;
    } rows[] = {
        {"txtID", "*"},
        {"txtBufferRemote", "a|b"},
        {"txtInterfaces", "ppp<0>"},
        {"txtDUN", "\"link\""},
        {"txtProxyPort", ""},
        {"txtLogMailSender", "?"},
        {"txtKeyserverIP", "   "},
    };
    for (const Row& r : rows) {
        Control& c = *f.find(r.field);
        c.setText(r.typed);
        EXPECT_FALSE(form.leave(c)) << r.field;
        EXPECT_EQ(c.text(), r.typed) << r.field;
    }
    EXPECT_FALSE(form.leave(f.chkAutoFind));
    EXPECT_FALSE(form.leave(f.cmbLogType));
    EXPECT_TRUE(host.errors.empty());
}

} // namespace

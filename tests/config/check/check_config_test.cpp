#include "form_fixture.h"

#include "config/check_config.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qe;
using Calls = std::vector<std::string>;

namespace {

const char* const kGoodId = "me@mail.example.org";

TEST(IdRule, AcceptsAndRefusesTheListedShapes) {
    struct Row {
        const char* id;
        bool ok;
    } rows[] = {
        {"a@b.c", true},     {"@b.c", true}, // nothing needed before the "@"
        {"a@b.", true},                      // nor after the "."
        {"  a@b.c  ", true},                 // the surrounding blanks are kept, not refused
        {"a@b@c.d", true},                   // only the first "@" counts
        {"", false},         {"   ", false},
        {"\t\r\n", false}, // every code up to 32 is blank
        {"abc.de", false}, // no "@"
        {"a@.b", false},   // "." right after the "@"
        {"a@.b.c", false}, // ... even with a later "."
        {"a.b@c", false},  // a "." only before the "@"
        {"a@bc", false},     {"@", false},
        {" @ .", true}, // not blank, and one character between "@" and "."
    };
    for (const Row& r : rows)
        EXPECT_EQ(satisfiesIdRule(r.id), r.ok) << '"' << r.id << '"';
}

TEST(FileNameRule, MessageIsTwoLinesWithTheSixCharacters) {
    EXPECT_EQ(std::string(kFileNameMessage),
              "The following symbols are not allowed to be used in filenames:\r\n"
              "\t* ? \" < > |");
}

TEST(FileNameRule, RefusesEachForbiddenCharacterWithOneMessage) {
    for (const char* text : {"a*", "?", "say \"hi\"", "<in", "out>", "x|y"}) {
        test::FakeHost host;
        EXPECT_FALSE(ValidStr(text, host)) << text;
        EXPECT_EQ(host.errors, Calls{kFileNameMessage}) << text;
    }
}

TEST(FileNameRule, PassesPathsAndEmptyTextSilently) {
    for (const char* text : {"", "C:\\Program Files\\client\\run-1.log", "/var/log/client.log",
                             "../buff-in", "D:buff.out", " spaced name ", "tab\there"}) {
        test::FakeHost host;
        EXPECT_TRUE(ValidStr(text, host)) << text;
        EXPECT_TRUE(host.errors.empty()) << text;
    }
}

class Check : public test::FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        f.txtID.setText(kGoodId);
    }
    bool check() { return CheckConfig(f, host); }
};

TEST_F(Check, WellFormedIdAndDefaultsPassWithoutAsking) {
    EXPECT_TRUE(check());
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(f.txtID.text(), kGoodId);
}

TEST_F(Check, BadIdOpensThePromptWithTheTextUnchanged) {
    for (const char* id : {"   ", "nobody", "me@.example.org", "me.x@example"}) {
        host.idPrompts.clear();
        f.txtID.setText(id);
        host.idAnswers.push_back("ok@example.org");
        EXPECT_TRUE(check()) << id;
        EXPECT_EQ(host.idPrompts, Calls{id});
        EXPECT_EQ(f.txtID.text(), "ok@example.org");
    }
}

TEST_F(Check, OkTakesTheEnteredTextWithItsBlanks) {
    f.txtID.setText("nobody");
    host.idAnswers.push_back("  me@example.org ");
    EXPECT_TRUE(check());
    EXPECT_EQ(f.txtID.text(), "  me@example.org ");
}

TEST_F(Check, MailFieldsTakeTheIdEnteredInThePrompt) {
    f.txtID.setText("nobody");
    f.txtLogMailSender.setText("");
    f.txtLogMailReceiver.setText("");
    f.txtLogMailIP.setText("");
    host.idAnswers.push_back("new@relay.example.org");
    check();
    EXPECT_EQ(f.txtLogMailSender.text(), "new@relay.example.org");
    EXPECT_EQ(f.txtLogMailReceiver.text(), "new@relay.example.org");
    EXPECT_EQ(f.txtLogMailIP.text(), "relay.example.org");
}

TEST_F(Check, CancelFailsYetTheOtherStepsStillRun) {
    f.txtID.setText("nobody");
    f.txtLogMailSender.setText("");
    f.txtLogMailReceiver.setText(" ");
    f.txtLogMailIP.setText("");
    f.txtLogMailPort.setText("");
    f.seWorkComplete.setText("20000");
    f.txtLogFile.setText("a<b");
    host.idAnswers.push_back(std::nullopt);

    EXPECT_FALSE(check());
    EXPECT_EQ(f.txtID.text(), "nobody");
    EXPECT_EQ(f.txtLogMailSender.text(), "nobody");
    EXPECT_EQ(f.txtLogMailReceiver.text(), "nobody");
    EXPECT_EQ(f.txtLogMailIP.text(), "nobody"); // no "@": the whole ID
    EXPECT_EQ(f.txtLogMailPort.text(), "25");
    EXPECT_EQ(f.seWorkComplete.text(), "16000");
    EXPECT_EQ(host.calls, (Calls{"askID nobody", "error", "focus txtLogFile"}));
}

TEST_F(Check, MailFieldsFillOnlyWhenBlankWhateverMailLogging) {
    struct Row {
        const char* before;
        const char* address; // sender and receiver after the check
        const char* server;
        const char* port;
    } rows[] = {
        {"", kGoodId, "mail.example.org", "25"},
        {" \t", kGoodId, "mail.example.org", "25"},
        {"kept", "kept", "kept", "kept"},
    };
    for (bool mailOn : {false, true}) {
        for (const Row& r : rows) {
            f.chkLogMail.setChecked(mailOn);
            for (Control* c :
                 {&f.txtLogMailSender, &f.txtLogMailReceiver, &f.txtLogMailIP, &f.txtLogMailPort})
                c->setText(r.before);
            check();
            EXPECT_EQ(f.txtLogMailSender.text(), r.address) << mailOn << '"' << r.before << '"';
            EXPECT_EQ(f.txtLogMailReceiver.text(), r.address);
            EXPECT_EQ(f.txtLogMailIP.text(), r.server);
            EXPECT_EQ(f.txtLogMailPort.text(), r.port);
        }
    }
}

TEST_F(Check, MailServerIsThePartAfterTheFirstAt) {
    f.txtID.setText("a@b@c.d");
    f.txtLogMailIP.setText("");
    EXPECT_TRUE(check());
    EXPECT_EQ(f.txtLogMailIP.text(), "b@c.d");
}

TEST_F(Check, BlankKeyserverChecksAutoFindAndRunsItsInterlock) {
    form.click(f.chkAutoFind); // off: the own-keyserver panel shows
    ASSERT_FALSE(f.chkAutoFind.checked());
    ASSERT_TRUE(f.pnlKeyserverOther.shown());
    f.txtKeyserverIP.setText("  ");
    check();
    EXPECT_TRUE(f.chkAutoFind.checked());
    EXPECT_FALSE(f.pnlKeyserverOther.shown());
}

TEST_F(Check, GivenKeyserverLeavesAutoFindOff) {
    form.click(f.chkAutoFind);
    f.txtKeyserverIP.setText("keys.example.org");
    check();
    EXPECT_FALSE(f.chkAutoFind.checked());
}

TEST_F(Check, EightFieldsAreBroughtDownToTheirMaxima) {
    struct Row {
        const char* field;
        const char* typed;
        const char* after;
    } rows[] = {
        {"seMinuts", "60", "59"},
        {"seWorkComplete", "20000", "16000"},
        {"seBufferMinuts", "75", "59"},
        {"seTimeOut", "301", "300"},
        {"seRC5WorkFetch", "99999", "16000"},
        {"seOGRWorkFetch", "501", "500"},
        {"seCPU", "99", "32"},
        {"seLogMailSize", "999999", "130000"},
        // At the limit, below MinValue, or not a number: left as typed.
        {"seMinuts", "59", "59"},
        {"seWorkComplete", "016000", "016000"},
        {"seTimeOut", "4", "4"},
        {"seCPU", "1", "1"},
        {"seLogMailSize", "100", "100"},
        {"seOGRWorkFetch", "-", "-"},
        {"seBufferMinuts", "", ""},
        // Not one of the eight: the check leaves it alone.
        {"seHours", "99999", "99999"},
        {"sePauseTemp", "999", "999"},
    };
    for (const Row& r : rows) {
        Control* c = f.find(r.field);
        ASSERT_NE(c, nullptr) << r.field;
        c->setText(r.typed);
        check();
        EXPECT_EQ(c->text(), r.after) << r.field << " " << r.typed;
    }
}

TEST_F(Check, EachFileNameFieldIsTested) {
    for (const char* name : {"txtLogFile", "txtBufferIn", "txtBufferOut", "txtBufferCheck",
                             "txtExitFile", "txtPauseFile", "txtPauseProgram"}) {
        Control& c = *f.find(name);
        const std::string before = c.text();
        c.setText("run?.log");
        host.calls.clear();
        EXPECT_FALSE(check()) << name;
        EXPECT_EQ(host.calls, (Calls{"error", "focus " + std::string(name)}));
        EXPECT_EQ(c.text(), "run?.log");
        c.setText(before);
    }
}

TEST_F(Check, OtherTextFieldsAreNotFileNames) {
    f.txtBufferRemote.setText("*");
    f.txtInterfaces.setText("ppp*");
    f.txtDUN.setText("\"My link\"");
    EXPECT_TRUE(check());
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(Check, SeveralBadNamesGiveSeveralMessagesAndTheFocusEndsOnTheLast) {
    f.txtLogFile.setText("<log>");
    f.txtBufferCheck.setText("ck*");
    f.txtPauseProgram.setText("a|b");
    EXPECT_FALSE(check());
    EXPECT_EQ(host.calls, (Calls{"error", "focus txtLogFile", "error", "focus txtBufferCheck",
                                 "error", "focus txtPauseProgram"}));
    EXPECT_EQ(host.focused.back(), "txtPauseProgram");
}

TEST_F(Check, HiddenOrUnfocusableFieldStillFails) {
    // Log type "None" hides the log file panel; the field is tested all the same.
    ASSERT_FALSE(f.txtLogFile.shownInTree());
    f.txtLogFile.setText("a<b");
    host.unfocusable.insert("txtLogFile");
    EXPECT_FALSE(check());
    EXPECT_EQ(host.errors, Calls{kFileNameMessage});
    EXPECT_EQ(f.txtLogFile.text(), "a<b");
}

TEST_F(Check, OkCanStillFailOnAFileNameLater) {
    f.txtID.setText("");
    host.idAnswers.push_back("me@example.org");
    f.txtPauseFile.setText("pause?");
    EXPECT_FALSE(check());
    EXPECT_EQ(f.txtID.text(), "me@example.org");
    EXPECT_EQ(host.calls, (Calls{"askID ", "error", "focus txtPauseFile"}));
}

} // namespace

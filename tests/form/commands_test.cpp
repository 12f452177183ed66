#include "error_message.h"
#include "form_fixture.h"
#include "temp_dir.h"

#include "config/error.h"
#include "config/ini_text.h"
#include "config/write_ini.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

using namespace qe;
using test::readBytes;
using Names = std::vector<std::string>;

namespace {

// A configuration with keys the editor owns, keys it does not know inside an owned
// section, and sections of other programs that a save must carry over unchanged.
const char* const kOpenedFile = "; written by hand\r\n"
                                "[parameters]\r\n"
                                "id=loaded@example.org\r\n"
                                "[tools]\r\n"
                                "editor = vi ; not ours\r\n"
                                "  odd line without equals\r\n"
                                "\r\n"
                                "[misc]\r\n"
                                "run-work-limit=12\r\n"
                                "legacy-key=1\r\n"
                                "[Extra]\r\n"
                                "x=\"quoted\"\r\n";
const char* const kForeignTools = "[tools]\r\n"
                                  "editor = vi ; not ours\r\n"
                                  "  odd line without equals\r\n"
                                  "\r\n";
const char* const kForeignExtra = "[Extra]\r\n"
                                  "x=\"quoted\"\r\n";

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The section names of a file, in the order they appear.
Names sectionsOf(const std::string& bytes) {
    Names names;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 1 && line.front() == '[' && line.back() == ']')
            names.push_back(line.substr(1, line.size() - 2));
    }
    return names;
}

class Commands : public test::FormTest {
protected:
    test::TempDir dir;

    void SetUp() override {
        FormTest::SetUp();
        f.txtID.setText("me@example.org");
    }
    void openFile(const std::string& path) {
        host.openAnswers.push_back(path);
        form.open();
    }
    void saveFile(const std::string& path) {
        host.saveAnswers.push_back(path);
        form.save();
    }
};

TEST_F(Commands, CancelOrEmptyNameChangesNothingEvenAfterEarlierCommands) {
    const std::string opened = dir.write("opened.ini", kOpenedFile);
    const std::string saved = dir.file("saved.ini");
    openFile(opened);
    saveFile(saved);
    const std::string savedBytes = readBytes(saved);

    for (std::optional<std::string> answer : {std::optional<std::string>{}, {""}}) {
        form.type(f.seHours, "12");
        form.type(f.txtBufferIn, "mine");
        host.openAnswers.push_back(answer);
        form.open();
        host.saveAnswers.push_back(answer);
        form.save();
        EXPECT_EQ(f.seHours.text(), "12");
        EXPECT_EQ(f.txtBufferIn.text(), "mine");
        EXPECT_EQ(readBytes(opened), kOpenedFile);
        EXPECT_EQ(readBytes(saved), savedBytes);
        EXPECT_EQ(dir.count(), 2u);
    }
    // A cancelled dialog does not forget the name chosen before.
    EXPECT_EQ(host.openProposals, (Names{"", opened, opened}));
    EXPECT_EQ(host.saveProposals, (Names{"", saved, saved}));
}

TEST_F(Commands, EachDialogProposesItsOwnLastName) {
    const std::string a = dir.write("a.ini", "");
    const std::string b = dir.file("b.ini");
    const std::string c = dir.file("c.ini");
    openFile(a);
    saveFile(b);
    saveFile(c);
    openFile(b);
    saveFile(dir.file("d.ini"));
    EXPECT_EQ(host.openProposals, (Names{"", a}));
    EXPECT_EQ(host.saveProposals, (Names{"", b, c}));
}

// The Save dialog starts in the folder of the file opened last, whether the Open
// dialog named it or the command line did; a relative name lies in the current
// folder.
TEST_F(Commands, SaveDialogStartsInTheFolderOfTheFileOpenedLast) {
    const std::string inner = dir.file("inner");
    std::filesystem::create_directory(inner);
    const std::string current = std::filesystem::current_path().string();
    const struct {
        bool byDialog;
        std::string name, folder;
    } rows[] = {
        {true, dir.file("a.ini"), dir.path()},
        {false, inner + "/b.ini", inner},
        {false, dir.path() + "/inner/../c.ini", dir.path()},
        {true, "relative.ini", current},
    };
    form.save();
    EXPECT_EQ(host.saveFolders, Names{""}); // nothing opened yet
    for (const auto& r : rows) {
        if (r.byDialog)
            openFile(r.name);
        else
            form.openFile(r.name);
        f.txtID.setText("me@example.org");
        host.saveFolders.clear();
        form.save();
        EXPECT_EQ(host.saveFolders, Names{r.folder}) << r.name;
    }
    EXPECT_EQ(host.saveFolders, Names{form.saveFolder()});
    EXPECT_EQ(dir.count(), 1u); // the inner folder: opening creates nothing
}

TEST_F(Commands, MissingFileLoadsTheDefaultsOfAbsentKeys) {
    form.type(f.txtBufferIn, "mine");
    openFile(dir.file("absent.ini"));
    EXPECT_EQ(f.txtID.text(), key::id.def); // the reset would leave it empty
    EXPECT_EQ(f.txtBufferIn.text(), "buff-in");
    EXPECT_EQ(dir.count(), 0u); // opening creates nothing
}

TEST_F(Commands, LoadStoppingOnABadValueKeepsEarlierKeysAndResetsTheRest) {
    const std::string path = dir.write("bad.ini", "[parameters]\n"
                                                  "id=loaded@example.org\n"
                                                  "[processor-usage]\n"
                                                  "max-threads=4\n"
                                                  "priority=high\n"
                                                  "[buffers]\n"
                                                  "buffer-file-basename=loaded-in\n");
    form.type(f.txtBufferIn, "mine");
    host.openAnswers.push_back(path);
    EXPECT_EQ(test::messageOf([&] { form.open(); }), "'high' is not a valid integer value");
    EXPECT_EQ(f.txtID.text(), "loaded@example.org");
    EXPECT_EQ(f.cmbSystem.index(), 2);
    EXPECT_EQ(f.seCPU.text(), "4");
    EXPECT_TRUE(f.pnlCPU.shown()); // in line with the system choice that did load
    EXPECT_EQ(f.txtBufferIn.text(), "buff-in");
}

TEST_F(Commands, OpenBringsTheProcessorPanelInLineWithTheLoad) {
    form.pick(f.cmbSystem, 2);
    ASSERT_TRUE(f.pnlCPU.shown());
    openFile(dir.write("one.ini", "[processor-usage]\nmax-threads=1\n"));
    EXPECT_EQ(f.cmbSystem.index(), 1);
    EXPECT_FALSE(f.pnlCPU.shown());
}

TEST_F(Commands, SaveIntoTheOpenedFileKeepsOtherSectionsByteForByte) {
    const std::string path = dir.write("client.ini", kOpenedFile);
    openFile(path);
    form.type(f.seHours, "3");
    saveFile(path);

    const std::string bytes = readBytes(path);
    EXPECT_TRUE(contains(bytes, kForeignTools)) << bytes;
    EXPECT_TRUE(contains(bytes, kForeignExtra)) << bytes;
    EXPECT_FALSE(contains(bytes, "legacy-key")) << bytes;
    const IniText saved{bytes};
    EXPECT_EQ(saved.read("parameters", "id", ""), "loaded@example.org");
    EXPECT_EQ(saved.read("misc", "run-work-limit", ""), "12");
    EXPECT_EQ(saved.read("misc", "run-time-limit", ""), "3:0");
}

TEST_F(Commands, SaveIntoANewFileHoldsOnlyTheEditorsKeys) {
    openFile(dir.write("client.ini", kOpenedFile));
    const std::string target = dir.file("new.ini");
    saveFile(target);

    const std::string bytes = readBytes(target);
    for (const std::string& section : sectionsOf(bytes))
        EXPECT_NE(std::find(std::begin(kOwnedSections), std::end(kOwnedSections), section),
                  std::end(kOwnedSections))
            << section;
    EXPECT_FALSE(contains(bytes, "editor = vi"));
    EXPECT_EQ(IniText{bytes}.read("parameters", "id", ""), "loaded@example.org");
}

TEST_F(Commands, SaveBeforeAnyOpenWritesTheFieldsAsTheyStand) {
    form.type(f.seHours, "7");
    form.type(f.txtBufferIn, "in-7");
    const std::string path = dir.file("fresh.ini");
    saveFile(path);

    test::FakeHost otherHost;
    Form other{otherHost};
    other.create();
    otherHost.openAnswers.push_back(path);
    other.open();
    EXPECT_EQ(other.fields().txtID.text(), "me@example.org");
    EXPECT_EQ(other.fields().seHours.text(), "7");
    EXPECT_EQ(other.fields().txtBufferIn.text(), "in-7");
}

TEST_F(Commands, FailedCheckShowsNoSaveDialogAndWritesNothing) {
    f.txtLogFile.setText("a<b");
    host.saveAnswers.push_back(dir.file("never.ini"));
    form.save();
    EXPECT_TRUE(host.saveProposals.empty());
    EXPECT_EQ(host.calls, (Names{"error", "focus txtLogFile"}));
    EXPECT_EQ(dir.count(), 0u);
}

TEST_F(Commands, CancelInTheIdPromptShowsNoSaveDialog) {
    f.txtID.setText("nobody");
    host.idAnswers.push_back(std::nullopt);
    form.save();
    EXPECT_EQ(host.calls, (Names{"askID nobody"}));
}

TEST_F(Commands, SaveWritesTheChecksCorrections) {
    form.type(f.seWorkComplete, "20000"); // typed, never left
    form.click(f.chkAutoFind);
    f.txtKeyserverIP.setText("");
    const std::string path = dir.file("checked.ini");
    saveFile(path);

    EXPECT_EQ(f.seWorkComplete.text(), "16000");
    const IniText saved{readBytes(path)};
    EXPECT_EQ(saved.read("misc", "run-work-limit", ""), "16000");
    EXPECT_EQ(saved.read("networking", "keyserver", "<absent>"), "<absent>");
}

TEST_F(Commands, CorrectionsStayWhenTheSaveDialogIsCancelled) {
    form.type(f.seOGRWorkFetch, "999");
    form.save();
    EXPECT_EQ(host.calls, (Names{"save"}));
    EXPECT_EQ(f.seOGRWorkFetch.text(), "500");
}

TEST_F(Commands, UnwritableTargetRaisesAndLeavesItAsItWas) {
    // A folder cannot be replaced by a file.
    const std::string folder = dir.file("folder.ini");
    std::filesystem::create_directory(folder);
    host.saveAnswers.push_back(folder);
    EXPECT_EQ(test::messageOf([&] { form.save(); }), "Unable to write to " + folder);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(host.saveProposals, Names{""});
}

TEST(ErrorBoxText, AppendsAFullStopAfterCharactersAboveIt) {
    struct Row {
        const char* message;
        const char* shown;
    } rows[] = {
        {"abc", "abc."},
        {"Unable to write to C:\\a.ini", "Unable to write to C:\\a.ini."},
        {"'x' is not a valid integer value", "'x' is not a valid integer value."},
        {"9", "9."},
        {"a/", "a/."}, // "/" is one above "."
        {"x.", "x."},
        {"(", "("}, // below "."
        {"a -", "a -"},
        {"", ""},
        {"caf\xc3\xa9", "caf\xc3\xa9."}, // bytes above 127 count as high
    };
    for (const Row& r : rows)
        EXPECT_EQ(errorBoxText(r.message), r.shown) << r.message;
}

TEST(ErrorBoxText, FailedSaveAddsItsReasonOnLinesOfTheirOwn) {
    EXPECT_EQ(errorBoxText(SaveError("/a.ini", "No space left on device\nThe file's old "
                                               "content was put back.")),
              "Unable to write to /a.ini.\nNo space left on device\nThe file's old content was "
              "put back.");
    EXPECT_EQ(errorBoxText(SaveError("/a.ini", "")), "Unable to write to /a.ini.");
    EXPECT_EQ(errorBoxText(ConfigError("Coding table entry not found.")),
              "Coding table entry not found.");
}

} // namespace

TEST(WithIniExtension, AddsIniOnlyToANewNameWithoutExtension) {
    const struct {
        const char* name;
        bool exists;
        const char* result;
    } cases[] = {
        {"/etc/clientrc", true, "/etc/clientrc"},
        {"/etc/clientrc", false, "/etc/clientrc.ini"},
        {"client.cfg", false, "client.cfg"},
        {"/a.d/client", false, "/a.d/client.ini"},
        {"/home/u/.clientrc", false, "/home/u/.clientrc.ini"},
        {"client.", false, "client."},
        {"/tmp/", false, "/tmp/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withIniExtension(c.name, c.exists), c.result) << c.name << ' ' << c.exists;
}

// A file that a save wrote, loaded and saved again, reads the same (and comes out
// the same where no value has blanks or quotes at its ends), over many field states
// a user could reach.
#include "load_save_fixture.h"

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

using namespace qe;
using namespace qe::test;

namespace {

// Texts a user might enter, blanks and quotes at their ends included. Hosts and
// user names end at the first ":", so the pools hold no ":" there.
const std::vector<std::string> kTexts = {
    "",           "a",       " lead and trail\t", "\"quoted\"",     "'single'",
    "\"",         "buff-in", "buff-out",          "ExitRC5.now",    "C:\\client\\file.txt",
    "with space", "x=y",     "me@example.org",    "Me@example.org", "/var/lib/client"};
const std::vector<std::string> kHosts = {"", "proxy", " 10.0.0.1", "ks.example.net"};
const std::vector<std::string> kPorts = {"", "25", "8080", "3128 "};
const std::vector<std::string> kUsers = {"", "bob", "alice smith"};
const std::vector<std::string> kPasswords = {"", "secret", "pa:ss", ":x"};

const std::string kForeign = "[client]\nlast-run=yesterday\n";

// Sets the fields to a random state through the user's verbs, in random order,
// so the interlocks between them act as they would for a person.
class RandomUser {
public:
    RandomUser(Form& form, std::mt19937& rng) : form_(form), f_(form.fields()), rng_(rng) {}

    // One action for every field of every owned key, by the field's kind; the
    // radio fields of one container are one action.
    void act() {
        std::vector<std::function<void()>> actions;
        std::set<const Control*> radioGroups;
        for (const Key* k : kOwnedKeys) {
            const std::vector<std::string_view> names = k->fieldNames();
            for (std::size_t i = 0; i < names.size(); ++i) {
                Control* c = f_.find(names[i]);
                switch (c->kind()) {
                case Kind::Choice:
                    actions.push_back([this, c] { pickAny(*c); });
                    break;
                case Kind::Check:
                    actions.push_back([this, c] { maybeClick(*c); });
                    break;
                case Kind::Radio:
                    if (radioGroups.insert(c->parent()).second)
                        actions.push_back([this, c] { selectAny(c->parent()); });
                    break;
                case Kind::Spin:
                    actions.push_back([this, c] { typeNumber(*c); });
                    break;
                default:
                    actions.push_back([this, c, &pool = textsFor(*k, i)] { typeAny(*c, pool); });
                    break;
                }
            }
        }
        std::shuffle(actions.begin(), actions.end(), rng_);
        for (auto& action : actions)
            action();
    }

private:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    // Networking stays enabled most of the time, so that its other keys get written.
    void pickAny(Control& c) {
        if (&c == &f_.cmbNetwork)
            form_.pick(c, below(4) == 0 ? 1 : 0);
        else
            form_.pick(c, below(static_cast<int>(c.items().size())));
    }
    // Hosts and ports for the two parts of an address, user names and passwords for
    // the credential, plain texts for everything else.
    static const std::vector<std::string>& textsFor(const Key& k, std::size_t part) {
        if (k.form == ValueForm::Address) return part == 0 ? kHosts : kPorts;
        if (k.form == ValueForm::Credential) return part == 0 ? kUsers : kPasswords;
        return kTexts;
    }
    void maybeClick(Control& c) {
        if (below(2)) form_.click(c);
    }
    void selectAny(const Control* container) {
        std::vector<Control*> group;
        for (Control* c : container->children())
            if (c->kind() == Kind::Radio) group.push_back(c);
        form_.click(*group[static_cast<std::size_t>(below(static_cast<int>(group.size())))]);
    }
    // Half the time the field's smallest value, which a save often leaves out.
    void typeNumber(Control& c) {
        const int v = below(2)
                          ? c.minValue()
                          : std::uniform_int_distribution<int>(c.minValue(), c.maxValue())(rng_);
        form_.type(c, std::to_string(v));
    }
    void typeAny(Control& c, const std::vector<std::string>& pool) {
        form_.type(c, pool[static_cast<std::size_t>(below(static_cast<int>(pool.size())))]);
    }

    Form& form_;
    Fields& f_;
    std::mt19937& rng_;
};

class RoundTrip : public LoadSave {};

} // namespace

TEST_F(RoundTrip, SavedFileLoadsAndSavesTheSame) {
    std::mt19937 rng(20240611);
    std::map<const Key*, int> keysSeen;
    for (int state = 0; state < 400; ++state) {
        form.cleanINI();
        RandomUser(form, rng).act();
        const std::string first = save(kForeign);
        load(first);
        ASSERT_TRUE(savesStably(first, save(first))) << "state " << state;
        const IniText file(first);
        for (const Key* k : kOwnedKeys)
            if (file.read(k->section, k->name, kAbsent) != kAbsent) ++keysSeen[k];
    }
    for (const Key* k : kOwnedKeys)
        EXPECT_GT(keysSeen[k], 0) << "no generated state wrote " << testing::PrintToString(*k);
}

// The one state a round trip does not keep: thresholds without a resume part load
// the resume temperature as Kelvin 0, which the next save writes.
TEST_F(RoundTrip, ThresholdsWithoutResumeComeBackAsKelvinZero) {
    form.click(f.chkTemperature);
    form.click(f.rbPauseCelcius);
    form.type(f.sePauseTemp, "60");
    form.click(f.rbResumeFahrenheit);
    form.type(f.seResumeTemp, "");
    const std::string first = save();
    EXPECT_EQ(IniText(first).read("triggers", "cpu-temperature-thresholds", kAbsent), "60C");
    load(first);
    EXPECT_EQ(IniText(save(first)).read("triggers", "cpu-temperature-thresholds", kAbsent),
              "60C:0K");
}

// Whatever the file's line endings and odd lines, saving a file the editor has just
// saved keeps it; an unclosed header is a line of the section above.
TEST_F(RoundTrip, SavingASavedFileChangesNothing) {
    const std::vector<std::string> files = {
        "[parameters]\r\nid=me@example.org\n[client-internal]\nmagic = 42\n",
        "[notes]\ntext=x\n[networking\nmore=1\n[other]\ny=2",
        "[client]\r\na=1\r\nb=2\r\n[misc]\nk=1\n[x]\r\n",
        "\xEF\xBB\xBF[misc]\rk=1\r\n[keep]\ny=1",
        "no section\r",
        "",
        // Values whose ends a read takes off, once and more than once.
        "[networking]\nfirewall-type=http\nfirewall-host=\"  'proxy:8080\"  \n",
        "[misc]\nrun-work-limit=' 5 '\n[logging]\nlog-file-type=fifo\nlog-file=\"\"\"x\"\"\"\n",
    };
    for (const std::string& file : files) {
        load(file);
        const std::string first = save(file);
        load(first);
        EXPECT_TRUE(savesStably(first, save(first))) << testing::PrintToString(file);
    }
    load(files[1]);
    EXPECT_EQ(save(files[1]).rfind("[notes]\ntext=x\n[networking\nmore=1\n[other]\ny=2\n", 0), 0u);
}

// The key table against the field model: every editor field has exactly one key,
// every key names real fields, and the keys stand in the order of the owned
// sections, which is the order a save writes them.
#include "fields/fields.h"
#include "fields/keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace qe;

TEST(Keys, EveryEditorFieldIsFilledByExactlyOneKey) {
    const Fields f;
    std::map<std::string, int> keysOfField;
    for (const Key* k : kOwnedKeys)
        for (std::string_view name : k->fieldNames()) {
            const Control* c = f.find(name);
            ASSERT_NE(c, nullptr) << k->name << " names " << name;
            EXPECT_TRUE(c->isEditorField()) << k->name << " names " << name;
            ++keysOfField[std::string(name)];
        }
    for (const Control* c : f.all())
        if (c->isEditorField()) {
            EXPECT_EQ(keysOfField[c->name()], 1) << c->name();
        }
}

TEST(Keys, StandInTheOrderOfTheOwnedSectionsEachOnce) {
    std::set<std::pair<std::string, std::string>> seen;
    std::ptrdiff_t lastSection = 0;
    for (const Key* k : kOwnedKeys) {
        const auto section =
            std::find_if(std::begin(kOwnedSections), std::end(kOwnedSections),
                         [&](const char* s) { return std::string(s) == k->section; });
        ASSERT_NE(section, std::end(kOwnedSections)) << k->section;
        EXPECT_GE(section - std::begin(kOwnedSections), lastSection) << k->name;
        lastSection = section - std::begin(kOwnedSections);
        EXPECT_TRUE(seen.insert({k->section, k->name}).second) << k->name;
    }
    EXPECT_EQ(seen.size(), 49u);
}

TEST(Keys, WordsAndNumbers) {
    EXPECT_EQ(key::logFileType.word(1), "no limit");
    EXPECT_EQ(key::logFileType.word(5), "");
    EXPECT_EQ(key::logFileType.word(-1), "");
    EXPECT_EQ(key::firewallType.item("socks5"), 3);
    EXPECT_EQ(key::firewallType.item("SOCKS5"), 0);
    EXPECT_EQ(key::firewallType.item(""), 0);
    EXPECT_EQ(key::nettimeout.number(), 60);
    EXPECT_EQ(key::maxThreads.number(), -1);
    EXPECT_EQ(indexOfWord(kLogPeriodWords, "weekly"), 1);
    EXPECT_EQ(indexOfWord(kLogPeriodWords, "week"), -1);
}

// A proxy type or system item added in one place and not the others would load,
// save or show the wrong thing.
TEST(Keys, ChoiceItemsHaveTheirWordsAndPorts) {
    const Fields f;
    const std::size_t proxyTypes = f.cmbProxyType.items().size();
    EXPECT_EQ(wordsOf(key::firewallType.words).size(), proxyTypes);
    EXPECT_EQ(wordsOf(key::firewallHost.ports).size(), proxyTypes);
    EXPECT_EQ(proxyPort(kProxyHttp), "8080");
    EXPECT_EQ(proxyPort(-1), proxyPort(kProxyNone));
    EXPECT_EQ(f.cmbSystem.items().size(), std::size(kSystemItems));
    EXPECT_EQ(wordsOf(""), std::vector<std::string_view>{""});
}

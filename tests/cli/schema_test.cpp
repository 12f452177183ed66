#include "cli/json.h"
#include "cli/schema.h"
#include "fields/keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Schema, ListsEveryOwnedKeyOnceInOrder) {
    std::vector<std::string> owned, listed;
    for (const qe::Key* k : qe::kOwnedKeys)
        owned.push_back(std::string(k->section) + "." + k->name);
    const qe::json::Value schema = qe::json::parse(qe::cli::schemaJson());
    ASSERT_NE(schema.find("keys"), nullptr);
    for (const qe::json::Value& k : schema.find("keys")->items())
        listed.push_back(k.find("key")->text());
    EXPECT_EQ(listed, owned);
}

// The form as the window creates it, with a scripted host: the fixture of the
// form, check and load/save tests, and how a failing test prints a key.
#pragma once

#include "fake_host.h"
#include "fields/keys.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string_view>

namespace qe {

inline void PrintTo(const Key& k, std::ostream* os) {
    *os << "[" << k.section << "] " << k.name;
}

namespace test {

class FormTest : public ::testing::Test {
protected:
    FakeHost host;
    Form form{host};
    Fields& f = form.fields();

    void SetUp() override { form.create(); }

    Control& control(std::string_view name) {
        Control* c = f.find(name);
        EXPECT_NE(c, nullptr) << name;
        return *c;
    }
};

} // namespace test
} // namespace qe

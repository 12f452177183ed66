#include "fake_host.h"

#include <gtest/gtest.h>

using namespace qe;

class Interlocks : public ::testing::Test {
protected:
    test::FakeHost host;
    Form form{host};
    Fields& f = form.fields();
    void SetUp() override { form.create(); }
};

TEST_F(Interlocks, StartsOnTheFirstPage) { EXPECT_EQ(f.activePage(), 0); }

// Which page the page keys select, over the shown tabs only.
#include "fake_host.h"
#include "ui/form/page_keys.h"

#include <gtest/gtest.h>

using namespace qe;

class PageKeys : public ::testing::Test {
protected:
    test::FakeHost host;
    Form form{host};
    Fields& f = form.fields();
    void SetUp() override { form.create(); }
};

TEST_F(PageKeys, StepsWrapAndSkipHiddenTabs) {
    EXPECT_EQ(steppedPage(f, 1), 1);
    EXPECT_EQ(steppedPage(f, -1), 12); // tabExtra's tab is never shown
    form.pick(f.cmbNetwork, 1);        // hides the proxy and keyserver tabs
    ASSERT_TRUE(f.activatePage(5));
    EXPECT_EQ(steppedPage(f, 1), 8);
    ASSERT_TRUE(f.activatePage(8));
    EXPECT_EQ(steppedPage(f, -1), 5);
    ASSERT_TRUE(f.activatePage(12));
    EXPECT_EQ(steppedPage(f, 1), 0);
}

TEST_F(PageKeys, AStepWithOnlyOneShownTabStaysPut) {
    for (int i = 1; i < f.pageCount(); ++i)
        f.page(i).setShown(false);
    EXPECT_EQ(steppedPage(f, 1), 0);
    EXPECT_EQ(steppedPage(f, -1), 0);
}

TEST_F(PageKeys, TheFirstShownPageWithTheLetterWins) {
    EXPECT_EQ(pageOfAccelerator(f, 'M'), 3); // "&Miscellaneous", never "&Mail Logging"
    EXPECT_EQ(pageOfAccelerator(f, 'm'), 3);
    EXPECT_EQ(pageOfAccelerator(f, 'X'), 6);
    EXPECT_EQ(pageOfAccelerator(f, 'U'), 10);
    EXPECT_EQ(pageOfAccelerator(f, 'F'), -1); // free for the File menu
    EXPECT_EQ(pageOfAccelerator(f, 0), -1);
    form.pick(f.cmbNetwork, 1);
    EXPECT_EQ(pageOfAccelerator(f, 'X'), -1); // "E&xtra" never counts
    form.click(f.chkRC5);
    EXPECT_EQ(pageOfAccelerator(f, 'R'), -1);
}

TEST(AcceleratorOf, ReadsTheLetterAfterTheAmpersand) {
    EXPECT_EQ(acceleratorOf("Pro&xy Server"), 'X');
    EXPECT_EQ(acceleratorOf("&Email ID"), 'E');
    EXPECT_EQ(acceleratorOf("None"), 0);
    EXPECT_EQ(acceleratorOf("Trailing&"), 0);
}

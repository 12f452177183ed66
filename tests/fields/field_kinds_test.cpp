#include "fields/fields.h"
#include "fields/text.h"

#include <gtest/gtest.h>

using namespace qe;

TEST(ParseInt, AcceptsDecimalAndHexForms) {
    EXPECT_EQ(parseInt("0"), 0);
    EXPECT_EQ(parseInt("  +17"), 17);
    EXPECT_EQ(parseInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(parseInt("2147483647"), INT32_MAX);
    EXPECT_EQ(parseInt("$FFFFFFFF"), -1);
    EXPECT_EQ(parseInt("0x10"), 16);
    EXPECT_EQ(parseInt("X1f"), 31);
    EXPECT_EQ(parseInt("x7FFFFFFF"), INT32_MAX);
}

TEST(ParseInt, RejectsEverythingElse) {
    for (const char* bad : {"", " ", "-", "+", "2147483648", "-2147483649", "12 ", "1a", "$", "0x",
                            "-$1", "+0x1", "$100000000", "1.5", "\t1"})
        EXPECT_FALSE(parseInt(bad).has_value()) << '"' << bad << '"';
}

TEST(Blank, CountsControlCharactersAsBlank) {
    EXPECT_TRUE(isSpaceAndControls(""));
    EXPECT_TRUE(isSpaceAndControls(" \t\r\n\x01"));
    EXPECT_FALSE(isSpaceAndControls(" a "));
    EXPECT_EQ(trimSpaceAndControls("\t a b \n"), "a b");
}

TEST(FieldKinds, TextRunsHandlerOnlyOnRealChange) {
    Fields f;
    int runs = 0;
    f.txtProxyIP.onEvent([&] { ++runs; });
    f.txtProxyIP.setText("host");
    f.txtProxyIP.setText("host");
    f.txtProxyIP.setText("");
    EXPECT_EQ(runs, 2);
}

TEST(FieldKinds, SpinReadConvertsWithoutClampingAndSetClamps) {
    Fields f;
    f.seWorkComplete.setText("20000");
    EXPECT_EQ(f.seWorkComplete.value(), 20000);
    for (const char* unreadable : {"", "-", "abc", " 5 "}) {
        f.seTimeOut.setText(unreadable);
        EXPECT_EQ(f.seTimeOut.value(), 5) << unreadable;
    }
    f.seLogMailSize.setText("");
    EXPECT_EQ(f.seLogMailSize.value(), 2048);
    f.seTimeOut.setValue(1000);
    EXPECT_EQ(f.seTimeOut.text(), "300");
    f.seTimeOut.setValue(-3);
    EXPECT_EQ(f.seTimeOut.text(), "5");
    f.seWorkComplete.setText("99999"); // text from code is never clamped
    EXPECT_EQ(f.seWorkComplete.text(), "99999");
}

TEST(FieldKinds, CheckRunsHandlerOnlyOnRealChange) {
    Fields f;
    int runs = 0;
    f.chkRestart.onEvent([&] { ++runs; });
    f.chkRestart.setChecked(false);
    f.chkRestart.setChecked(true);
    f.chkRestart.setChecked(true);
    EXPECT_EQ(runs, 1);
}

TEST(FieldKinds, RadioSelectionDeselectsItsContainerOnly) {
    Fields f;
    int runs = 0;
    f.rbPauseCelcius.onEvent([&] { ++runs; });
    f.rbPauseCelcius.select();
    f.rbPauseCelcius.select();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(f.rbPausekelvin.checked());
    EXPECT_TRUE(f.rbResumeKelvin.checked()); // another container
    f.rbPauseCelcius.setChecked(false);      // deselecting runs nothing
    EXPECT_EQ(runs, 1);
}

TEST(FieldKinds, ChoiceIndexOutsideItemsGivesNoItem) {
    Fields f;
    int runs = 0;
    f.cmbRC5Core.onEvent([&] { ++runs; });
    f.cmbRC5Core.setIndex(10);
    EXPECT_EQ(f.cmbRC5Core.index(), 10);
    f.cmbRC5Core.setIndex(11);
    EXPECT_EQ(f.cmbRC5Core.index(), -1);
    f.cmbRC5Core.setIndex(-5);
    EXPECT_EQ(f.cmbRC5Core.index(), -1);
    EXPECT_EQ(runs, 0);
}

TEST(FieldTable, HoldsSeventyFiveEditorFieldsWithUniqueNames) {
    Fields f;
    int editorFields = 0;
    for (Control* c : f.all()) {
        EXPECT_EQ(f.find(c->name()), c);
        editorFields += c->isEditorField();
    }
    EXPECT_EQ(editorFields, 75);
    EXPECT_EQ(f.pageCount(), 14);
    EXPECT_EQ(f.find("nothing"), nullptr);
}

TEST(FieldTable, HidingTheTabInViewSelectsTheNextShownPage) {
    Fields f;
    ASSERT_TRUE(f.activatePage(6));
    f.tabKeyserver.setShown(false);
    f.tabProxy.setShown(false);
    EXPECT_EQ(f.activePage(), 8);
    ASSERT_TRUE(f.activatePage(12));
    f.tabLogMail.setShown(false); // nothing shown follows: the last shown one
    EXPECT_EQ(f.activePage(), 11);
    EXPECT_FALSE(f.activatePage(13));
}

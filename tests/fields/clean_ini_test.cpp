#include "fields/fields.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace qe;

TEST(CleanINI, ResetsValuesAndLeavesTheUnresetFieldsAlone) {
    Fields f;
    f.txtID.setText("me@example.org");
    f.seCPU.setText("7");
    f.seLogMailSize.setText("4000");
    f.rbLogPeriod.select();
    f.cmbLogPeriod.setIndex(2);
    f.rbPauseCelcius.select();
    CleanINI(f);
    EXPECT_EQ(f.txtID.text(), "");
    EXPECT_EQ(f.txtLogMailSender.text(), "");
    EXPECT_EQ(f.txtLogMailReceiver.text(), "");
    EXPECT_EQ(f.seLogSize.text(), "100");
    EXPECT_EQ(f.seWorkComplete.text(), "0");
    EXPECT_TRUE(f.rbPausekelvin.checked());
    EXPECT_FALSE(f.rbPauseCelcius.checked());
    EXPECT_EQ(f.cmbOGR.index(), 1);
    EXPECT_TRUE(f.chkFallback.checked());
    EXPECT_EQ(f.txtKeyserverPort.text(), "2064");
    EXPECT_EQ(f.txtLogMailPort.text(), "25");
    // not reset
    EXPECT_EQ(f.seCPU.text(), "7");
    EXPECT_EQ(f.seLogMailSize.text(), "4000");
    EXPECT_TRUE(f.rbLogPeriod.checked());
    EXPECT_EQ(f.cmbLogPeriod.index(), 2);
}

TEST(CleanINI, RunsTheFiveChoiceHandlersInOrder) {
    Fields f;
    std::string order;
    f.cmbBufferLevel.onEvent([&] { order += "B"; });
    f.cmbLogType.onEvent([&] { order += "L"; });
    f.cmbNetwork.onEvent([&] { order += "N"; });
    f.cmbDialup.onEvent([&] { order += "D"; });
    f.cmbProxyType.onEvent([&] { order += "P"; });
    f.cmbSystem.onEvent([&] { order += "S"; });
    CleanINI(f);
    EXPECT_EQ(order, "BLNDP");
}

namespace {

// The value of an editor field of any kind, as text.
std::string valueOf(const Control& c) {
    switch (c.kind()) {
    case Kind::Check:
    case Kind::Radio:
        return c.checked() ? "checked" : "unchecked";
    case Kind::Choice:
        return std::to_string(c.index());
    default:
        return c.text();
    }
}

} // namespace

// Every editor field the table declares is reset, but the six the reset leaves
// alone: a field added to the table and forgotten by CleanINI fails here.
TEST(CleanINI, ResetsEveryOtherEditorFieldFromAnyState) {
    const std::set<std::string> leftAlone{"seCPU",       "rbLogNumber",  "rbLogPeriod",
                                          "seLogNumber", "cmbLogPeriod", "seLogMailSize"};
    Fields fresh, edited;
    CleanINI(fresh);
    for (Control* c : edited.all()) {
        c->setText("7");
        if (c->kind() == Kind::Radio)
            c->select(); // the group's last radio field stays selected
        else
            c->setChecked(!c->checked());
        c->setIndex(static_cast<int>(c->items().size()) - 1);
    }
    CleanINI(edited);
    for (std::size_t i = 0; i < fresh.all().size(); ++i) {
        const Control& want = *fresh.all()[i];
        const Control& got = *edited.all()[i];
        if (!want.isEditorField()) continue;
        EXPECT_EQ(valueOf(want) == valueOf(got), leftAlone.count(want.name()) == 0) << want.name();
    }
}

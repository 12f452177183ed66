#include "fields/fields.h"

#include <gtest/gtest.h>

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

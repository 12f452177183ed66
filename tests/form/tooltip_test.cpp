#include "fields/fields.h"
#include "ui/form/tooltip.h"

#include <gtest/gtest.h>

using namespace qe;

TEST(Tooltip, NamesTheKeyThePartOfASharedValueAndTheLimits) {
    const Fields f;
    const struct Row {
        const Control& field;
        const char* tip;
    } rows[] = {
        {f.txtID, "[parameters] id"},
        {f.seTimeOut, "[networking] nettimeout, 5 to 300 seconds"},
        {f.sePriority, "[processor-usage] priority, 0 to 9"},
        {f.seMinuts, "[misc] run-time-limit, the minutes after the ':', 0 to 59 minutes"},
        {f.txtProxyIP, "[networking] firewall-host, the host before the ':'"},
        {f.txtProxyPort, "[networking] firewall-host, the port after the ':'"},
        {f.txtProxyPass,
         "[networking] firewall-auth, the password, joined to the user name and Base64-encoded"},
        {f.rbLogPeriod, "[logging] log-file-limit"},
        {f.seFontX, ""},
        {f.lblID, ""},
    };
    for (const Row& r : rows)
        EXPECT_EQ(fieldTooltip(r.field), r.tip) << r.field.name();
}

TEST(Tooltip, EveryEditorFieldHasOne) {
    const Fields f;
    for (const Control* c : f.all())
        if (c->isEditorField()) {
            EXPECT_EQ(fieldTooltip(*c).rfind("[", 0), 0u) << c->name();
        }
}

// Parameterised cases named after their rows' name field: RowName as the last
// argument of INSTANTIATE_TEST_SUITE_P. Each row type also gets a PrintTo that
// prints its name, so a failure shows the case rather than its bytes.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace qe::test {

struct RowName {
    template <typename Row> std::string operator()(const testing::TestParamInfo<Row>& info) const {
        return info.param.name;
    }
};

} // namespace qe::test

#pragma once
// Vector comparison shared by the mesh tests.
#include <gtest/gtest.h>

#include "core/math/Vector3.h"

namespace meshtest {

inline void ExpectVector(const ztmath::Vector3& actual, const ztmath::Vector3& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

}  // namespace meshtest

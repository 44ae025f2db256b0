// The one copy of GoogleTest's printing and comparing templates for the common types (see the
// header).
#include "support/GTestInstances.h"

#define ZT_GTEST_PRINT(T) template std::string testing::PrintToString<T>(T const&);
#define ZT_GTEST_COMPARE(A, B)                                                                  \
    template testing::AssertionResult testing::internal::CmpHelperOpFailure<A, B>(              \
        const char*, const char*, A const&, B const&, const char*);
ZT_GTEST_PRINTED_TYPES(ZT_GTEST_PRINT)
ZT_GTEST_COMPARED_TYPES(ZT_GTEST_COMPARE)
template testing::AssertionResult testing::internal::CmpHelperFloatingPointEQ<float>(
    const char*, const char*, float, float);
template testing::AssertionResult testing::internal::CmpHelperFloatingPointEQ<double>(
    const char*, const char*, double, double);

#pragma once
// GoogleTest prints the values of a failed check through templates that every test file would
// compile anew, and under the sanitizers each copy is large. For the types most checks compare,
// they are compiled once into the support library (GTestInstances.cpp) and only called from the
// tests. Only built-in and standard types belong here: a test file may teach GoogleTest to print
// its own types, and every file must then see its own printer.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#define ZT_GTEST_PRINTED_TYPES(X)                                                               \
    X(bool) X(char) X(unsigned char) X(int) X(unsigned int) X(long) X(unsigned long) X(float)     \
    X(double) X(const char*) X(std::nullptr_t) X(std::string) X(std::vector<std::string>)         \
    X(std::vector<int>) X(std::vector<unsigned int>) X(std::vector<float>)                      \
    X(std::vector<unsigned char>)

// The operand types of EXPECT_LT, EXPECT_GE and their kin that most tests use.
#define ZT_GTEST_COMPARED_TYPES(X)                                                              \
    X(int, int) X(unsigned int, unsigned int) X(unsigned long, unsigned long)                   \
    X(unsigned long, unsigned int) X(float, float) X(double, double)

#define ZT_GTEST_EXTERN_PRINT(T) extern template std::string testing::PrintToString<T>(T const&);
#define ZT_GTEST_EXTERN_COMPARE(A, B)                                                           \
    extern template testing::AssertionResult testing::internal::CmpHelperOpFailure<A, B>(       \
        const char*, const char*, A const&, B const&, const char*);
ZT_GTEST_PRINTED_TYPES(ZT_GTEST_EXTERN_PRINT)
ZT_GTEST_COMPARED_TYPES(ZT_GTEST_EXTERN_COMPARE)
extern template testing::AssertionResult testing::internal::CmpHelperFloatingPointEQ<float>(
    const char*, const char*, float, float);
extern template testing::AssertionResult testing::internal::CmpHelperFloatingPointEQ<double>(
    const char*, const char*, double, double);
#undef ZT_GTEST_EXTERN_PRINT
#undef ZT_GTEST_EXTERN_COMPARE

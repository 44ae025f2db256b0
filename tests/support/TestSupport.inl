#pragma once
#include <gtest/gtest.h>
#include <cstdio>

namespace zttest {

template <class Fn>
std::string CaptureStdout(Fn&& fn)
{
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    fn();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

}  // namespace zttest

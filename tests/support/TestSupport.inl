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

template <class Fn>
std::string CaptureStderr(Fn&& fn)
{
    std::fflush(stderr);
    testing::internal::CaptureStderr();
    fn();
    std::fflush(stderr);
    return testing::internal::GetCapturedStderr();
}

}  // namespace zttest

#pragma once
// Helpers shared by the unit tests.
#include <filesystem>
#include <string>

namespace zttest {

// A fresh, empty folder under the build's test scratch area, unique per call.
std::filesystem::path MakeTempDir(const std::string& tag);

// The whole file, byte for byte; empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);
// Replaces the file's content with exactly these bytes.
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// Runs `fn` with standard output captured; returns what it printed.
template <class Fn>
std::string CaptureStdout(Fn&& fn);

// Runs `fn` with standard error captured; returns what it printed.
template <class Fn>
std::string CaptureStderr(Fn&& fn);

}  // namespace zttest

#include "support/TestSupport.inl"

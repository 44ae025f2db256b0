// EngineAssert: the report on standard output (checked in a child process whose standard output
// is a pipe, as when the game's output is piped), the abort, and the qualified function name.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "core/util/assert/EngineAssert.h"
#include "support/TestSupport.h"

namespace zttest_registry {

struct Registry {
    bool IsValidSharedData(const std::string& name) const { return name == "known"; }

    // The check and the line it reports, kept on one line.
    void Lookup(const std::string& name) { EngineAssert(IsValidSharedData(name)); } static constexpr int kCheckLine = __LINE__;
};

}  // namespace zttest_registry

namespace {

struct ChildResult {
    std::string out;
    std::string err;
    int status = 0;
};

// Runs `fn` in a child process with standard output on a pipe and standard error in a file.
template <class Fn>
ChildResult RunInChild(Fn fn)
{
    const std::string errPath = (zttest::MakeTempDir("engine_assert") / "stderr.txt").string();
    int pipeFds[2];
    EXPECT_EQ(pipe(pipeFds), 0);
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[1]);
        if (std::freopen(errPath.c_str(), "w", stderr) == nullptr)
            _exit(3);
        fn();
        std::fflush(stdout);
        _exit(0);
    }
    close(pipeFds[1]);
    ChildResult result;
    char buffer[512];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        result.out.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    waitpid(pid, &result.status, 0);
    std::ifstream errFile(errPath);
    result.err.assign(std::istreambuf_iterator<char>(errFile), std::istreambuf_iterator<char>());
    return result;
}

TEST(EngineAssert, FailedCheckPrintsTheWholeReportThroughAPipeThenAborts)
{
    zttest_registry::Registry registry;
    const ChildResult child = RunInChild([&] { registry.Lookup("unknown"); });

    EXPECT_EQ(child.out, "Sorry I fucked up: (IsValidSharedData(name)) at function: "
                         "zttest_registry::Registry::Lookup at line: " +
                             std::to_string(zttest_registry::Registry::kCheckLine) +
                             "\n File: " + __FILE__ + "\n\n");
    ASSERT_TRUE(WIFSIGNALED(child.status)) << "status " << child.status;
    EXPECT_EQ(WTERMSIG(child.status), SIGABRT);
    EXPECT_NE(child.err.find("Assertion `false' failed"), std::string::npos) << child.err;
}

TEST(EngineAssert, HoldingCheckPrintsNothingAndCarriesOn)
{
    zttest_registry::Registry registry;
    const ChildResult child = RunInChild([&] {
        registry.Lookup("known");
        std::printf("after");
    });
    EXPECT_EQ(child.out, "after");
    ASSERT_TRUE(WIFEXITED(child.status));
    EXPECT_EQ(WEXITSTATUS(child.status), 0);
}

struct NameCase {
    const char* pretty;
    const char* qualified;
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << c.pretty;
}

class QualifiedFunctionNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(QualifiedFunctionNameTest, KeepsOnlyTheQualifiedName)
{
    EXPECT_EQ(ztengine::QualifiedFunctionName(GetParam().pretty), GetParam().qualified);
}

INSTANTIATE_TEST_SUITE_P(
    Signatures, QualifiedFunctionNameTest,
    testing::Values(
        NameCase{"T& ztengine::App::GetSharedData(const std::string&) [with T = int; "
                 "std::string = std::__cxx11::basic_string<char>]",
                 "ztengine::App::GetSharedData"},
        NameCase{"void ztengine::PhysicsEngine::RemoveBody(uint32_t)",
                 "ztengine::PhysicsEngine::RemoveBody"},
        NameCase{"int main()", "main"},
        NameCase{"static void ztengine::Entity::Make()", "ztengine::Entity::Make"},
        NameCase{"ztengine::World::World(int)", "ztengine::World::World"},
        NameCase{"const char* ztengine::Name(int) const", "ztengine::Name"},
        NameCase{"std::map<int, std::vector<int> > ns::Lists(std::pair<int, int>)", "ns::Lists"},
        NameCase{"void ns::Holder<T>::Put(T) [with T = std::pair<int, float>]",
                 "ns::Holder<T>::Put"},
        NameCase{"bool ns::Key::operator<(const ns::Key&) const", "ns::Key::operator<"},
        NameCase{"void ns::Fn::operator()(int)", "ns::Fn::operator()"},
        NameCase{"ns::Fn::operator bool() const", "ns::Fn::operator bool"},
        NameCase{"void {anonymous}::Tidy()", "{anonymous}::Tidy"},
        NameCase{"void (anonymous namespace)::Tidy()", "(anonymous namespace)::Tidy"},
        NameCase{"ns::Sys::Init()::<lambda(int)>", "ns::Sys::Init"},
        NameCase{"not a signature", "not a signature"}));

}  // namespace

// The built game as a player starts it: run from a copy of the runtime folder on a virtual
// display and stopped by a termination request, and started without any display.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/AppFixture.h"
#include "support/TestSupport.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

fs::path GameBinary()
{
    return fs::path(ZT_RUNTIME_DIR).parent_path() / "bin" / "GrelvokVoskDungeon";
}

using zttest::ReadBytes;

struct RunResult {
    std::string out;
    std::string err;
    int status = -1;
    bool timedOut = false;
};

// Starts the game in `dir` with `env`, collects its output and, once standard output holds
// `signalAfter`, sends it SIGTERM. Gives up (and kills it) after the timeout.
RunResult RunGame(const fs::path& dir, const std::vector<std::string>& env,
                  const std::string& signalAfter, std::chrono::seconds timeout)
{
    RunResult result;
    int outPipe[2];
    int errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0)
        return result;
    const std::string binary = GameBinary().string();
    std::vector<char*> envp;
    for (const std::string& entry : env)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        close(outPipe[0]);
        close(errPipe[0]);
        if (chdir(dir.c_str()) != 0)
            _exit(126);
        char* argv[] = {const_cast<char*>(binary.c_str()), nullptr};
        execve(binary.c_str(), argv, envp.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);

    const auto deadline = std::chrono::steady_clock::now() + timeout;
    bool signalled = signalAfter.empty();
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    int open = 2;
    while (open > 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            result.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        if (poll(fds, 2, 200) < 0)
            break;
        for (pollfd& fd : fds) {
            if (fd.fd < 0 || (fd.revents & (POLLIN | POLLHUP)) == 0)
                continue;
            char buffer[4096];
            const ssize_t n = read(fd.fd, buffer, sizeof(buffer));
            if (n <= 0) {
                close(fd.fd);
                fd.fd = -1;
                --open;
                continue;
            }
            (fd.fd == outPipe[0] ? result.out : result.err).append(buffer, static_cast<size_t>(n));
        }
        if (!signalled && result.out.find(signalAfter) != std::string::npos) {
            kill(pid, SIGTERM);
            signalled = true;
        }
    }
    for (pollfd& fd : fds)
        if (fd.fd >= 0)
            close(fd.fd);
    waitpid(pid, &result.status, 0);
    return result;
}

// The environment of this process, without the variables named.
std::vector<std::string> EnvironmentWithout(const std::vector<std::string>& names)
{
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        bool dropped = false;
        for (const std::string& drop : names)
            dropped = dropped || name == drop;
        if (!dropped)
            env.push_back(text);
    }
    return env;
}

// The event names as the game reads them: the text before the first blank of every non-empty
// line, carriage returns dropped.
std::vector<std::string> EventNames(const fs::path& file)
{
    std::vector<std::string> names;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        names.push_back(line.substr(0, line.find(' ')));
    }
    return names;
}

// Every file under the folder (not following links) with its size and content stamp.
std::map<std::string, std::string> Snapshot(const fs::path& dir)
{
    std::map<std::string, std::string> files;
    for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator();
         ++it) {
        if (it->is_symlink()) {
            files[fs::relative(it->path(), dir).string()] = "link";
            it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file())
            files[fs::relative(it->path(), dir).string()] = ReadBytes(it->path());
        else
            files[fs::relative(it->path(), dir).string()] = "folder";
    }
    return files;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

class GameRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::exists(GameBinary()))
            GTEST_FAIL() << "the game is not built: " << GameBinary()
                         << " (build the GrelvokVoskDungeon target first)";
        workDir = zttest::MakeRuntimeWorkspace("e2e");
        // A hand-written settings file: valid, but not in the form the game writes.
        std::ofstream(workDir / "config.ini") << "{ \"w\": 640, \"h\": 480, \"fullscreen\": false, \"vsync\": false }\n";
    }

    fs::path workDir;
};

TEST_F(GameRun, StopsCleanlyOnATerminationRequest)
{
    ASSERT_TRUE(zttest::EnsureDisplay());
    // The GL driver is unloaded before the game exits, and the leak check of a sanitized build
    // could then not tell the driver's own leftovers from the game's (the in-process tests check
    // the game's memory with the driver kept loaded).
    std::vector<std::string> env = EnvironmentWithout({"WAYLAND_DISPLAY", "ASAN_OPTIONS"});
    env.push_back("ASAN_OPTIONS=detect_leaks=0");
    const RunResult run = RunGame(workDir, env, "all jobs completed!\n", std::chrono::seconds(300));
    ASSERT_FALSE(run.timedOut) << run.out << run.err;
    ASSERT_TRUE(WIFEXITED(run.status)) << "status " << run.status << "\n" << run.err;
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.err;

    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("FMOD Version: ", 0), 0u) << lines.front();
    // On a machine without a sound card one line says so, and only one.
    const size_t silent = lines.size() > 1 &&
                          lines[1] == "No sound device found: running without sound output."
                              ? 1
                              : 0;
    // Then one line per event name, in file order.
    const std::vector<std::string> names = EventNames(workDir / "EventNames.txt");
    ASSERT_GT(lines.size(), names.size() + silent);
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(lines[1 + silent + i], "Loaded event name: " + names[i]);
    size_t completed = 0;
    for (const std::string& line : lines)
        completed += line == "all jobs completed!";
    EXPECT_EQ(completed, 1u);
    EXPECT_EQ(lines.back(), "shutdown!");

    EXPECT_EQ(ReadBytes(workDir / "config.ini"),
              "{\"w\":640,\"h\":480,\"fullscreen\":false,\"vsync\":false}");

    // Nothing was logged, so no log file is left behind.
    EXPECT_TRUE(fs::is_empty(workDir / "logs"));
}

TEST_F(GameRun, WithoutADisplayItSaysSoAndWritesNothing)
{
    const std::map<std::string, std::string> before = Snapshot(workDir);
    const RunResult run = RunGame(workDir, EnvironmentWithout({"DISPLAY", "WAYLAND_DISPLAY"}), "",
                                  std::chrono::seconds(60));
    ASSERT_FALSE(run.timedOut);
    ASSERT_TRUE(WIFEXITED(run.status)) << run.err;
    EXPECT_NE(WEXITSTATUS(run.status), 0);
    // The audio library may add its own complaints about a missing sound card.
    size_t reasons = 0;
    for (const std::string& line : Lines(run.err))
        reasons += line.rfind("GrelvokVoskDungeon could not start: ", 0) == 0;
    EXPECT_EQ(reasons, 1u) << run.err;
    EXPECT_EQ(Snapshot(workDir), before);
}

}  // namespace

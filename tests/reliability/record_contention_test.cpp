// Two orlaxctl processes pass final checks into the same production record
// at the same time: every record is one whole line, none cut or mixed into
// another, and each process numbers its own records from 1. Each process
// reads its scenario from a pipe, so that both wait until the test lets
// them go together.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "support/data_root.h"
#include "support/passing_unit.h"

extern char** environ;

namespace orlax::reliability {
namespace {

constexpr int kChecksPerProcess = 200;
constexpr int kProcesses = 2;

// The passing unit's record line, but for its number, time and date.
const std::regex kRecordLine(
    R"((\d{6}),Not Set,\d\d:\d\d,\d\d\\\d\d\\\d{4},Not Set,099,0000001234,0000001240,)"
    R"(0000,0000,0000,0000,0000,0000,0000,0000,0000,0000,000,000,000,200,000,180,)");

// Starts orlaxctl with `args`, its output going to `outPath`; the process id.
pid_t StartOrlaxctl(const std::vector<std::string>& args, const std::string& outPath) {
    std::vector<char*> argv{const_cast<char*>(ORLAXCTL_PATH)};
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    if (posix_spawn(&pid, ORLAXCTL_PATH, &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Writes `text` into the pipe that process `pid` reads its scenario from,
// once it has opened it. False when the process ended or did not open the
// pipe within ten seconds (the pipe is then never waited on).
bool FeedPipe(const std::string& pipe, pid_t pid, std::string_view text) {
    for (int tries = 0; tries < 1000; ++tries) {
        const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            const bool whole = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
            ::close(fd);
            return whole;
        }
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) return false;
        ::usleep(10000);
    }
    return false;
}

// The processes a test started; those not waited for by the end are killed.
struct Children {
    std::array<pid_t, kProcesses> pids{};

    ~Children() {
        for (const pid_t pid : pids) {
            if (pid <= 0) continue;
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    int ExitStatus(int i) {
        int status = 0;
        const bool ended = ::waitpid(pids[i], &status, 0) == pids[i];
        pids[i] = 0;
        return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(RecordUnderContention, TwoProcessesLeaveOnlyWholeLines) {
    testing::TempDataRoot data;
    data.Put("fdefault.fzp", testing::PatternBytes(1500));

    Children children;
    std::array<std::string, kProcesses> scenarios, outputs;
    for (int i = 0; i < kProcesses; ++i) {
        scenarios[i] = data.Root() + "/unit" + std::to_string(i) + ".json";
        outputs[i] = data.Root() + "/out" + std::to_string(i) + ".txt";
        ASSERT_EQ(::mkfifo(scenarios[i].c_str(), 0600), 0);
        std::vector<std::string> args{"--emulate=" + scenarios[i], "--fast", "--data-root", data.Root()};
        args.insert(args.end(), kChecksPerProcess, "final-check");
        children.pids[i] = StartOrlaxctl(args, outputs[i]);
        ASSERT_GT(children.pids[i], 0) << "orlaxctl could not be started";
    }
    for (int i = 0; i < kProcesses; ++i)
        ASSERT_TRUE(FeedPipe(scenarios[i], children.pids[i], testing::kPassingScenarioJson))
            << "orlaxctl " << i;
    for (int i = 0; i < kProcesses; ++i) {
        EXPECT_EQ(children.ExitStatus(i), 0) << ReadAll(outputs[i]).substr(0, 2000);
        EXPECT_EQ(Count(ReadAll(outputs[i]), data.PathOf("ORLAXPRO.log") + "    File updated !! \n"),
                  std::size_t{kChecksPerProcess});
    }

    const std::string record = data.Read("ORLAXPRO.log");
    ASSERT_TRUE(record.ends_with("\r\n"));
    std::map<int, int> numbers;  // record number -> lines that carry it
    std::size_t lines = 0;
    std::size_t turns = 0;  // lines whose number does not follow the line before
    int previous = 0;
    for (std::size_t at = 0; at < record.size();) {
        const std::size_t end = record.find("\r\n", at);
        const std::string line = record.substr(at, end - at);
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, kRecordLine)) << "line " << lines + 1 << ": " << line;
        const int number = std::stoi(match[1]);
        ++numbers[number];
        turns += number != previous + 1;
        previous = number;
        ++lines;
        at = end + 2;
    }
    std::printf("production record under contention: %zu records written, the writer changed %zu times\n",
                lines, turns);
    EXPECT_EQ(lines, std::size_t{kProcesses * kChecksPerProcess});
    ASSERT_EQ(numbers.size(), std::size_t{kChecksPerProcess});
    for (const auto& [number, count] : numbers) EXPECT_EQ(count, kProcesses) << "record " << number;
    EXPECT_EQ(numbers.begin()->first, 1);
    EXPECT_EQ(numbers.rbegin()->first, kChecksPerProcess);
}

}  // namespace
}  // namespace orlax::reliability

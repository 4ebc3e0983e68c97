// orlax-emulator as a technician runs it: the network unit answering status
// requests and taking jobs on one port, stopped by a signal.
#include <gtest/gtest.h>
#include <poll.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "emulator/device_model.h"
#include "emulator/journal.h"
#include "emulator/scenario.h"
#include "support/emulator_process.h"
#include "support/temp_dir.h"
#include "links/socket/network_link.h"

namespace orlax::links::socket {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::EmulatorProcess;
using testing::ReadText;
using testing::SendJob;

class OrlaxEmulator : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return dir_.PathOf(name); }
    std::string WriteFile(const std::string& name, const std::string& text) const {
        std::ofstream(PathOf(name)) << text;
        return PathOf(name);
    }

    // Starts the unit on a free loopback port with a journal.
    std::unique_ptr<EmulatorProcess> Start(const std::string& scenarioJson = "{}",
                                           const std::vector<std::string>& more = {}) {
        // The address and journal after "=", the scenario as the next word.
        std::vector<std::string> args{"--listen=127.0.0.1:0", "--scenario",
                                      WriteFile("scenario.json", scenarioJson), "--journal=" + PathOf("journal.txt")};
        args.insert(args.end(), more.begin(), more.end());
        auto process = std::make_unique<EmulatorProcess>(args, PathOf("stderr.txt"));
        port_ = process->ListeningPort();
        EXPECT_NE(port_, 0) << ReadText(PathOf("stderr.txt"));
        return process;
    }

    Outcome Status(ReplyBuffer& reply) const {
        return ExchangeStatus({"127.0.0.1", port_}, protocol::MakeStatusRequest(0), std::chrono::steady_clock::now() + 5s, reply);
    }

    std::string Journal() const { return ReadText(PathOf("journal.txt")); }

    orlax::testing::TempDir dir_{"orlax-emulator-test"};
    std::uint16_t port_ = 0;
};

TEST_F(OrlaxEmulator, RefusesBadCommandLinesWithStatus2) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::string badScenario = WriteFile("bad.json", R"({"busyPolls": -1})");
    const std::vector<Case> cases = {
        {{}, "--listen HOST:PORT is required"},
        {{"--listen"}, "option --listen needs a value"},
        {{"--listen", "localhost:port"}, "expected HOST:PORT"},
        {{"--listen", "::1:9100"}, "expected HOST:PORT"},
        {{"--listen", "127.0.0.1:65536"}, "expected HOST:PORT"},
        {{"--listen", "127.0.0.1:0", "--verbose"}, "unknown argument '--verbose'"},
        {{"--listen", "127.0.0.1:0", "--scenario", PathOf("missing.json")}, "missing.json"},
        {{"--listen", "127.0.0.1:0", "--scenario", badScenario}, "busyPolls"},
        {{"--listen", "127.0.0.1:0", "--journal", PathOf("no/such/folder/journal.txt")}, "journal"},
        {{"--listen", "127.0.0.1:0", "--idle-limit", "0"}, "--idle-limit '0': expected whole seconds"},
        {{"--listen", "127.0.0.1:0", "--idle-limit", "3601"}, "expected whole seconds from 1 to 3600"},
        {{"--listen", "127.0.0.1:0", "--idle-limit", "1s"}, "expected whole seconds"},
        {{"--listen", "127.0.0.1:0", "--idle-limit"}, "option --idle-limit needs a value"},
        {{"--listen=", "127.0.0.1:0"}, "option --listen= needs a value"},
        {{"--listen=127.0.0.1:0", "--idle-limit=0"}, "--idle-limit '0': expected whole seconds"},
        {{"--listen=127.0.0.1:0", "--scenario=" + badScenario}, "busyPolls"},
        {{"--listen=127.0.0.1:0", "--help=1"}, "unknown argument '--help=1'"},
        {{"--listen=127.0.0.1:0", "127.0.0.1:1"}, "unknown argument '127.0.0.1:1'"},
        // The USB unit's options go through the same helper, up to "--".
        {{"--usb"}, "--usb needs a command to run"},
        {{"--usb", "--serial"}, "option --serial needs a value"},
        {{"--usb", "--serial=", "--", "true"}, "option --serial= needs a value"},
        {{"--usb", "--serial=a;b", "--", "true"}, "--serial 'a;b': expected 1 to"},
        {{"--usb", "--unplug-after", "0", "--", "true"}, "expected a status request count from 1"},
        {{"--usb", "--silent=1", "--", "true"}, "unknown argument '--silent=1' (with --usb)"},
    };
    for (const Case& c : cases) {
        EmulatorProcess process(c.args, PathOf("stderr.txt"));
        EXPECT_EQ(process.Stop(0), 2) << c.message;
        EXPECT_NE(ReadText(PathOf("stderr.txt")).find(c.message), std::string::npos) << ReadText(PathOf("stderr.txt"));
    }
}

// Each status request gets the reply the device model gives, the scripted
// ones included; a failed read resets the connection.
TEST_F(OrlaxEmulator, AnswersStatusRequestsAsTheDeviceModel) {
    const std::string scenarioJson =
        R"({"record": {"yellowSpitsA": 1520}, "replies": ["busy", "fail", "empty", "one", {"length": 25}, "badsum"]})";
    emulator::Scenario scenario = emulator::DefaultScenario();
    std::string error;
    ASSERT_TRUE(emulator::ParseScenario(scenarioJson, scenario, error)) << error;
    emulator::DeviceModel model(scenario);
    const auto unit = Start(scenarioJson);

    std::string journal;
    for (int read = 0; read < 7; ++read) {
        const emulator::StatusReply expected = model.ReadStatus();
        ReplyBuffer reply{};
        const Outcome outcome = Status(reply);
        if (expected.failed) {
            EXPECT_EQ(outcome.result, LinkResult::NetworkError) << read;
            journal += "STATUS FAIL\n";
            continue;
        }
        ASSERT_EQ(outcome.result, LinkResult::Ok) << read << ": " << outcome.detail;
        ASSERT_EQ(outcome.length, expected.bytes.size()) << read;
        EXPECT_TRUE(std::equal(expected.bytes.begin(), expected.bytes.end(), reply.begin())) << read;
        journal += "STATUS " + std::to_string(expected.bytes.size()) + "\n";
    }
    EXPECT_EQ(unit->Stop(SIGTERM), 0);
    EXPECT_EQ(Journal(), journal);
}

// Every connection that does not start with the status packet is a job,
// whatever its length, but one that ends without a byte; the unit obeys the
// command packets among them.
TEST_F(OrlaxEmulator, TakesEveryOtherConnectionAsOneJob) {
    const std::string scenarioJson = R"({"record": {"yellowSpitsA": 1520, "cyanSpitsB": 301}})";
    emulator::Scenario scenario = emulator::DefaultScenario();
    std::string error;
    ASSERT_TRUE(emulator::ParseScenario(scenarioJson, scenario, error)) << error;
    emulator::DeviceModel model(scenario);
    const auto unit = Start(scenarioJson);

    std::vector<std::uint8_t> file(5000);
    for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<std::uint8_t>(i * 31 + 7);
    const std::vector<std::vector<std::uint8_t>> jobs = {
        {0x1B, 0x04, 0x02, 0x01, 0x00, 0x00, 0x00, 0x22},  // ClearSpits 1
        {0x1B, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},  // status-like, wrong checksum
        {0x1B, 0x04, 0x02},
        {},
        std::vector<std::uint8_t>(64, 0x5A),
        std::vector<std::uint8_t>(65, 0x5A),
        file,
        {0x1B, 0x04, 0x02, 0x02, 0x00, 0x00, 0x00, 0x23},  // ClearSpits 2
    };
    std::string journal;
    for (const auto& job : jobs) {
        ASSERT_TRUE(SendJob(port_, job, 999));
        if (job.empty()) continue;  // a bare connect and close: no job
        model.ReceiveJob(job);
        journal += emulator::JobLine("", job) + "\n";
    }
    const emulator::StatusReply expected = model.ReadStatus();
    ReplyBuffer reply{};
    ASSERT_EQ(Status(reply).result, LinkResult::Ok);
    EXPECT_TRUE(std::equal(expected.bytes.begin(), expected.bytes.end(), reply.begin()));
    EXPECT_EQ(reply[17], 0) << "the spit counters were cleared";
    EXPECT_EQ(unit->Stop(SIGTERM), 0);
    EXPECT_EQ(Journal(), journal + "STATUS 100\n");
}

// CUPS may be sending a job while the tool asks for status.
TEST_F(OrlaxEmulator, AnswersStatusWhileAJobIsOpen) {
    const auto unit = Start();
    const int job = testing::ConnectTo(port_);
    ASSERT_GE(job, 0);
    const std::vector<std::uint8_t> first(100, 0x11);
    ASSERT_TRUE(testing::SendAll(job, first));

    ReplyBuffer reply{};
    const Outcome outcome = Status(reply);
    EXPECT_EQ(outcome.result, LinkResult::Ok) << outcome.detail;
    EXPECT_EQ(outcome.length, 100u);

    ASSERT_TRUE(testing::SendAll(job, first));
    ::shutdown(job, SHUT_WR);
    char c = 0;
    while (::recv(job, &c, 1, 0) > 0) {
    }
    ::close(job);
    EXPECT_EQ(unit->Stop(SIGTERM), 0);
    EXPECT_EQ(Journal(), "STATUS 100\n" + emulator::JobLine("", std::vector<std::uint8_t>(200, 0x11)) + "\n");
}

// Whether the unit has closed `fd`, waiting at most 10 s for it.
bool ClosedByUnit(int fd) {
    pollfd entry{fd, POLLIN, 0};
    char byte = 0;
    return ::poll(&entry, 1, 10000) == 1 && ::recv(fd, &byte, 1, MSG_DONTWAIT) <= 0;
}

// A connection that sends nothing for the idle limit is dropped, and the
// job it had begun is not taken; one that keeps sending, however slowly,
// is not dropped.
TEST_F(OrlaxEmulator, DropsConnectionsIdleForTheIdleLimit) {
    const auto unit = Start("{}", {"--idle-limit", "1"});
    struct Quiet {
        std::vector<std::uint8_t> sent;
        const char* message;  // on stderr when it is dropped; "" for none
    };
    const std::vector<Quiet> quiet = {
        {{}, ""},
        {{0x42}, "a job of 1 bytes was abandoned before its end (no byte for 1 s)"},
        {{0x1B, 0x04, 0x00, 0x00}, "a job of 4 bytes was abandoned before its end (no byte for 1 s)"},
        {std::vector<std::uint8_t>(9, 0x1B), "a job of 9 bytes was abandoned before its end (no byte for 1 s)"},
    };
    std::vector<int> fds;
    for (const Quiet& q : quiet) {
        fds.push_back(testing::ConnectTo(port_));
        ASSERT_GE(fds.back(), 0);
        ASSERT_TRUE(testing::SendAll(fds.back(), q.sent));
    }
    // 8 bytes, then a byte every 250 ms for 2 s: twice the idle limit in all.
    const int trickling = testing::ConnectTo(port_);
    ASSERT_GE(trickling, 0);
    std::vector<std::uint8_t> trickled(8, 0x77);
    ASSERT_TRUE(testing::SendAll(trickling, trickled));
    for (std::uint8_t b = 1; b <= 8; ++b) {
        ASSERT_TRUE(testing::SendAll(trickling, std::span(&b, 1))) << "byte " << int(b);
        trickled.push_back(b);
        std::this_thread::sleep_for(250ms);
    }
    for (std::size_t i = 0; i < quiet.size(); ++i) {
        EXPECT_TRUE(ClosedByUnit(fds[i])) << i;
        ::close(fds[i]);
    }
    ::shutdown(trickling, SHUT_WR);
    EXPECT_TRUE(ClosedByUnit(trickling));
    ::close(trickling);
    EXPECT_EQ(unit->Stop(SIGTERM), 0);
    EXPECT_EQ(Journal(), emulator::JobLine("", trickled) + "\n");
    const std::string errors = ReadText(PathOf("stderr.txt"));
    for (const Quiet& q : quiet) {
        if (*q.message == '\0') continue;
        EXPECT_NE(errors.find(q.message), std::string::npos) << q.message << " in\n" << errors;
    }
}

// With --keep-open the unit takes a job when its sender closes its side, and
// keeps its own side open until the sender closes or the idle limit passes,
// as many network printers do: a sender that waits for the unit to close
// first (CUPS's socket backend without waiteof=false) waits that long.
TEST_F(OrlaxEmulator, KeepsTheConnectionOpenAfterAJobWhenAsked) {
    const auto unit = Start("{}", {"--keep-open", "--idle-limit", "1"});
    const std::vector<std::uint8_t> command{0x1B, 0x04, 0x02, 0x01, 0x00, 0x00, 0x00, 0x22};
    const int job = testing::ConnectTo(port_);
    ASSERT_GE(job, 0);
    ASSERT_TRUE(testing::SendAll(job, command));
    ::shutdown(job, SHUT_WR);
    pollfd entry{job, POLLIN, 0};
    EXPECT_EQ(::poll(&entry, 1, 300), 0) << "the unit closed its side at once";
    EXPECT_EQ(Journal(), emulator::JobLine("", command) + "\n") << "the job is the unit's once its last byte is in";
    EXPECT_TRUE(ClosedByUnit(job));
    ::close(job);
    EXPECT_EQ(unit->Stop(SIGTERM), 0);
    EXPECT_EQ(ReadText(PathOf("stderr.txt")).find("abandoned"), std::string::npos);
}

// SIGTERM and SIGINT end the program cleanly; a job cut short by the stop
// is not delivered.
TEST_F(OrlaxEmulator, StopsCleanlyOnSignals) {
    for (const int signal : {SIGTERM, SIGINT}) {
        const auto unit = Start();
        const int job = testing::ConnectTo(port_);
        ASSERT_GE(job, 0);
        ASSERT_TRUE(testing::SendAll(job, std::vector<std::uint8_t>(50, 0x22)));
        ReplyBuffer reply{};
        ASSERT_EQ(Status(reply).result, LinkResult::Ok);  // the job's bytes have been read by now
        EXPECT_EQ(unit->Stop(signal), 0) << signal;
        EXPECT_EQ(unit->ReadLine(), "orlax-emulator: stopped") << signal;
        ::close(job);
        EXPECT_EQ(Journal(), "STATUS 100\n") << signal;
        fs::remove(PathOf("journal.txt"));
    }
}

}  // namespace
}  // namespace orlax::links::socket

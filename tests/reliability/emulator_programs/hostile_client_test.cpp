// orlax-emulator against clients that misbehave, one after another on one
// running unit: connections that never send (more than it keeps open),
// that close without sending, that send one byte and go quiet, that
// trickle bytes, status requests followed by more bytes, a job of 256 MiB
// (a status request half-way through), 100 status requests at once, 100
// jobs held open at once, a client that drops its job half-way. During and
// after each, a status request is answered within the query's budget and
// the journal holds exactly what each client should have left there; the
// unit's memory stays bounded and it ends cleanly on SIGTERM at the end.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <regex>
#include <thread>

#include "emulator_programs/unit_server.h"
#include "emulator/journal.h"
#include "emulator/sha256.h"
#include "reliability/emulator_programs/unit_clients.h"
#include "support/emulator_process.h"
#include "links/socket/network_link.h"
#include "support/temp_dir.h"

namespace orlax::reliability {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

constexpr long kMemoryBoundKiB = 64 * 1024;
constexpr std::size_t kMiB = 1 << 20;
const std::string kStatusLine = "STATUS 100";
const protocol::CommandPacket kStatusPacket = protocol::MakeStatusRequest(0);

class HostileClients : public ::testing::Test {
protected:
    void SetUp() override {
        unit_ = std::make_unique<testing::EmulatorProcess>(
            std::vector<std::string>{"--listen", "127.0.0.1:0", "--journal", Path("journal.txt")}, Path("stderr.txt"));
        port_ = unit_->ListeningPort();
        pid_ = unit_->Pid();
        ASSERT_NE(port_, 0) << testing::ReadText(Path("stderr.txt"));
        ASSERT_GT(pid_, 0);
    }
    // The unit is killed by its destructor if the test ended before it stopped.
    void TearDown() override {
        unit_.reset();
    }

    std::string Path(const std::string& name) const { return dir_.PathOf(name); }

    // A status request over the network link, given the query's 2000 ms.
    // The slowest answer is kept for the step's figures.
    ::testing::AssertionResult StatusAnswered() {
        links::ReplyBuffer reply{};
        const auto start = std::chrono::steady_clock::now();
        const auto outcome = links::socket::ExchangeStatus({"127.0.0.1", port_}, protocol::MakeStatusRequest(0), start + 2s, reply);
        slowest_ = std::max(slowest_, std::chrono::steady_clock::now() - start);
        if (outcome.result != links::LinkResult::Ok) return ::testing::AssertionFailure() << outcome.detail;
        if (outcome.length != 100) return ::testing::AssertionFailure() << outcome.length << " bytes";
        return ::testing::AssertionSuccess();
    }

    // The journal lines written since the last call, sorted: clients served
    // at the same time may be journalled in any order.
    Lines NewJournalLines() {
        const std::string text = testing::ReadText(Path("journal.txt"));
        std::istringstream fresh(text.substr(std::min(journalRead_, text.size())));
        journalRead_ = text.size();
        Lines lines;
        for (std::string line; std::getline(fresh, line);) lines.push_back(line);
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    std::vector<Client> Connect(std::size_t count) const {
        std::vector<Client> clients;
        for (std::size_t i = 0; i < count; ++i) clients.emplace_back(port_);
        return clients;
    }

    // Steps of the test; each returns the journal lines it should leave.
    Lines NeverSending(std::size_t count) {
        std::vector<Client> idle = Connect(count);
        EXPECT_TRUE(std::all_of(idle.begin(), idle.end(), [](const Client& c) { return c.Connected(); }));
        EXPECT_TRUE(StatusAnswered()) << "while " << count << " connections say nothing";
        if (count > emulator::kMaxConnections) {
            EXPECT_TRUE(idle.front().ClosedByUnit()) << "the oldest silent connection makes room";
            EXPECT_FALSE(idle.back().ClosedByUnit()) << "the newest silent connection still waits";
        }
        for (Client& client : idle) client.Reset();
        return {kStatusLine};
    }

    // Clients that connect and close (or reset) without a byte: no job.
    Lines ClosingWithoutSending(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            Client client(port_);
            EXPECT_TRUE(client.Connected());
            if (i % 2 == 1) client.Reset();
        }
        return {};
    }

    // Each sends a byte that is not a status request and says no more: a
    // job the unit waits for, holding nothing a status request needs.
    // Their ends make them one-byte jobs.
    Lines QuietAfterOneByte(std::size_t count) {
        std::vector<Client> quiet = Connect(count);
        Lines lines;
        for (std::size_t i = 0; i < quiet.size(); ++i) {
            const std::vector<std::uint8_t> byte{static_cast<std::uint8_t>(0x80 + i)};
            EXPECT_TRUE(quiet[i].Send(byte)) << i;
            lines.push_back(emulator::JobLine("", byte));
        }
        for (int query = 0; query < 3; ++query) {
            std::this_thread::sleep_for(100ms);  // the unit has read their bytes by now
            EXPECT_TRUE(StatusAnswered()) << "while " << count << " connections are quiet after one byte";
            lines.push_back(kStatusLine);
        }
        for (Client& client : quiet) client.EndSending();
        for (Client& client : quiet) EXPECT_TRUE(client.ReadToEnd().has_value());
        return lines;
    }

    // Each sends a byte at every round, a status request between rounds.
    Lines Trickling(std::size_t count, std::size_t rounds) {
        std::vector<Client> trickling = Connect(count);
        std::vector<std::vector<std::uint8_t>> sent(count);
        Lines lines;
        for (std::size_t round = 0; round < rounds; ++round) {
            for (std::size_t i = 0; i < count; ++i) {
                const std::uint8_t byte = static_cast<std::uint8_t>(round * count + i);
                EXPECT_TRUE(trickling[i].Send(std::span(&byte, 1))) << i;
                sent[i].push_back(byte);
            }
            EXPECT_TRUE(StatusAnswered()) << "round " << round << " of " << count << " trickling connections";
            lines.push_back(kStatusLine);
            std::this_thread::sleep_for(20ms);
        }
        for (Client& client : trickling) client.EndSending();
        for (Client& client : trickling) EXPECT_TRUE(client.ReadToEnd().has_value());
        for (const auto& bytes : sent) lines.push_back(emulator::JobLine("", bytes));
        return lines;
    }

    // The whole reply, then the unit's end, whatever follows the request;
    // the bytes after it are no job.
    Lines StatusWithMoreBytes() {
        const std::size_t extras[] = {1, 7, 8, 1000, 64 * 1024, 4 * kMiB};
        Lines lines;
        for (const std::size_t extra : extras) {
            Client client(port_);
            std::vector<std::uint8_t> bytes(kStatusPacket.begin(), kStatusPacket.end());
            bytes.resize(bytes.size() + extra, 0x1B);
            EXPECT_TRUE(client.Send(bytes)) << extra;
            const auto reply = client.ReadToEnd();
            EXPECT_TRUE(reply.has_value()) << extra << " bytes after the request: the reply was lost";
            EXPECT_EQ(reply.value_or(std::vector<std::uint8_t>{}).size(), 100u) << extra;
            lines.push_back(kStatusLine);
        }
        return lines;
    }

    Lines LongJob() {
        constexpr std::size_t kPieces = 256;
        Client job(port_);
        emulator::Sha256Hasher hasher;
        std::vector<std::uint8_t> piece(kMiB);
        for (std::size_t p = 0; p < kPieces; ++p) {
            std::fill(piece.begin(), piece.end(), static_cast<std::uint8_t>(p));
            hasher.Update(piece);
            if (!job.Send(piece)) {
                ADD_FAILURE() << "the unit stopped taking the job at MiB " << p;
                return {};
            }
            if (p == kPieces / 2) {
                EXPECT_TRUE(StatusAnswered()) << "half-way through the job";
            }
        }
        job.EndSending();
        EXPECT_EQ(job.ReadToEnd(), std::vector<std::uint8_t>{}) << "the unit closes once it has the job";
        const long peak = ProcessFigure(pid_, "VmHWM");
        std::printf("[ hostile  ] job of 256 MiB: unit's memory VmRSS %ld KiB, peak VmHWM %ld KiB\n",
                    ProcessFigure(pid_, "VmRSS"), peak);
        EXPECT_TRUE(peak > 0 && peak < kMemoryBoundKiB) << peak << " KiB";
        return {kStatusLine, emulator::JobDigestLine("", kPieces * kMiB, hasher.Finish())};
    }

    Lines StatusRequestsAtOnce(std::size_t count) {
        std::vector<Client> clients = Connect(count);
        for (Client& client : clients) EXPECT_TRUE(client.Send(kStatusPacket));
        std::size_t answered = 0;
        for (Client& client : clients)
            answered += client.ReadToEnd().value_or(std::vector<std::uint8_t>{}).size() == 100;
        EXPECT_EQ(answered, count);
        return Lines(count, kStatusLine);
    }

    // Jobs in progress do not hold a status request back: it is answered
    // while they are all open, and every job is taken at its end.
    Lines JobsHeldOpenAtOnce(std::size_t count) {
        std::vector<Client> jobs = Connect(count);
        Lines lines;
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            const std::vector<std::uint8_t> bytes(1000, static_cast<std::uint8_t>(i));
            EXPECT_TRUE(jobs[i].Send(bytes)) << i;
            lines.push_back(emulator::JobLine("", bytes));
        }
        EXPECT_TRUE(StatusAnswered()) << "while " << count << " jobs are open";
        lines.push_back(kStatusLine);
        std::printf("[ hostile  ] %zu jobs held open and a status request: the unit runs %ld threads\n", count,
                    ProcessFigure(pid_, "Threads"));
        for (Client& job : jobs) job.EndSending();
        std::size_t taken = 0;
        for (Client& job : jobs) taken += job.ReadToEnd().has_value();
        EXPECT_EQ(taken, count) << "every job ends with the unit closing its connection";
        return lines;
    }

    // A client that dies half-way through its job: the connection is reset
    // and the job is not delivered.
    Lines DroppedMidJob() {
        Client job(port_);
        EXPECT_TRUE(job.Send(std::vector<std::uint8_t>(4 * kMiB, 0x5A)));
        job.Reset();
        return {};
    }

    testing::TempDir dir_{"orlax-hostile-clients"};
    std::unique_ptr<testing::EmulatorProcess> unit_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
    std::size_t journalRead_ = 0;
    std::chrono::steady_clock::duration slowest_{};
};

TEST_F(HostileClients, TheUnitKeepsServingThroughThemAll) {
    struct Step {
        const char* what;
        std::function<Lines()> run;
    };
    const Step steps[] = {
        {"40 connections that never send", [&] { return NeverSending(40); }},
        {"300 connections that never send (more than the 256 it keeps open)", [&] { return NeverSending(300); }},
        {"50 connections that close without sending", [&] { return ClosingWithoutSending(50); }},
        {"40 connections quiet after one byte", [&] { return QuietAfterOneByte(40); }},
        {"40 connections trickling a byte at a time", [&] { return Trickling(40, 25); }},
        {"status requests followed by more bytes", [&] { return StatusWithMoreBytes(); }},
        {"a job of 256 MiB", [&] { return LongJob(); }},
        {"100 status requests at once", [&] { return StatusRequestsAtOnce(100); }},
        {"100 jobs held open at once", [&] { return JobsHeldOpenAtOnce(100); }},
        {"a client that drops its job half-way", [&] { return DroppedMidJob(); }},
    };
    for (const Step& step : steps) {
        const auto start = std::chrono::steady_clock::now();
        slowest_ = {};
        Lines expected = step.run();
        EXPECT_TRUE(StatusAnswered()) << "after " << step.what;
        expected.push_back(kStatusLine);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(NewJournalLines(), expected) << step.what;
        std::printf("[ hostile  ] %s: served, %lld ms; slowest status answer %.2f ms\n", step.what,
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                            .count()),
                    std::chrono::duration<double, std::milli>(slowest_).count());
    }
    const long peak = ProcessFigure(pid_, "VmHWM");
    EXPECT_TRUE(peak > 0 && peak < kMemoryBoundKiB) << peak << " KiB";

    // It ends cleanly, within a bounded wait.
    ::kill(pid_, SIGTERM);
    for (int wait = 0; wait < 100 && !ProcessEnded(pid_); ++wait) std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(ProcessEnded(pid_)) << "orlax-emulator did not stop on SIGTERM";
    EXPECT_EQ(unit_->Stop(0), 0);
    const std::string errors = testing::ReadText(Path("stderr.txt"));
    EXPECT_TRUE(std::regex_search(errors, std::regex("a job of [1-9][0-9]* bytes was abandoned before its end")))
        << errors;
}

}  // namespace
}  // namespace orlax::reliability

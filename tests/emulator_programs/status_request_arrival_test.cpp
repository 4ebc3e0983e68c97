// orlax-emulator answers a status request that has arrived whole with its
// connection, and one that arrives in pieces: however the 8 bytes come, the
// reply and the journal must be the same, and a request that is not the
// status packet is a job either way.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
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

const std::vector<std::uint8_t> kRequest = {0x1B, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F};

// Sends `pieces` of the request with a pause between them, then reads until
// the unit closes; the bytes it sent back.
std::vector<std::uint8_t> Ask(std::uint16_t port, const std::vector<std::vector<std::uint8_t>>& pieces) {
    const int fd = testing::ConnectTo(port);
    if (fd < 0) return {};
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) std::this_thread::sleep_for(50ms);
        if (!testing::SendAll(fd, pieces[i])) break;
    }
    ::shutdown(fd, SHUT_WR);
    std::vector<std::uint8_t> reply;
    std::uint8_t byte = 0;
    while (::recv(fd, &byte, 1, 0) == 1) reply.push_back(byte);
    ::close(fd);
    return reply;
}

TEST(StatusRequestArrival, SameReplyHoweverTheRequestArrives) {
    const orlax::testing::TempDir temp("orlax-status-arrival");
    const fs::path& dir = temp.Path();
    testing::EmulatorProcess unit({"--listen", "127.0.0.1:0", "--journal", (dir / "journal.txt").string()},
                                  (dir / "stderr.txt").string());
    const std::uint16_t port = unit.ListeningPort();
    ASSERT_NE(port, 0);
    emulator::DeviceModel model(emulator::DefaultScenario());
    const std::vector<std::uint8_t> record = model.ReadStatus().bytes;

    struct Case {
        const char* what;
        std::vector<std::vector<std::uint8_t>> pieces;
        bool status;  // answered with the record; else taken as a job
    };
    std::vector<std::uint8_t> requestThenMore = kRequest;
    requestThenMore.insert(requestThenMore.end(), {0x55, 0x66});
    std::vector<std::uint8_t> wrongChecksum = kRequest;
    wrongChecksum[7] = 0x20;
    const Case cases[] = {
        {"whole, in one piece", {kRequest}, true},
        {"one byte, then the other seven", {{0x1B}, {kRequest.begin() + 1, kRequest.end()}}, true},
        {"seven bytes, then the last", {{kRequest.begin(), kRequest.end() - 1}, {0x1F}}, true},
        {"followed by more bytes", {requestThenMore}, true},
        {"a wrong checksum: a job", {wrongChecksum}, false},
        {"only four bytes: a job", {{0x1B, 0x04, 0x00, 0x00}}, false},
    };
    std::string journal;
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> reply = Ask(port, c.pieces);
        if (c.status) {
            EXPECT_EQ(reply, record) << c.what;
            journal += "STATUS 100\n";
        } else {
            EXPECT_TRUE(reply.empty()) << c.what;
            std::vector<std::uint8_t> job;
            for (const auto& piece : c.pieces) job.insert(job.end(), piece.begin(), piece.end());
            journal += emulator::JobLine("", job) + "\n";
        }
    }
    EXPECT_EQ(unit.Stop(SIGTERM), 0);
    EXPECT_EQ(testing::ReadText((dir / "journal.txt").string()), journal);
}

}  // namespace
}  // namespace orlax::links::socket

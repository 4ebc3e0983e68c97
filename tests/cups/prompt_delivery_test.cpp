// What makes CUPS's backends end a job promptly, read and written as CUPS's
// usb backend reads its quirks files; and the wait each queue's backend
// adds at a job's end when it is not set up so.
#include "cups/prompt_delivery.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cups/end_of_job_waits.h"

namespace orlax::cups {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(PromptDelivery, SocketUrisEndJobsWithWaiteofFalse) {
    struct Case {
        const char* uri;
        bool prompt;
        const char* made;  // WithPromptEnd
    };
    const Case cases[] = {
        {"socket://10.0.0.5", false, "socket://10.0.0.5/?waiteof=false"},
        {"socket://10.0.0.5:9100", false, "socket://10.0.0.5:9100/?waiteof=false"},
        {"socket://10.0.0.5:9100/?waiteof=false", true, "socket://10.0.0.5:9100/?waiteof=false"},
        {"socket://h:9100/?waiteof=true", false, "socket://h:9100/?waiteof=false"},
        {"socket://h:9100/?contimeout=30&waiteof=false", true, "socket://h:9100/?contimeout=30&waiteof=false"},
        {"socket://h:9100/?contimeout=30", false, "socket://h:9100/?contimeout=30&waiteof=false"},
        {"socket://h:9100?contimeout=30", false, "socket://h:9100/?contimeout=30&waiteof=false"},
        {"socket://h:9100/queue?contimeout=30", false, "socket://h:9100/queue?contimeout=30&waiteof=false"},
        {"socket://h?waiteof=falsehood", false, "socket://h/?waiteof=false"},
        {"socket://h?&&", false, "socket://h/?waiteof=false"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uri);
        EXPECT_EQ(EndsJobsPromptly(c.uri), c.prompt);
        EXPECT_EQ(WithPromptEnd(c.uri), c.made);
        EXPECT_TRUE(EndsJobsPromptly(WithPromptEnd(c.uri)));
    }
}

TEST(PromptDelivery, UsbQuirksAreReadAsTheBackendReadsThem) {
    const fs::path folder = fs::temp_directory_path() / ("orlax_quirks_" + std::to_string(::getpid()));
    fs::create_directories(folder / "sub");
    std::ofstream(folder / "org.cups.usb-quirks") << "# 0x1209 0x0001 unidir\n"
                                                      "0x1209 0x0002 blacklist\n"
                                                      "0x04b8 0x0202 unidir\n"
                                                      "\n"
                                                      "junk unidir\n";
    std::ofstream(folder / "sub" / "x") << "0x1209 0x0003 unidir\n";  // not a regular file of the folder
    struct Case {
        std::uint16_t vendor, product;
        bool marked;
    };
    const Case before[] = {{0x1209, 0x0001, false}, {0x1209, 0x0002, false}, {0x04B8, 0x0202, true},
                           {0x1209, 0x0003, false}};
    for (const Case& c : before) EXPECT_EQ(MarksUnidir(folder, c.vendor, c.product), c.marked) << c.product;

    std::string error;
    ASSERT_TRUE(CanWriteQuirks(folder));
    ASSERT_TRUE(AddUnidirLine(folder, 0x1209, 0x0001, error)) << error;
    ASSERT_TRUE(AddUnidirLine(folder, 0x1209, 0x00AB, error)) << error;
    EXPECT_TRUE(MarksUnidir(folder, 0x1209, 0x0001));
    EXPECT_TRUE(MarksUnidir(folder, 0x1209, 0x00AB));
    EXPECT_FALSE(MarksUnidir(folder, 0x1209, 0x0002));
    std::ifstream file(folder / std::string(kQuirksFileName));
    std::string last;
    for (std::string line; std::getline(file, line);) last = line;
    EXPECT_EQ(last, "0x1209 0x00ab unidir");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3) << "no file left over";
    EXPECT_FALSE(MarksUnidir((folder / "none").string(), 0x1209, 0x0001));
    EXPECT_FALSE(AddUnidirLine((folder / "none").string(), 0x1209, 0x0001, error));
    EXPECT_FALSE(error.empty());
    fs::remove_all(folder);
}

TEST(PromptDelivery, EachBackendsWaitAtAJobsEnd) {
    struct Case {
        const char* uri;
        std::chrono::milliseconds most;
        const char* fix;
    };
    const Case cases[] = {
        {"usb://Korvane/ORLAX%20PRO?serial=A", 12000ms, "'orlax-station add q'"},
        {"socket://h:9100", 95000ms, "'orlax-station add q socket://h:9100/?waiteof=false'"},
        {"socket://h:9100/?waiteof=false", 0ms, ""},
        {"ipp://h/printers/x", 0ms, ""},
        {"", 0ms, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uri);
        const EndOfJobWait wait = EndOfJobWaitFor(c.uri, "q");
        EXPECT_EQ(wait.most, c.most);
        EXPECT_NE(wait.cause.find(c.fix), std::string::npos) << wait.cause;
    }
}

}  // namespace
}  // namespace orlax::cups

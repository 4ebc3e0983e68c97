// The production record: the line's exact text, its numbering, and files
// that cannot be opened or written.
#include "report/production_record.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "operations/operator_log.h"
#include "support/data_root.h"
#include "support/record_builder.h"

namespace orlax::report {
namespace {

using testing::TempDataRoot;

std::tm LocalTime(int year, int month, int day, int hour, int minute) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    return t;
}

// 9:41 on 7 March 2005.
std::tm ReferenceTime() { return LocalTime(2005, 3, 7, 9, 41); }

constexpr std::string_view kReferenceLine =
    "000001,Not Set,09:41,03\\07\\2005,Not Set,099,0000001234,0000001240,-0003,0004,0002,-0001,"
    "0005,0002,-0004,0006,0010,-0007,003,-002,012,200,015,180,\r\n";

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1)
        fields.push_back(line.substr(start, comma - start));
    return fields;
}

struct Writer {
    Writer() : record([] { return ReferenceTime(); }) {}

    int Write() { return record.WriteProductionRecord(data.Folder(), state, log); }
    std::string FilePath() const { return data.PathOf("ORLAXPRO.log"); }

    TempDataRoot data;
    device::DeviceState state = testing::StateAfterQuery(testing::ReferenceRecord());
    operations::OperatorLog log;
    ProductionRecord record;
};

TEST(ProductionRecord, ReferenceLineIs147Characters) {
    Writer w;
    ASSERT_EQ(kReferenceLine.size(), 147u);
    EXPECT_EQ(w.Write(), 1);
    EXPECT_EQ(w.data.Read("ORLAXPRO.log"), kReferenceLine);
    EXPECT_EQ(w.log.LogText(), w.FilePath() + "    File updated !! \r\n");
    EXPECT_STREQ(w.record.recordTime.data(), "09:41");
    EXPECT_STREQ(w.record.recordDate.data(), "03\\07\\2005");
}

TEST(ProductionRecord, NumbersFromOneAtEveryStartAndAppends) {
    Writer w;
    w.data.Put("ORLAXPRO.log", "000001,from an earlier run\r\n");
    EXPECT_EQ(w.Write(), 1);
    EXPECT_EQ(w.Write(), 1);
    const std::string text = w.data.Read("ORLAXPRO.log");
    const std::string second = "000002" + std::string(kReferenceLine.substr(6));
    EXPECT_EQ(text, "000001,from an earlier run\r\n" + std::string(kReferenceLine) + second);
    EXPECT_EQ(w.record.recordCounter, 3);
}

// Each case changes the unit, the time or the counter and names the field
// (1-based, as the record's columns count) that shows it.
TEST(ProductionRecord, FieldFormats) {
    namespace f = protocol::field;
    struct Case {
        const char* what;
        std::function<void(Writer&)> change;
        std::size_t field;
        const char* expected;
    };
    const auto byte = [](std::size_t at, int value) {
        return [at, value](Writer& w) {
            auto record = testing::ReferenceRecord();
            record[at] = static_cast<std::uint8_t>(value);
            w.state = testing::StateAfterQuery(record);
        };
    };
    const auto counter = [](std::size_t at, std::uint32_t value) {
        return [at, value](Writer& w) {
            auto record = testing::ReferenceRecord();
            testing::PutU32(record, at, value);
            w.state = testing::StateAfterQuery(record);
        };
    };
    const auto at = [](std::tm time) {
        return [time](Writer& w) { w.record.SetLocalTimeSource([time] { return time; }); };
    };
    const Case cases[] = {
        {"midnight", at(LocalTime(2006, 1, 1, 0, 1)), 3, "00:01"},
        {"new year", at(LocalTime(2006, 1, 1, 0, 1)), 4, "01\\01\\2006"},
        {"evening", at(LocalTime(2024, 12, 31, 23, 59)), 4, "12\\31\\2024"},
        {"lex 200 is the mirror's -56", byte(f::lexVersion, 200), 6, "-056"},
        {"lex 99", byte(f::lexVersion, 99), 6, "099"},
        {"largest count", counter(f::disksPrinted, 4294967295u), 7, "4294967295"},
        {"picked", counter(f::disksPicked, 7), 8, "0000000007"},
        {"vertical -128", byte(f::imageVertical, -128), 9, "-0128"},
        {"arm home 127", byte(f::armHomeOffset, 127), 18, "0127"},
        {"picker switch unsigned", byte(f::pickerSwitchOffset, 255), 17, "0255"},
        {"last disc left -128", byte(f::lastDiskLeft, -128), 19, "-128"},
        {"sensor 255", byte(f::diskInSensorHigh, 255), 24, "255"},
        {"sensor 0", byte(f::trayInSensorLow, 0), 21, "000"},
        {"seven digits", [](Writer& w) { w.record.recordCounter = 1000000; }, 1, "1000000"},
        {"the mirror, not the record", [](Writer& w) { w.state.mirror.hook = -5; }, 15, "-0005"},
    };
    for (const Case& c : cases) {
        Writer w;
        c.change(w);
        ASSERT_EQ(w.Write(), 1) << c.what;
        const std::string line = w.data.Read("ORLAXPRO.log");
        const auto fields = Fields(line);
        ASSERT_EQ(fields.size(), 24u) << c.what << ": " << line;
        EXPECT_EQ(fields[c.field - 1], c.expected) << c.what << ": " << line;
        EXPECT_TRUE(line.ends_with(",\r\n")) << c.what;
        EXPECT_EQ(line.find('\r'), line.size() - 2) << c.what;
    }
}

TEST(ProductionRecord, UnopenableFileLeavesTheCounter) {
    Writer w;
    std::filesystem::remove_all(w.data.Root() + "/Korvane");
    EXPECT_EQ(w.Write(), 0);
    EXPECT_EQ(w.log.LogText(), w.FilePath() + " Error in open !\r\n");
    EXPECT_EQ(w.record.recordCounter, 1);
    EXPECT_FALSE(w.data.Exists("ORLAXPRO.log"));

    // The next record that can be written gets the number.
    std::filesystem::create_directories(w.data.Folder());
    w.log.ClearLog();
    EXPECT_EQ(w.Write(), 1);
    EXPECT_EQ(w.data.Read("ORLAXPRO.log"), kReferenceLine);
}

// Whatever stands in the record's place, the operation never waits on it
// for long: anything but a regular file, or a file another program keeps
// locked, is a file that cannot be opened, and the counter stays.
TEST(ProductionRecord, FilesThatCannotBeHadAreOpenErrorsInBoundedTime) {
    struct Case {
        const char* what;
        std::function<void(const std::string& path, std::vector<int>& held)> make;
    };
    const Case cases[] = {
        {"a pipe nobody reads", [](const std::string& p, auto&) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"a pipe that is read",
         [](const std::string& p, auto& held) {
             ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
             held.push_back(::open(p.c_str(), O_RDONLY | O_NONBLOCK));
         }},
        {"a device", [](const std::string& p, auto&) { std::filesystem::create_symlink("/dev/full", p); }},
        {"a folder", [](const std::string& p, auto&) { std::filesystem::create_directory(p); }},
        {"a file locked by another program",
         [](const std::string& p, auto& held) {
             const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT, 0600);
             ASSERT_EQ(::flock(fd, LOCK_EX), 0);
             held.push_back(fd);
         }},
    };
    for (const Case& c : cases) {
        Writer w;
        std::vector<int> held;
        c.make(w.FilePath(), held);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(w.Write(), 0) << c.what;
        // A guard against hanging, not a timing goal: the lock wait is 2 s.
        EXPECT_LT(std::chrono::steady_clock::now() - start, kRecordLockWait + std::chrono::seconds(3)) << c.what;
        EXPECT_EQ(w.log.LogText(), w.FilePath() + " Error in open !\r\n") << c.what;
        EXPECT_EQ(w.record.recordCounter, 1) << c.what;
        for (const int fd : held) ::close(fd);
    }
}

// A lock held only for a moment is waited for.
TEST(ProductionRecord, ShortLockIsWaitedFor) {
    Writer w;
    const int fd = ::open(w.FilePath().c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    std::thread release([fd] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ::close(fd);
    });
    EXPECT_EQ(w.Write(), 1);
    release.join();
    EXPECT_EQ(w.data.Read("ORLAXPRO.log"), kReferenceLine);
}

// A line cut short by the file size limit is taken back out: the file keeps
// whole lines only, and the next record starts on a line of its own.
TEST(ProductionRecord, CutLineIsTakenBackOut) {
    Writer w;
    ASSERT_EQ(w.Write(), 1);
    const std::string first = w.data.Read("ORLAXPRO.log");

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = first.size() + 60;  // room for 60 characters of the next line
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    w.log.ClearLog();
    const int result = w.Write();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(w.log.LogText(), w.FilePath() + " Error in write !\r\n");
    EXPECT_EQ(w.data.Read("ORLAXPRO.log"), first);
    EXPECT_EQ(w.record.recordCounter, 2);

    ASSERT_EQ(w.Write(), 1);
    const std::string both = w.data.Read("ORLAXPRO.log");
    EXPECT_EQ(both.size(), 2 * first.size());
    EXPECT_TRUE(both.substr(first.size()).starts_with("000002,"));
}

}  // namespace
}  // namespace orlax::report

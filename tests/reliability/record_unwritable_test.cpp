// A passing unit whose production record cannot be written: a full disk, a
// read-only folder, a read-only record file. The final check says so, fails
// (orlaxctl's exit status 1), leaves the file as it was and does not count
// the record: once the file can be written again, the next record of the
// same run is still number 000001.
//
// Root may write into any folder, so while a record must meet a read-only
// folder or file the test takes away root's file access (the filesystem
// user and group become nobody's); the test is skipped only when that does
// not stop root.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/burner_dlg.h"
#include "support/data_root.h"
#include "support/passing_unit.h"
#include "support/session.h"

namespace orlax::reliability {
namespace {

namespace fs = std::filesystem;
using testing::TempDataRoot;

constexpr uid_t kNobody = 65534;
constexpr std::string_view kRecordFile = "ORLAXPRO.log";
constexpr std::string_view kEarlierRecords = "000001,an earlier run's record\r\n";
constexpr std::string_view kWithin = "All offsets and settings are within MANUFACTURING TOLERANCES !!\r\n";

// While it lives, files are opened with nobody's rights even by root.
class FileAccessAsNobody {
public:
    FileAccessAsNobody() : root_(::geteuid() == 0) {
        if (!root_) return;
        gid_ = ::setfsgid(kNobody);
        uid_ = ::setfsuid(kNobody);
    }
    ~FileAccessAsNobody() {
        if (!root_) return;
        ::setfsuid(uid_);
        ::setfsgid(gid_);
    }
    FileAccessAsNobody(const FileAccessAsNobody&) = delete;
    FileAccessAsNobody& operator=(const FileAccessAsNobody&) = delete;

private:
    bool root_;
    int uid_ = 0;
    int gid_ = 0;
};

// Whether a read-only folder stops this process from creating a file in it.
bool ReadOnlyFolderHolds() {
    const TempDataRoot data;
    const std::string folder = data.Root() + "/probe";
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    int fd = -1;
    {
        FileAccessAsNobody nobody;
        fd = ::open((folder + "/file").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    }
    if (fd >= 0) ::close(fd);
    return fd < 0;
}

void SetMode(const std::string& path, fs::perms perms) { fs::permissions(path, perms); }

constexpr fs::perms kReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
constexpr fs::perms kFolderReadOnly =
    kReadOnly | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;

struct Case {
    const char* what;
    void (*makeUnwritable)(const TempDataRoot&);
    void (*makeWritable)(const TempDataRoot&);
    std::string_view logged;   // after the record's path
    std::string_view earlier;  // what the file holds before
    bool readOnly;             // the case needs root's access taken away
};

const Case kCases[] = {
    {"a device in the record's place",
     [](const TempDataRoot& d) { fs::create_symlink("/dev/full", d.PathOf(kRecordFile)); },
     [](const TempDataRoot& d) { fs::remove(d.PathOf(kRecordFile)); }, " Error in open !\r\n", "", false},
    {"read-only folder", [](const TempDataRoot& d) { SetMode(d.Folder(), kFolderReadOnly); },
     [](const TempDataRoot& d) { SetMode(d.Folder(), fs::perms::all); }, " Error in open !\r\n", "", true},
    {"read-only record file",
     [](const TempDataRoot& d) {
         d.Put(kRecordFile, kEarlierRecords);
         SetMode(d.PathOf(kRecordFile), kReadOnly);
     },
     [](const TempDataRoot& d) { SetMode(d.PathOf(kRecordFile), kReadOnly | fs::perms::owner_write); },
     " Error in open !\r\n", kEarlierRecords, true},
};

std::string ReadRecord(const TempDataRoot& data) {
    return fs::is_regular_file(data.PathOf(kRecordFile)) ? data.Read(kRecordFile) : std::string();
}

TEST(UnwritableRecord, ReportedFailedAndNeverCounted) {
    const bool readOnlyHolds = ReadOnlyFolderHolds();
    std::string skipped;
    for (const Case& c : kCases) {
        if (c.readOnly && !readOnlyHolds) {
            skipped += std::string(skipped.empty() ? "" : ", ") + c.what;
            continue;
        }
        TempDataRoot data;
        // Nobody may reach the data folder and read the device files.
        SetMode(data.Root(), kFolderReadOnly | fs::perms::owner_write);
        data.Put("fdefault.fzp", testing::PatternBytes(1500));
        testing::Session session(testing::PassingScenario(), data.Root());
        const std::string record = data.PathOf(kRecordFile);

        c.makeUnwritable(data);
        std::string log;
        if (c.readOnly) {
            FileAccessAsNobody nobody;
            log = session.Run({testing::Click(app::control::kFinalCheck)});
        } else {
            log = session.Run({testing::Click(app::control::kFinalCheck)});
        }
        EXPECT_NE(log.find(kWithin), std::string::npos) << c.what << "\n" << log;
        EXPECT_TRUE(log.ends_with(record + std::string(c.logged))) << c.what << "\n" << log;
        EXPECT_EQ(log.find("File updated"), std::string::npos) << c.what;
        EXPECT_TRUE(session.app.Outcome().AnyFailed()) << c.what;
        EXPECT_TRUE(session.host.MessageBoxes().empty()) << c.what;
        c.makeWritable(data);
        EXPECT_EQ(ReadRecord(data), c.earlier) << c.what;

        const int failuresBefore = session.app.Outcome().Failures();
        log = session.Run({testing::Click(app::control::kFinalCheck)});
        EXPECT_TRUE(log.ends_with(record + "    File updated !! \r\n")) << c.what << "\n" << log;
        EXPECT_EQ(session.app.Outcome().Failures(), failuresBefore) << c.what;
        const std::string after = ReadRecord(data);
        ASSERT_TRUE(after.starts_with(c.earlier)) << c.what;
        EXPECT_TRUE(after.substr(c.earlier.size()).starts_with("000001,Not Set,")) << c.what << ": " << after;
        EXPECT_EQ(after.find("\r\n", c.earlier.size()), after.size() - 2) << c.what << ": one line added";
    }
    if (!skipped.empty())
        GTEST_SKIP() << "not run (" << skipped
                     << "): a read-only folder does not stop this process, even with nobody's file access";
}

}  // namespace
}  // namespace orlax::reliability

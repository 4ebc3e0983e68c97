#include "report/status_report.h"

#include <gtest/gtest.h>

#include <string>

#include "operations/operator_log.h"
#include "report/status_codes.h"
#include "support/record_builder.h"

namespace orlax::report {
namespace {

namespace f = protocol::field;
using testing::RecordBytes;
using testing::StateAfterQuery;
using testing::ReferenceRecord;

TEST(StatusReport, ReferenceReportIsExact) {
    const std::string text = FormatStatusReport(StateAfterQuery(ReferenceRecord()));
    EXPECT_EQ(text, testing::kReferenceReport);
    EXPECT_EQ(text.size(), 818u);
}

std::string FirstLine(const RecordBytes& record) {
    const std::string text = FormatStatusReport(StateAfterQuery(record));
    return text.substr(0, text.find("\r\n") + 2);
}

TEST(StatusReport, FirmwareTextIsWrittenOverTheBlanks) {
    struct Case {
        std::string firmware;
        std::string line;
    };
    const Case cases[] = {
        {"1.23", "ORLAX PRO FIRMWARE VERSION #: 1.23                   LEX:   99\r\n"},
        {"ABCDEFGHIJKLMNO", "ORLAX PRO FIRMWARE VERSION #: ABCDEFGHIJKLMNO        LEX:   99\r\n"},
        {"", "ORLAX PRO FIRMWARE VERSION #:                        LEX:   99\r\n"},
    };
    for (const auto& c : cases) {
        RecordBytes r = ReferenceRecord();
        testing::PutFirmware(r, c.firmware);
        EXPECT_EQ(FirstLine(r), c.line) << c.firmware;
    }
    // A full field has no terminator: the model byte after it is not part of the text.
    RecordBytes r = ReferenceRecord();
    testing::PutFirmware(r, "ABCDEFGHIJKLMNO");
    r[f::modelType] = 'B';
    EXPECT_EQ(FirstLine(r).size(), 64u);
}

TEST(StatusReport, LexVersionIsUnsignedInTheReport) {
    RecordBytes r = ReferenceRecord();
    r[f::lexVersion] = 200;
    EXPECT_NE(FirstLine(r).find("LEX:   200\r\n"), std::string::npos);
}

TEST(StatusCodes, TablesAndFallbacks) {
    struct Case {
        std::string (*lookup)(std::uint8_t);
        std::uint8_t code;
        const char* text;
    };
    const Case cases[] = {
        {ModelTypeText, 'A', "MODEL: A   No drive.\r\n"},
        {ModelTypeText, 'C', "MODEL: C   DVD drive.\r\n"},
        {ModelTypeText, 0x80, "INVALID MODEL TYPE: FFFFFF80\r\n"},
        {ModelTypeText, 0xFF, "INVALID MODEL TYPE: FFFFFFFF\r\n"},
        {ModelTypeText, 'a', "INVALID MODEL TYPE: 61\r\n"},
        {ModelTypeText, 0, "INVALID MODEL TYPE: 00\r\n"},
        {PenConfigText, 1, "NONE\tRIGHT PEN: Color\r\n"},
        {PenConfigText, 2, "BLACK\tRIGHT PEN: NONE\r\n"},
        {PenConfigText, 4, "Color\tRIGHT PEN: Color\r\n"},
        {PenConfigText, 0, "Invalid\tRIGHT PEN: Invalid\r\n"},
        {PenConfigText, 5, "Invalid\tRIGHT PEN: Invalid\r\n"},
        {SystemStatusText, 'B', "SYSTEM STATUS: B   BUSY.\r\n"},
        {SystemStatusText, 'C', "SYSTEM STATUS: C   COVER OPEN.\r\n"},
        {SystemStatusText, 0x80, "INVALID STATUS: 80\r\n"},
        {TrayStatusText, 'D', "PRINTER TRAY IN WITH DISK."},
        {TrayStatusText, 'O', "PRINTER TRAY OUT."},
        {TrayStatusText, 0, "INVALID TRAY STATUS: 00"},
        {PickerStatusText, 'O', "    DISK IN PICKER.\r\n"},
        {PickerStatusText, 0xAB, "    INVALID PICKER STATUS: AB\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.lookup(c.code), c.text) << int{c.code};
}

TEST(StatusReport, FieldEdgeCases) {
    struct Case {
        const char* what;
        void (*change)(RecordBytes&, device::DeviceMirror&);
        const char* expected;  // a piece of the report
    };
    const Case cases[] = {
        {"spit flags bit 1 only",
         [](RecordBytes& r, device::DeviceMirror&) { r[f::spitLimitFlags] = 2; },
         "SPIT LIMIT ISSUED:\t\tNO\t\tYES\r\n"},
        {"spit flags high bits ignored",
         [](RecordBytes& r, device::DeviceMirror&) { r[f::spitLimitFlags] = 0xFC; },
         "SPIT LIMIT ISSUED:\t\tNO\t\tNO\r\n"},
        {"largest counters",
         [](RecordBytes& r, device::DeviceMirror&) {
             testing::PutU32(r, f::yellowSpitsA, 4294967295u);
             testing::PutU32(r, f::yellowSpitsB, 0);
         },
         "YELLOW SPITS : \t\t004294967295\t000000000000 \r\n"},
        {"ten-digit disc count",
         [](RecordBytes& r, device::DeviceMirror&) {
             testing::PutU32(r, f::disksPrinted, 4294967295u);
         },
         "# OF DISKS PRINTED : \t\t4294967295 \r\n"},
        {"left bin before right bin",
         [](RecordBytes& r, device::DeviceMirror&) {
             r[f::leftBinCount] = 255;
             r[f::rightBinCount] = 0;
         },
         "# OF DISKS IN LEFT BIN:\t 255 \tRIGHT BIN:\t  0\r\n"},
        {"tray fallback runs into the picker text",
         [](RecordBytes& r, device::DeviceMirror&) { r[f::trayStatus] = 0; },
         "INVALID TRAY STATUS: 00    NO DISK IN PICKER.\r\n"},
        {"wide offsets",
         [](RecordBytes&, device::DeviceMirror& m) {
             m.pickerSwitch = 255;
             m.hook = -128;
         },
         "Hook:\t\t-128    Tray Out:\t 06     Picker Switch:\t255\r\n"},
        {"last-disc offsets are signed bytes",
         [](RecordBytes& r, device::DeviceMirror&) {
             r[f::lastDiskLeft] = 0x80;
             r[f::lastDiskRight] = 0x7F;
         },
         "Last Disk Left:\t-128\tLast Disk Right:\t127 \r\n"},
    };
    for (const auto& c : cases) {
        RecordBytes r = ReferenceRecord();
        auto state = StateAfterQuery(r);
        c.change(r, state.mirror);
        std::copy(r.begin(), r.end(), state.statusBuffer.begin());
        EXPECT_NE(FormatStatusReport(state).find(c.expected), std::string::npos) << c.what;
    }
}

TEST(StatusReport, ShowWritesTheDumpThenTheReport) {
    const auto state = StateAfterQuery(ReferenceRecord());
    operations::OperatorLog log;
    int appends = 0;
    log.SetAppendObserver([&](std::string_view) { ++appends; });
    EXPECT_EQ(ShowStatusReport(state, log), 1);
    EXPECT_EQ(appends, 9);
    const std::string text(log.LogText());
    // Four lines of 25 bytes each, then the report.
    std::size_t at = 0;
    for (int line = 0; line < 4; ++line) {
        const auto end = text.find("\r\n", at);
        EXPECT_EQ(end - at, 75u) << line;
        at = end + 2;
    }
    EXPECT_EQ(text.substr(0, 9), "00 00 00 ");
    EXPECT_EQ(text.substr(at), testing::kReferenceReport);
}

TEST(StatusReport, FourthDumpLineStaysWithinBufferAndLogHex) {
    struct Case {
        std::uint32_t length;
        std::size_t bytes;  // on the fourth line
    };
    const Case cases[] = {{100, 25}, {75, 0}, {0, 0}, {76, 1}, {141, 66}, {142, 66}, {1000, 66},
                          {0xFFFFFFFFu, 66}};
    for (const auto& c : cases) {
        auto state = StateAfterQuery(ReferenceRecord());
        state.statusLength = c.length;
        operations::OperatorLog log;
        ShowStatusReport(state, log);
        const std::string text(log.LogText());
        std::size_t at = 0;
        for (int line = 0; line < 3; ++line) at = text.find("\r\n", at) + 2;
        EXPECT_EQ(text.find("\r\n", at) - at, 3 * c.bytes) << c.length;
    }
}

}  // namespace
}  // namespace orlax::report

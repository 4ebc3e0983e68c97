#include "operations/operator_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orlax::operations {
namespace {

TEST(OperatorLog, AppendsClearsAndCutsLongTexts) {
    OperatorLog log;
    std::vector<std::string> seen;
    log.SetAppendObserver([&](std::string_view text) { seen.emplace_back(text); });

    log.AppendLog("one\r\n");
    log.AppendLog("");
    EXPECT_EQ(log.LogText(), "one\r\n");
    EXPECT_EQ(seen.size(), 2u);  // an empty append still rewrites the box

    log.ClearLog();
    EXPECT_EQ(log.LogText(), "");
    log.AppendLog(std::string(2500, 'x'));
    EXPECT_EQ(log.LogText().size(), OperatorLog::kMaxAppend);

    log.ClearLog();
    log.AppendLog(std::string_view("ab\0cd", 5));
    EXPECT_EQ(log.LogText(), "ab");
}

TEST(OperatorLog, FullLogDropsOldestSoNewestShowsWhole) {
    OperatorLog log;
    log.AppendLog(std::string(2000, 'a'));
    log.AppendLog("0123456789ABCDEFGHIJ");
    const auto text = log.LogText();
    ASSERT_EQ(text.size(), OperatorLog::kCapacity);
    EXPECT_EQ(text.substr(text.size() - 20), "0123456789ABCDEFGHIJ");
    EXPECT_EQ(text.substr(0, 3), "aaa");

    // Every later append still ends the log whole, and the log stays at capacity.
    for (int i = 0; i < 300; ++i) log.AppendLog("Line " + std::to_string(i) + "\r\n");
    EXPECT_EQ(log.LogText().size(), OperatorLog::kCapacity);
    EXPECT_TRUE(log.LogText().ends_with("Line 299\r\n"));

    log.AppendLog(std::string(2000, 'z'));
    EXPECT_TRUE(log.LogText().ends_with(std::string(2000, 'z')));
}

TEST(OperatorLog, LogHexFormatsThreeCharactersPerByte) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        std::string text;
    };
    const Case cases[] = {
        {{}, ""},
        {{0x00, 0xFF}, "00 FF "},
        {{0x1B, 0x04, 0x0A}, "1B 04 0A "},
    };
    for (const auto& c : cases) {
        OperatorLog log;
        int appends = 0;
        log.SetAppendObserver([&](std::string_view) { ++appends; });
        log.LogHex(c.bytes);
        EXPECT_EQ(log.LogText(), c.text);
        EXPECT_EQ(appends, c.bytes.empty() ? 0 : 1);
    }
    // One call takes at most 66 bytes, so it never passes its 200-character buffer.
    OperatorLog log;
    log.LogHex(std::vector<std::uint8_t>(500, 0xAB));
    EXPECT_EQ(log.LogText().size(), 198u);
}

}  // namespace
}  // namespace orlax::operations

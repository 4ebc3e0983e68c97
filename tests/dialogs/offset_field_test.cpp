#include "dialogs/offset_field.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/dialog.h"
#include "headless/headless_host.h"
#include "res/dialog_templates.h"

namespace orlax::dialogs {
namespace {

// A field of the disk position window holding `typed`, read by `read`.
struct FieldRead {
    int value;
    std::string shown;
};

template <class Read>
FieldRead ReadTyped(const std::string& typed, Read read) {
    std::ostringstream out, err;
    headless::HeadlessHost host({}, out, err);
    headless::HeadlessWindow window(*res::FindDialogTemplate(res::kDiskPositionTemplate), host);
    platform::Dialog dialog(res::kDiskPositionTemplate, host);
    dialog.Attach(&window);
    window.SetItemText(1015, typed);
    const int value = read(dialog, 1015);
    const FieldRead result{value, window.GetItemText(1015)};
    dialog.Attach(nullptr);
    return result;
}

struct Case {
    std::string typed;
    int value;
    std::string shown;
};

TEST(OffsetField, RuleLimitsToPlusMinus32AndRewritesTheField) {
    const Case cases[] = {
        {"+5", 5, " 05"},     {"-5", -5, "-05"},    {"3.9", 3, " 03"},   {"-3.9", -3, "-03"},
        {"1e1", 10, " 10"},   {"5x", 5, " 05"},     {" 7", 7, " 07"},    {"0", 0, " 00"},
        {"32", 32, " 32"},    {"-32", -32, "-32"},  {"33", 0, " 00"},    {"-33", 0, " 00"},
        {"999", 0, " 00"},    {"abc", 0, " 00"},    {"", 0, " 00"},      {"12345", 0, " 00"},
        // Only four characters count: the sign is the fourth, the digit is cut off.
        {"  -7", -7, "-07"},  {"   -7", 0, " 00"},  {"\t+2", 2, " 02"},  {"-0.9", 0, " 00"},
        {".5", 0, " 00"},     {"3.e1", 30, " 30"},  {"1e", 1, " 01"},    {"2e+", 2, " 02"},
        {"+-3", 0, " 00"},    {"3,9", 3, " 03"},    {"1e-1", 0, " 00"},  {"e1", 0, " 00"},
        // Decimal only, whatever the C library would also take.
        {"0x1A", 0, " 00"},   {"inf", 0, " 00"},    {"nan", 0, " 00"},   {"-inf", 0, " 00"},
        {std::string("2\0" "9", 3), 2, " 02"},      {"9e99", 0, " 00"},
        {std::string(100000, '1'), 0, " 00"},       {"\xC3\xA9" "12", 0, " 00"},
    };
    for (const Case& c : cases) {
        const FieldRead read = ReadTyped(c.typed, ReadOffsetField);
        EXPECT_EQ(read.value, c.value) << "typed '" << c.typed << "'";
        EXPECT_EQ(read.shown, c.shown) << "typed '" << c.typed << "'";
    }
}

TEST(OffsetField, DiscSwitchRuleHasNoLimitButKeeps16Bits) {
    const Case cases[] = {
        {"200", 200, "200"},       {"300", 300, "300"},     {"-1", -1, "-01"},
        {"9e4", 24464, "24464"},   {"2446", 2446, "2446"},  {"-9e4", -24464, "-24464"},
        {"5e15", -32768, "-32768"}, {"33", 33, " 33"},      {"9e99", 0, " 00"},
        {"abc", 0, " 00"},         {"12345", 1234, "1234"},
    };
    for (const Case& c : cases) {
        const FieldRead read = ReadTyped(c.typed, ReadUnlimitedOffsetField);
        EXPECT_EQ(read.value, c.value) << "typed '" << c.typed << "'";
        EXPECT_EQ(read.shown, c.shown) << "typed '" << c.typed << "'";
    }
}

TEST(OffsetField, FormatShowsMirrorValuesUnlimited) {
    const std::pair<int, const char*> cases[] = {
        {5, " 05"}, {-5, "-05"}, {0, " 00"}, {32, " 32"}, {50, " 50"}, {-100, "-100"},
        {-2147483647 - 1, "-2147483648"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatOffset(value), text);
}

}  // namespace
}  // namespace orlax::dialogs

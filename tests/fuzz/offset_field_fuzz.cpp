// Any text typed into an offset field. Only the first four characters
// count; they are read as the C library reads a decimal number (checked
// against strtod), truncated and taken as 16 bits. The offset rule then
// keeps -32..32 and writes the field back as "%3.2d"; the disc-switch field
// keeps any 16-bit value.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <string_view>

#include "dialogs/offset_field.h"
#include "dialogs/set_offsets_controls.h"
#include "fuzz_check.h"
#include "platform/dialog.h"
#include "platform/dialog_window.h"
#include "headless/headless_host.h"
#include "res/dialog_templates.h"

namespace orlax::fuzz {
namespace {

// A window that only keeps its controls' texts.
class FieldWindow final : public platform::DialogWindow {
public:
    std::string GetItemText(int id) const override {
        const auto it = texts_.find(id);
        return it == texts_.end() ? std::string() : it->second;
    }
    void SetItemText(int id, std::string_view text) override { texts_[id] = std::string(text); }
    int ComboInsertString(int, int, std::string_view) override { return -1; }
    int ComboSetCurSel(int, int) override { return -1; }
    void AppendSystemMenu(int, std::string_view) override {}
    void UpdateWindow() override {}
    void EndDialog(int) override {}

private:
    std::map<int, std::string> texts_;
};

// What the C library makes of the text, for texts it reads as the field
// rule does: no hexadecimal numbers, infinities or NaNs.
bool ComparableWithStrtod(std::string_view text) {
    return text.find_first_of("xXiInNpP") == std::string_view::npos;
}

std::int16_t ByStrtod(const std::string& text) {
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(value) || std::fabs(value) >= 9.2e18) return 0;
    const auto whole = static_cast<std::int64_t>(value);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint64_t>(whole) & 0xFFFFu));
}

void CheckField(std::string_view typed) {
    std::ostringstream none;
    headless::HeadlessHost host({}, none, none);
    platform::Dialog dialog(res::kSetOffsetsTemplate, host);
    FieldWindow window;
    dialog.Attach(&window);

    // The four characters read, up to a zero byte, as the field buffer holds them.
    std::string read(typed.substr(0, dialogs::kOffsetFieldChars));
    read = read.substr(0, read.find('\0'));
    const std::int16_t converted = dialogs::ConvertOffsetText(typed.substr(0, dialogs::kOffsetFieldChars));
    if (ComparableWithStrtod(read)) FUZZ_CHECK(converted == ByStrtod(read), "not read as strtod reads it");

    constexpr int kLeftBin = dialogs::set_offsets::kLeftBin;
    window.SetItemText(kLeftBin, typed);
    const int limited = dialogs::ReadOffsetField(dialog, kLeftBin);
    FUZZ_CHECK(limited >= -dialogs::kOffsetLimit && limited <= dialogs::kOffsetLimit, "offset out of range");
    FUZZ_CHECK(limited == (converted >= -32 && converted <= 32 ? converted : 0), "the limit");
    FUZZ_CHECK(window.GetItemText(kLeftBin) == dialogs::FormatOffset(limited), "field not rewritten");
    FUZZ_CHECK(window.GetItemText(kLeftBin).size() == 3, "an offset shows in three characters");
    // What the rule wrote back reads back as the same value.
    FUZZ_CHECK(dialogs::ReadOffsetField(dialog, kLeftBin) == limited, "the rewritten field reads otherwise");

    constexpr int kDiscSwitch = dialogs::set_offsets::kPickerSwitch;
    window.SetItemText(kDiscSwitch, typed);
    const int unlimited = dialogs::ReadUnlimitedOffsetField(dialog, kDiscSwitch);
    FUZZ_CHECK(unlimited == converted, "the disc switch takes the value unlimited");
    FUZZ_CHECK(window.GetItemText(kDiscSwitch) == dialogs::FormatOffset(unlimited), "field not rewritten");
    dialog.Attach(nullptr);
}

}  // namespace
}  // namespace orlax::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    orlax::fuzz::CheckField({reinterpret_cast<const char*>(data), size});
    return 0;
}

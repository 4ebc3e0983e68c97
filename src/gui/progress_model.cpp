#include "gui/progress_model.h"

#include <algorithm>
#include <cctype>

namespace orlax::gui {
namespace {

int PermilleOf(std::uint64_t done, std::uint64_t total) {
    if (total == 0) return 0;
    done = std::min(done, total);
    return static_cast<int>(static_cast<double>(done) * 1000.0 / static_cast<double>(total));
}

}  // namespace

void ProgressModel::FileProgress(std::string_view path, std::uint64_t sent, std::uint64_t total) {
    std::string text = "Sending ";
    text += path;
    if (total > 0) {
        text += ": " + std::to_string(PermilleOf(sent, total) / 10) + " %";
    } else {
        text += ": " + std::to_string(sent) + " bytes";
    }
    Set(std::move(text), PermilleOf(sent, total));
}

void ProgressModel::Done() { Set({}, 0); }

void ProgressModel::Notice(std::string_view text) { Set(std::string(text), -1); }

void ProgressModel::Pause(std::uint32_t totalMs, std::uint32_t leftMs) {
    if (unitPoll_ > 0) return;
    leftMs = std::min(leftMs, totalMs);
    const std::uint32_t seconds = leftMs / 1000 + (leftMs % 1000 != 0 ? 1 : 0);
    Set("Waiting: " + std::to_string(seconds) + " s left", PermilleOf(totalMs - leftMs, totalMs));
}

void ProgressModel::PauseDone() {
    if (unitPoll_ == 0) Done();
}

void ProgressModel::UnitWait(int poll) {
    unitPoll_ = poll;
    Set("Waiting for the unit: poll " + std::to_string(poll), -1);
}

void ProgressModel::UnitWaitDone() {
    unitPoll_ = 0;
    Set({}, 0);
}

void ProgressModel::UnitInUse(std::string_view why) {
    std::string text(why);
    if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    Set(std::move(text), -1);
}

void ProgressModel::SetNotice(std::string notice) {
    if (notice == notice_) return;
    notice_ = std::move(notice);
    if (changed_) changed_();
}

void ProgressModel::Set(std::string text, int permille) {
    if (text == text_ && permille == permille_) return;
    text_ = std::move(text);
    permille_ = permille;
    if (changed_) changed_();
}

}  // namespace orlax::gui

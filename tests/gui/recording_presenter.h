// A message presenter for tests: records every box and confirms it with
// its only button, without a real modal box.
#pragma once

#include <string>
#include <vector>

#include "gui/message_presenter.h"
#include "platform/dialog_host.h"

namespace orlax::testing {

class RecordingPresenter final : public gui::MessagePresenter {
public:
    struct Box {
        std::string caption, text;
        unsigned type = 0;
        bool hadOwner = false;
    };

    int ShowMessage(QWidget* owner, std::string_view caption, std::string_view text,
                    unsigned type) override {
        boxes.push_back({std::string(caption), std::string(text), type, owner != nullptr});
        return platform::kIdOk;
    }
    void ShowAbout(QWidget* owner, std::string_view caption, std::string_view text) override {
        abouts.push_back({std::string(caption), std::string(text), 0, owner != nullptr});
    }

    std::vector<Box> boxes;
    std::vector<Box> abouts;
};

}  // namespace orlax::testing

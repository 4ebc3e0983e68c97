// The thin line under the log: what the running operation waits for (the
// file being sent, the pause) as a text and a bar. Empty while idle.
#pragma once

#include <QWidget>

namespace orlax::gui {

class ProgressModel;

class ProgressLine final : public QWidget {
public:
    ProgressLine(ProgressModel& model, QWidget* parent);
    ~ProgressLine() override;
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    const ProgressModel& Model() const { return model_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ProgressModel& model_;
};

}  // namespace orlax::gui

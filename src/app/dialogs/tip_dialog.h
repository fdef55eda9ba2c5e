// The tip of the day (188): the nine tips in turn, one process-wide count,
// and the box that shows it at every start.
#pragma once

#include "engine/context.h"

#include <QDialog>

class QCheckBox;
class QLabel;

namespace zv::app {

class TipDialog : public QDialog {
    Q_OBJECT
public:
    TipDialog(zv::Context& ctx, QWidget* parent);
    ~TipDialog() override;

    // The language text of the tip shown now.
    int tipNumber() const { return tipNumber_; }
    void done(int result) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void NextTip();

    zv::Context& ctx_;
    QCheckBox* atStart_ = nullptr; // 1118
    QLabel* tip_ = nullptr;        // 1134
    bool shownAtStart_ = false;
    int tipNumber_ = 0;
};

} // namespace zv::app

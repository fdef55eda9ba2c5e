// The frame's status bar: a hint part, a processor-load part and a line
// indicator, sized from the widths of "CPU: 100% " and "Ln: 9999___" in the
// bar's own font.
#pragma once

#include <QStatusBar>

class QLabel;

namespace zv::app {

class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(QWidget* parent);

    enum Part { Hint = 0, Cpu = 1, Line = 2 };
    void SetPartText(int part, const QString& text);
    QString PartText(int part) const;
    // The widths measured once at start-up.
    int cpuWidth() const { return cpuWidth_; }
    int lineWidth() const { return lineWidth_; }

private:
    QLabel* parts_[3] = {};
    int cpuWidth_ = 0;
    int lineWidth_ = 0;
};

} // namespace zv::app

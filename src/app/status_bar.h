// The frame's status bar: a hint part, a processor-load part and a line
// indicator, sized from the widths of "CPU: 100% " and "Ln: 9999___" in the
// bar's own font. The hints rotate on a timer, the load is sampled on
// another; both run on the program's own thread.
#pragma once

#include "engine/host/cpu_load.h"

#include <QStatusBar>

#include <functional>
#include <optional>
#include <string>

class QLabel;
class QTimer;

namespace zv::app {

class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(QWidget* parent);

    enum Part { Hint = 0, Cpu = 1, Line = 2 };
    void SetPartText(int part, const QString& text);
    QString PartText(int part) const;

    // The hints, language texts 170 to 178; pick(n) chooses one of n.
    void SetHintTexts(std::function<QString(int)> textOf, std::function<int(int)> pick = {});
    // One step of the hint timer (every 8 seconds): a hint for two steps,
    // then two steps without.
    void HintTick();
    // A hint too long for its part takes over the others while it is shown.
    void ShowHint(const QString& text);
    void ClearHint();
    bool partShown(int part) const;

    // Where the load is read from; the meter stays empty where that does not exist.
    void SetCpuStatPath(std::string path)
    {
        cpuStatPath_ = std::move(path);
        lastCpu_.reset();
    }
    // One sample of the load meter (every 1.2 seconds).
    void SampleCpu();
    bool cpuRaised() const;

signals:
    void hintClicked();
    // The line indicator, clicked (right: the context button).
    void lineClicked(bool right);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QLabel* parts_[3] = {};
    QLabel* hintIcon_ = nullptr;
    int cpuWidth_ = 0;
    int lineWidth_ = 0;
    std::function<QString(int)> hintText_;
    std::function<int(int)> pick_;
    int hintCounter_ = 0;
    bool layoutChanged_ = false;
    QTimer* hintTimer_ = nullptr;
    QTimer* cpuTimer_ = nullptr;
    std::string cpuStatPath_ = "/proc/stat";
    std::optional<zv::CpuTimes> lastCpu_;
};

} // namespace zv::app

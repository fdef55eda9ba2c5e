// The strip of command buttons over the top of the frame's client area. It is
// also the one place that accepts dropped files.
#pragma once

#include <QWidget>

#include <functional>
#include <map>

class QMenu;
class QToolButton;

namespace zv::app {

class ToolbarStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 35;

    struct Button {
        int id;          // control id, also the objectName
        int command;     // what a click dispatches
        const char* icon; // :/icons/<icon>.svg
        int tipText;     // language text of the tool tip
        bool enabled;    // initial state
    };
    // The fifteen buttons, left to right.
    static const Button kButtons[15];

    // command: the frame's dispatcher; dropped: called with the first dropped file.
    ToolbarStrip(QWidget* parent, std::function<void(int)> command, std::function<void(const QString&)> dropped);

    // The language text that names the button of the buttons a narrow frame has no room for.
    static constexpr int kMoreText = 147;

    // tipOf(n) gives language text n, for the tool tips and accessible names.
    void SetTexts(const std::function<QString(int)>& textOf);
    QToolButton* button(int id) const;
    // The button that lists the buttons a narrow frame has no room for.
    QToolButton* moreButton() const { return more_; }
    void SetButtonEnabled(int id, bool enabled);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FillMoreMenu();

    QWidget* row_ = nullptr;
    QToolButton* more_ = nullptr;
    QMenu* moreMenu_ = nullptr;
    std::function<void(int)> command_;
    std::function<void(const QString&)> dropped_;
    std::map<int, QToolButton*> buttons_;
};

} // namespace zv::app

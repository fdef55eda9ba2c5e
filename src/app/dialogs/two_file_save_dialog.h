// Saves the two results of Split (template 142): each result gets its own
// target name and a mark whether to save it; the second is saved first.
#pragma once

#include "qt/qt_host.h"
#include "engine/context.h"
#include "engine/io/input_file.h"

#include <QCheckBox>
#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace zv::app {

// A check box whose state only the dialog sets: a click reports, it does not toggle.
class PlainCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {}
};

class TwoFileSaveDialog : public QDialog {
    Q_OBJECT
public:
    // Both results are written in style, the open file's own; a name typed
    // without an extension gets `extension`, the results' format's.
    TwoFileSaveDialog(zv::Context& ctx, const QString& initialFolder, QWidget* parent, zv::TextStyle style = {},
                      const QString& extension = QStringLiteral("txt"));

    // What reached its target; the frame closes those results' windows.
    bool firstSaved() const { return firstSaved_; }
    bool secondSaved() const { return secondSaved_; }

    QString firstTarget() const { return part_[0].target; }
    QString secondTarget() const { return part_[1].target; }

private:
    struct Part {
        QString target;
        bool marked = false;
        PlainCheckBox* check = nullptr;
        QLabel* path = nullptr;
        QPushButton* change = nullptr;
    };

    void ChangeName(int index);
    void ToggleMark(int index);
    void Save();
    // Copies source over target through a temporary file beside it; tells the
    // user on failure.
    bool SaveCopy(const std::string& source, const QString& target);

    zv::Context& ctx_;
    zv::TextStyle style_;
    QString folder_;
    QString extension_;
    qt::DialogOwnerScope ownerScope_;
    Part part_[2];
    QPushButton* ok_ = nullptr;
    bool firstSaved_ = false;
    bool secondSaved_ = false;
};

} // namespace zv::app

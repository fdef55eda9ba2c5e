// The Move time dialogs: an amount in hours, minutes and seconds for the timed
// formats (104), a number of frames or tenths for MicroDvd and Mpl2 (106).
// OK closes the dialog and then runs the move on the open file.
#pragma once

#include "app/dialogs/dialog_parts.h"
#include "engine/context.h"
#include "engine/formats/format.h"
#include "engine/formats/format_handler.h"

#include <QString>

class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace zv::app {

// What both dialogs share: file name, format, direction, the adjustment text,
// OK and Cancel.
class MoveDialogBase : public CommandDialog {
    Q_OBJECT
public:
    // The signed amount OK would apply, in the StandardFile's units.
    virtual long ShiftDelta() const = 0;
    bool later() const { return later_; }

protected:
    MoveDialogBase(zv::Context& ctx, zv::FormatHandler& handler, zv::SubtitleFormat format, const QString& fileName,
                   QWidget* parent, const char* resource);

    // Adds the "File format:" group with one radio per (id, format); only the
    // open file's format is enabled and selected.
    void AddFormatGroup(std::initializer_list<FormatRadio> radios);
    // Adds the direction group, the controls of the amount, 1013 and OK/Cancel.
    void AddDirectionGroup();
    void AddButtons();
    QChar SignChar() const { return later_ ? QLatin1Char('+') : QLatin1Char('-'); }
    void SetOkEnabled(bool enabled);

    zv::SubtitleFormat format_;
    QLabel* adjustment_ = nullptr; // 1013

private:
    void SetDirection(bool later);
    void RunMove();

    zv::FormatHandler& handler_;
    bool later_ = true;
    QRadioButton* laterRadio_ = nullptr;
    QRadioButton* earlierRadio_ = nullptr;
    QPushButton* ok_ = nullptr;
};

class MoveTimeDialog : public MoveDialogBase {
    Q_OBJECT
public:
    MoveTimeDialog(zv::Context& ctx, zv::FormatHandler& handler, zv::SubtitleFormat format, const QString& fileName,
                   QWidget* parent);
    long ShiftDelta() const override;
    int seconds() const { return seconds_; }
    int minutes() const { return minutes_; }
    int hours() const { return hours_; }
    int maxHours() const;

private:
    enum class Field { Seconds, Minutes, Hours };
    void OnScroll(Field field, int action);
    int& ValueOf(Field field);
    void ShowAdjustment();

    int seconds_ = 0;
    int minutes_ = 0;
    int hours_ = 0;
    QScrollBar* bars_[3] = {};
    QLabel* values_[3] = {};
};

class MoveFramesDialog : public MoveDialogBase {
    Q_OBJECT
public:
    MoveFramesDialog(zv::Context& ctx, zv::FormatHandler& handler, zv::SubtitleFormat format,
                     const QString& fileName, QWidget* parent);
    long ShiftDelta() const override;
    int count() const { return count_; }

    static constexpr int kBarMaximum = 30000;

private:
    void OnScroll(int action);
    QString UnitLabel() const;

    int count_ = 0;
    QScrollBar* bar_ = nullptr;
    QLabel* value_ = nullptr;
};

} // namespace zv::app

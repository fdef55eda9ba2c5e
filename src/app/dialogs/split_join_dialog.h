// Split (141) and Join (177): one amount for the second part, typed as a
// number of the file's units or as a time (with a frame rate for MicroDvd),
// offered as the boundary subtitle's start. OK closes the dialog and runs the
// command on the open file.
#pragma once

#include "app/dialogs/dialog_parts.h"
#include "engine/formats/format_handler.h"

#include <optional>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace zv::app {

// Split without a selected line: where to select.
inline constexpr int kSelectSplitLineText = 423;

class ShiftAmountDialog : public CommandDialog {
    Q_OBJECT
public:
    // The amount OK would take (>= 0, in the StandardFile's units); nullopt
    // after telling the user why it cannot be taken.
    std::optional<long> Amount();
    long boundaryStart() const { return boundary_; }

protected:
    struct Texts {
        int title, group, timeRadio, framesRadio, tenthsRadio;
        const char* help;
    };
    ShiftAmountDialog(zv::Context& ctx, zv::FormatHandler& handler, long boundaryStart, const Texts& texts,
                      const char* resource, QWidget* parent);
    // Runs the command with the amount; the dialog is closed by then.
    virtual void Run(long amount) = 0;

    zv::FormatHandler& handler_;

private:
    void Choose(bool byNumber);
    void Ok();

    long boundary_;
    bool frameBased_;
    // The open file keeps exact times: a time-based boundary is milliseconds.
    bool exact_;
    QRadioButton* byNumber_ = nullptr; // 1001
    QRadioButton* byTime_ = nullptr;   // 1002
    QLineEdit* number_ = nullptr;      // 1048
    QLineEdit* clock_[4] = {};         // 1027-1029, 1031: hours, minutes, seconds, milliseconds (exact only)
    QString offered_;                  // the number first shown in 1048
    QLineEdit* fps_ = nullptr;         // 1030
};

class SplitDialog : public ShiftAmountDialog {
    Q_OBJECT
public:
    // n: subtitles of the first part (the frame's selected line, as a subtitle
    // number for multi-line formats), at least 1.
    SplitDialog(zv::Context& ctx, zv::FormatHandler& handler, long n, QWidget* parent);

private:
    void Run(long amount) override;
    long n_;
};

class JoinDialog : public ShiftAmountDialog {
    Q_OBJECT
public:
    // The second file is read into the SecondStandardFile already.
    JoinDialog(zv::Context& ctx, zv::FormatHandler& handler, QWidget* parent);

private:
    void Run(long amount) override;
};

} // namespace zv::app

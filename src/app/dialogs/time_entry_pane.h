// One reference time of Synchronize: typed as one number or as hours,
// minutes and seconds (a frame number for MicroDvd), or picked in the movie.
#pragma once

#include "engine/context.h"
#include "engine/time_units.h"

#include <QWidget>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;

namespace zv::app {

class TimeEntryPane : public QWidget {
    Q_OBJECT
public:
    // number: 1 for the first reference, 2 for the second.
    // precision: the unit of the open file's times (frames aside).
    TimeEntryPane(zv::Context& ctx, bool frameBased, zv::TimePrecision precision, int number, QWidget* parent);

    int number() const { return number_; }
    bool frameBased() const { return frameBased_; }
    // 0: one number (tenths or frames), 1: hours, minutes, seconds (and
    // milliseconds with exact times).
    int CurrentTab() const;
    void SetCurrentTab(int tab);

    // Shows a value in StandardFile units as the pane's current time.
    void ShowValue(long value);
    // The time the user entered, in StandardFile units; nullopt when it is
    // above the largest field time and cannot be a time at all.
    std::optional<long> EnteredValue() const;
    // Puts the keyboard focus where the value is typed.
    void FocusEntry();

    // Lets the user pick the subtitle's moment in the movie and shows it.
    void ApplyMoviePosition(const QString& subtitleText);

signals:
    // The movie button: the dialog answers with ApplyMoviePosition.
    void MovieRequested(int number);
    // The entered time may have changed (typed, shown or picked).
    void ValueChanged();

private:
    void OnTabChanged(int tab);
    void ShowStored();
    void ShowParts(long value);
    bool exact() const { return !frameBased_ && precision_ == zv::TimePrecision::Milliseconds; }
    QLineEdit* Edit(const char* id, const QString& name);

    zv::Context& ctx_;
    bool frameBased_;
    zv::TimePrecision precision_;
    int number_;
    long stored_ = 0;
    // The fields as last shown: while they stand, the stored value (with
    // what they cannot hold) is what the pane hands back.
    QString shownHms_[4];
    QString shownSingle_;
    int tab_ = 0;
    QTabBar* tabs_ = nullptr;  // 1111
    QLabel* prompt_ = nullptr; // 90
    QLineEdit* single_ = nullptr; // 99, or 103 for MicroDvd
    QLineEdit* hms_[4] = {};      // 100, 101, 102, and 104 for milliseconds
    QPushButton* movie_ = nullptr; // 10
};

} // namespace zv::app

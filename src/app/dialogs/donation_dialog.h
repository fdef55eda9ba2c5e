// The donation reminder (196 Polish, 198 English): shown at start-up once
// enough files were saved, and from the Help menu.
#pragma once

#include "qt/qt_host.h"
#include "engine/context.h"

#include <QDialog>

class QCheckBox;
class QPixmap;

namespace zv::app {

// Every save counts NUMBER_OF_SAVED_FILES down; below -4 the reminder is due.
bool DonationReminderDue(zv::SettingsStore& settings);
// One saved file. A count never set starts where the reminder sets it, so
// the first reminder too comes after 20 saves.
void CountSavedFile(zv::SettingsStore& settings);
// The banner of the reminder and of the Help menu's entry.
QPixmap DonationBanner();

class DonationDialog : public QDialog {
    Q_OBJECT
public:
    DonationDialog(zv::Context& ctx, QWidget* parent);
    void done(int result) override;

private:
    void Donate();

    zv::Context& ctx_;
    qt::DialogOwnerScope owner_;
    bool polish_ = false;
    QCheckBox* never_ = nullptr; // 1050
};

} // namespace zv::app

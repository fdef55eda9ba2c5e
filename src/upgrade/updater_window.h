// The check window: the user asks for a newer version, sees the answer in the
// status box and, when there is one, opens the download page with the same
// button. The fetch runs on its own thread, so the window stays alive and
// Cancel stops it.
#pragma once

#include "engine/update/update_check.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <thread>

class QCheckBox;
class QGroupBox;
class QPlainTextEdit;

namespace zv::upgrade {

struct UpgradeContext;
class CurlFetcher;
class IconButton;

class UpdaterWindow : public QDialog {
    Q_OBJECT
public:
    explicit UpdaterWindow(UpgradeContext& ctx, QWidget* parent = nullptr);
    ~UpdaterWindow() override;

    bool Fetching() const { return fetcher_ != nullptr; }

signals:
    // A check has ended, whatever its outcome.
    void checkFinished();

protected:
    void reject() override;

private:
    void CheckPressed();
    void CancelPressed();
    void CheckEnded(zv::CheckOutcome outcome, const QString& text);
    // The wait cursor and the check button off while a check runs.
    void SetWaiting(bool waiting);
    void StopFetch();

    UpgradeContext& ctx_;
    IconButton* check_ = nullptr;
    IconButton* cancel_ = nullptr;
    QGroupBox* group_ = nullptr;
    QPlainTextEdit* status_ = nullptr;
    QCheckBox* automatic_ = nullptr;
    std::string installed_;
    bool found_ = false;
    bool cancelled_ = false;
    bool waiting_ = false;
    bool focusBack_ = false;
    std::unique_ptr<CurlFetcher> fetcher_;
    std::thread thread_;
};

} // namespace zv::upgrade

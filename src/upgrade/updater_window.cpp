#include "upgrade/updater_window.h"

#include "engine/update/update_check.h"
#include "qt/qt_host.h"
#include "qt/shell.h"
#include "qt/text_codec.h"
#include "upgrade/curl_fetcher.h"
#include "upgrade/icon_button.h"
#include "upgrade/upgrade.h"
#include "engine/config/setting_names.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QPlainTextEdit>
#include <QUrl>
#include <QVBoxLayout>

namespace zv::upgrade {

UpdaterWindow::UpdaterWindow(UpgradeContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx)
{
    setObjectName(QStringLiteral("102"));
    setWindowTitle(ctx_.Text(155));
    setWindowIcon(QIcon(QStringLiteral(":/icons/zentavo.svg")));

    check_ = new IconButton(ctx_.Text(154), this);
    check_->setObjectName(QStringLiteral("1002"));
    check_->SetIcon(QStringLiteral(":/icons/check-update.svg"), 20, 16);
    connect(check_, &QPushButton::clicked, this, &UpdaterWindow::CheckPressed);

    group_ = new QGroupBox(ctx_.Text(392), this);
    group_->setObjectName(QStringLiteral("1000"));
    status_ = new QPlainTextEdit(group_);
    status_->setObjectName(QStringLiteral("1007"));
    status_->setReadOnly(true);
    status_->setAccessibleName(group_->title());
    status_->setMinimumSize(400, 140);
    (new QVBoxLayout(group_))->addWidget(status_);

    automatic_ = new QCheckBox(ctx_.Text(159), this);
    automatic_->setObjectName(QStringLiteral("1005"));
    automatic_->setChecked(zv::UpdateChecksOn(ctx_.settings));
    connect(automatic_, &QCheckBox::toggled, this,
            [this](bool ticked) { ctx_.settings.WriteSetting(zv::key::CheckForUpdates, ticked ? "" : "1"); });

    cancel_ = new IconButton(ctx_.Text(21), this);
    cancel_->setObjectName(QStringLiteral("2"));
    cancel_->SetIcon(QStringLiteral(":/icons/cancel.svg"), 20, 20);
    connect(cancel_, &QPushButton::clicked, this, &UpdaterWindow::CancelPressed);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(check_);
    layout->addWidget(group_, 1);
    layout->addWidget(automatic_);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(cancel_);
    layout->addLayout(bottom);

    installed_ = ctx_.settings.ReadSetting(zv::key::InstalledVersion).substr(0, 10);
    ctx_.host.SetFrame(this);
}

UpdaterWindow::~UpdaterWindow()
{
    StopFetch();
}

void UpdaterWindow::CheckPressed()
{
    if (found_) {
        ctx_.OpenDownloadPage(zv::Owner::Frame);
        return;
    }
    if (fetcher_)
        return;
    SetWaiting(true);
    cancelled_ = false;
    status_->clear();
    fetcher_ = std::make_unique<CurlFetcher>(ctx_.timeout);
    // The window waits for the fetch's thread before it goes, so both calls
    // below find it; they run on the window's own thread.
    fetcher_->SetStatusListener([this](const std::string& line) {
        QMetaObject::invokeMethod(
            this, [this, text = QString::fromStdString(line)] {
                if (fetcher_) // a late line of a check that has ended
                    status_->setPlainText(text);
            },
            Qt::QueuedConnection);
    });
    thread_ = std::thread([this, fetcher = fetcher_.get(), base = ctx_.base, installed = installed_] {
        const zv::VersionCheck check = zv::CheckForNewerVersion(*fetcher, base, installed);
        const QString text = check.outcome == zv::CheckOutcome::Newer ? NewVersionText(check.version, check.text)
                                                                      : SiteText(check.text);
        QMetaObject::invokeMethod(
            this, [this, outcome = check.outcome, text] { CheckEnded(outcome, text); }, Qt::QueuedConnection);
    });
}

void UpdaterWindow::SetWaiting(bool waiting)
{
    if (waiting == waiting_)
        return;
    waiting_ = waiting;
    if (waiting) {
        // Disabling the button moves the focus on; it comes back afterwards.
        focusBack_ = check_->hasFocus();
        check_->setEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        check_->setEnabled(true);
        if (focusBack_)
            check_->setFocus();
        QApplication::restoreOverrideCursor();
    }
}

void UpdaterWindow::CheckEnded(zv::CheckOutcome outcome, const QString& text)
{
    if (!fetcher_)
        return; // the window was closed while the check ran
    StopFetch();
    SetWaiting(false);
    switch (outcome) {
    case zv::CheckOutcome::Newer:
        status_->setPlainText(text);
        check_->setText(ctx_.DownloadPage());
        check_->SetIcon(QStringLiteral(":/icons/download.svg"), 20, 16);
        found_ = true;
        break;
    case zv::CheckOutcome::Newest:
        status_->setPlainText(ctx_.Text(157));
        break;
    case zv::CheckOutcome::Malformed:
        status_->clear();
        ctx_.host.Message(ctx_.texts.LookupText(kNotAVersionFileText), ctx_.texts.LookupText(52), zv::Buttons::Ok,
                          zv::Icon::Stop, zv::Owner::Frame);
        break;
    case zv::CheckOutcome::Failed:
        if (cancelled_) {
            status_->setPlainText(ctx_.Text(kCheckCancelledText));
            break;
        }
        status_->clear();
        ctx_.host.Message(zv::qt::EncodeText(text), ctx_.texts.LookupText(52), zv::Buttons::Ok, zv::Icon::Stop,
                          zv::Owner::Frame);
        break;
    }
    emit checkFinished();
}

void UpdaterWindow::CancelPressed()
{
    if (fetcher_) {
        cancelled_ = true;
        fetcher_->Cancel();
        return;
    }
    QDialog::reject();
}

void UpdaterWindow::reject()
{
    // Escape or the close box while a check runs: stop it and go.
    if (fetcher_) {
        cancelled_ = true;
        StopFetch();
        SetWaiting(false);
    }
    QDialog::reject();
}

void UpdaterWindow::StopFetch()
{
    if (fetcher_)
        fetcher_->Cancel();
    if (thread_.joinable())
        thread_.join();
    fetcher_.reset();
}

} // namespace zv::upgrade

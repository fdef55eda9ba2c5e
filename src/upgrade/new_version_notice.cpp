#include "upgrade/new_version_notice.h"

#include "qt/shell.h"
#include "qt/unattended.h"
#include "upgrade/icon_button.h"
#include "upgrade/upgrade.h"
#include "engine/config/setting_names.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QPlainTextEdit>
#include <QUrl>
#include <QVBoxLayout>

namespace zv::upgrade {

NewVersionNotice::NewVersionNotice(UpgradeContext& ctx, const QString& text, NoticeMode mode, QWidget* parent)
    : QDialog(parent), ctx_(ctx), mode_(mode)
{
    setObjectName(QStringLiteral("130"));
    setWindowTitle(QStringLiteral("Zentavo - %1").arg(ctx_.Text(155)));
    setWindowIcon(QIcon(QStringLiteral(":/icons/zentavo.svg")));

    // The site's text is shown as it stands, never as markup.
    text_ = new QPlainTextEdit(text, this);
    text_->setObjectName(QStringLiteral("1007"));
    text_->setReadOnly(true);
    text_->setAccessibleName(windowTitle());
    text_->setMinimumSize(420, 180);

    check_ = new QCheckBox(ctx_.Text(159), this);
    check_->setObjectName(QStringLiteral("1006"));
    check_->setChecked(true);
    connect(check_, &QCheckBox::toggled, this,
            [this](bool ticked) { ctx_.settings.WriteSetting(zv::key::CheckForUpdates, ticked ? "" : "1"); });

    download_ = new IconButton(ctx_.DownloadPage(), this);
    download_->setObjectName(QStringLiteral("1008"));
    download_->SetIcon(QStringLiteral(":/icons/download.svg"), 20, 16);
    connect(download_, &QPushButton::clicked, this, [this] { ctx_.OpenDownloadPage(zv::Owner::Dialog); });

    cancel_ = new IconButton(ctx_.Text(21), this);
    cancel_->setObjectName(QStringLiteral("2"));
    cancel_->SetIcon(QStringLiteral(":/icons/cancel.svg"), 20, 20);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(check_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(download_, 1);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
}

bool NewVersionNotice::checkBoxTicked() const
{
    return check_->isChecked();
}

void NewVersionNotice::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    raise();
    activateWindow();
    QApplication::beep();
}

bool ShowNewVersionNotice(UpgradeContext& ctx, const QString& text, NoticeMode mode)
{
    NewVersionNotice notice(ctx, text, mode);
    if (!zv::qt::UnattendedLog().isEmpty()) {
        // Closed as Cancel would close it: the check box stays ticked.
        zv::qt::LogUnattended(QStringLiteral("window %1 (%2): %3")
                                   .arg(notice.windowTitle(),
                                        mode == NoticeMode::Version ? QStringLiteral("version")
                                                                    : QStringLiteral("announcement"),
                                        text));
        return notice.checkBoxTicked();
    }
    notice.exec();
    return notice.checkBoxTicked();
}

} // namespace zv::upgrade

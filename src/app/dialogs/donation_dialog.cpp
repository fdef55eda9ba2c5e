#include "app/dialogs/donation_dialog.h"

#include "app/launch.h"
#include "qt/shell.h"
#include "qt/texts.h"
#include "engine/config/setting_names.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>
#include <string>

namespace zv::app {

using qt::DonationPage;
using qt::PlainText;
using qt::Tr;

namespace {

// Saves until the next reminder, and the count that means "never again".
constexpr char kRemindAgain[] = "15";
constexpr char kNeverAgain[] = "10000000";
constexpr long kNeverThreshold = 1000;
constexpr int kPolish = 1045;

} // namespace

bool DonationReminderDue(zv::SettingsStore& settings)
{
    return settings.ReadNumber(key::SavedFiles) < -4;
}

void CountSavedFile(zv::SettingsStore& settings)
{
    // Each step under the key's lock: two programs saving at once both count.
    settings.ModifySetting(key::SavedFiles, [](const std::string* old) {
        return std::optional<std::string>(old && !old->empty() ? *old : std::string(kRemindAgain));
    });
    settings.AddToNumber(key::SavedFiles, -1);
}

QPixmap DonationBanner()
{
    // The word with the program's icon in place of its second letter.
    static const QPixmap banner = [] {
        QPixmap pixmap(200, 40);
        pixmap.fill(QColor(0xF6, 0xC9, 0x45));
        QPainter painter(&pixmap);
        QFont font(QStringLiteral("Arial"));
        font.setWeight(QFont::Black);
        font.setPixelSize(26);
        painter.setFont(font);
        painter.setPen(QColor(0x2F, 0x3B, 0x4C));
        const QRect d(10, 2, 40, 36);
        painter.drawText(d, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("D"));
        const int iconX = 10 + painter.fontMetrics().horizontalAdvance(QLatin1Char('D'));
        QIcon(QStringLiteral(":/icons/zentavo.svg")).paint(&painter, iconX, 4, 32, 32);
        painter.drawText(QRect(iconX + 32, 2, 160, 36), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("NATE..."));
        return pixmap;
    }();
    return banner;
}

DonationDialog::DonationDialog(zv::Context& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), owner_(ctx.host, this),
      polish_(ctx.settings.ReadNumber(key::InstallerLanguage) == kPolish)
{
    setObjectName(polish_ ? QStringLiteral("196") : QStringLiteral("198"));
    setWindowTitle(Tr(ctx_, 419));
    auto* column = new QVBoxLayout(this);
    auto* banner = new QPushButton(this);
    banner->setObjectName(QStringLiteral("1136"));
    banner->setIcon(DonationBanner());
    banner->setIconSize(DonationBanner().size());
    banner->setAccessibleName(PlainText(Tr(ctx_, 418)));
    column->addWidget(banner, 0, Qt::AlignHCenter);
    auto* text = new QLabel(Tr(ctx_, 416), this);
    text->setWordWrap(true);
    text->setTextFormat(Qt::PlainText);
    column->addWidget(text);
    never_ = new QCheckBox(Tr(ctx_, 417), this);
    never_->setObjectName(QStringLiteral("1050"));
    never_->setChecked(ctx_.settings.ReadNumber(key::SavedFiles) > kNeverThreshold);
    column->addWidget(never_);

    auto* ok = new QPushButton(Tr(ctx_, 418), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(Tr(ctx_, 364), this);
    cancel->setObjectName(QStringLiteral("2"));
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    column->addLayout(row);
    connect(ok, &QPushButton::clicked, this, &DonationDialog::Donate);
    connect(banner, &QPushButton::clicked, this, [this, ok] {
        ok->setFocus();
        Donate();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void DonationDialog::Donate()
{
    OpenOrTell(ctx_, DonationPage(polish_), zv::Owner::Dialog);
    accept();
}

void DonationDialog::done(int result)
{
    ctx_.settings.WriteSetting(key::SavedFiles, never_->isChecked() ? kNeverAgain : kRemindAgain);
    QDialog::done(result);
}

} // namespace zv::app

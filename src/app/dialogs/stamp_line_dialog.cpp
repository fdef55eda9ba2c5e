#include "app/dialogs/stamp_line_dialog.h"

#include "qt/texts.h"
#include "engine/config/setting_names.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zv::app {

using qt::DecodeText;
using qt::EncodeText;
using qt::Tr;

namespace {

// A stamp is one StandardFile line: its text leaves room for the times and
// the line end.
constexpr std::size_t kMaxStampBytes = 999 - 16 - 2;

QString StoredStamp(zv::Context& ctx, const char* name)
{
    return DecodeText(zv::CleanStampText(ctx.settings.ReadSetting(name)));
}

// The text as it is stored and stamped: one row, never cut inside a character.
std::string StampBytes(const QLineEdit* edit)
{
    return zv::CutUtf8(zv::CleanStampText(EncodeText(edit->text())), kMaxStampBytes);
}

} // namespace

StampLineDialog::StampLineDialog(zv::Context& ctx, zv::FormatHandler* handler, bool canStamp, QWidget* parent)
    : CommandDialog(ctx, parent, "203", 382, QStringLiteral("Add stamp-line to output file... command")),
      handler_(handler)
{
    QGroupBox* group = Group(this, "1139", Tr(ctx_, 376));
    auto* radios = new QVBoxLayout(group);
    const char* ids[3] = {"1001", "1002", "1003"};
    for (int i = 0; i < 3; ++i) {
        radios_[i] = new QRadioButton(Tr(ctx_, 377 + i), group);
        radios_[i]->setObjectName(QString::fromLatin1(ids[i]));
        const auto place = static_cast<zv::StampPlace>(i + 1);
        connect(radios_[i], &QRadioButton::clicked, this, [this, place] { Choose(place, true); });
        radios->addWidget(radios_[i]);
    }
    layout_->addWidget(group);

    auto* texts = new QGridLayout;
    auto* beginLabel = new QLabel(Tr(ctx_, 380), this);
    beginLabel->setObjectName(QStringLiteral("1140"));
    auto* endLabel = new QLabel(Tr(ctx_, 381), this);
    endLabel->setObjectName(QStringLiteral("1141"));
    begin_ = new QLineEdit(this);
    begin_->setObjectName(QStringLiteral("1027"));
    end_ = new QLineEdit(this);
    end_->setObjectName(QStringLiteral("1028"));
    for (QLineEdit* edit : {begin_, end_}) {
        edit->setMaxLength(1000);
        edit->setEnabled(false);
        edit->setMinimumWidth(360);
    }
    beginLabel->setBuddy(begin_);
    endLabel->setBuddy(end_);
    texts->addWidget(beginLabel, 0, 0);
    texts->addWidget(begin_, 0, 1);
    texts->addWidget(endLabel, 1, 0);
    texts->addWidget(end_, 1, 1);
    layout_->addLayout(texts);

    automatic_ = new QCheckBox(Tr(ctx_, 383), this);
    automatic_->setObjectName(QStringLiteral("1118"));
    layout_->addWidget(automatic_);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(Tr(ctx_, 386), QDialogButtonBox::ApplyRole);
    ok_->setObjectName(QStringLiteral("1"));
    stamp_ = buttons->addButton(Tr(ctx_, 387), QDialogButtonBox::ActionRole);
    stamp_->setObjectName(QStringLiteral("3"));
    QPushButton* cancel = buttons->addButton(Tr(ctx_, 21), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("2"));
    connect(ok_, &QPushButton::clicked, this, &StampLineDialog::Store);
    connect(stamp_, &QPushButton::clicked, this, &StampLineDialog::StampOpenFile);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout_->addWidget(buttons);

    // Set-up from the stored settings.
    QString begin = StoredStamp(ctx_, key::StampBeginning);
    if (begin.isEmpty()) {
        const std::string owner = zv::RegisteredOwner();
        if (!owner.empty())
            begin = QStringLiteral("%1 | %2").arg(Tr(ctx_, 384), DecodeText(owner));
    }
    begin_->setText(begin);
    QString end = StoredStamp(ctx_, key::StampEnd);
    end_->setText(end.isEmpty() ? Tr(ctx_, 385) : end);
    automatic_->setChecked(zv::StampLineAutomatic(ctx_.settings));
    const long place = ctx_.settings.ReadNumber(key::StampPlace);
    if (place >= 1 && place <= 3)
        Choose(static_cast<zv::StampPlace>(place), false);
    ok_->setEnabled(false);
    stamp_->setEnabled(canStamp && handler_ != nullptr);
    connect(automatic_, &QCheckBox::toggled, this, [this] { ok_->setEnabled(true); });
    // A new text is a change to store like any other.
    for (QLineEdit* edit : {begin_, end_})
        connect(edit, &QLineEdit::textEdited, this, [this] { ok_->setEnabled(true); });
}

void StampLineDialog::Choose(zv::StampPlace place, bool byUser)
{
    place_ = place;
    const int index = static_cast<int>(place) - 1;
    for (int i = 0; i < 3; ++i)
        radios_[i]->setChecked(i == index);
    begin_->setEnabled(place == zv::StampPlace::Beginning || place == zv::StampPlace::Both);
    end_->setEnabled(place == zv::StampPlace::End || place == zv::StampPlace::Both);
    if (byUser)
        ok_->setEnabled(true);
}

void StampLineDialog::Store()
{
    ok_->setEnabled(false);
    zv::SettingsStore& settings = ctx_.settings;
    settings.WriteSetting(key::StampAuto, automatic_->isChecked() ? "1" : "0");
    settings.WriteSetting(key::StampBeginning, StampBytes(begin_));
    settings.WriteSetting(key::StampEnd, StampBytes(end_));
    settings.WriteSetting(key::StampPlace, std::to_string(static_cast<int>(place_)));
}

void StampLineDialog::StampOpenFile()
{
    if (handler_ && place_ != zv::StampPlace::None) {
        outcome_ = zv::RunStampLine(ctx_, *handler_, place_, StampBytes(begin_), StampBytes(end_), writeOptions_);
    }
    accept();
}

} // namespace zv::app

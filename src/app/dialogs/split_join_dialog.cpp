#include "app/dialogs/split_join_dialog.h"

#include "qt/texts.h"
#include "engine/operations/join.h"
#include "engine/operations/operation_common.h"
#include "engine/operations/split.h"
#include "engine/standard_file.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace zv::app {

using qt::Tr;

namespace {

QLineEdit* Edit(QWidget* parent, const char* id, const QString& pattern, const QString& text)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(id));
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
    edit->setEnabled(false);
    return edit;
}

QLabel* Static(QWidget* parent, const char* id, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(id));
    return label;
}

// Digits only; typed values are whole numbers.
long Digits(const QLineEdit* edit)
{
    bool ok = false;
    const long value = edit->text().toLong(&ok);
    return ok ? value : 0;
}

} // namespace

ShiftAmountDialog::ShiftAmountDialog(zv::Context& ctx, zv::FormatHandler& handler, long boundaryStart,
                                     const Texts& texts, const char* resource, QWidget* parent)
    : CommandDialog(ctx, parent, resource, texts.title, QString::fromLatin1(texts.help)), handler_(handler),
      boundary_(boundaryStart), frameBased_(handler.isFrameBased == 1),
      exact_(!frameBased_ && handler.precision == zv::TimePrecision::Milliseconds)
{
    // The number field counts tenths (or frames) either way.
    const long shownNumber = exact_ ? boundary_ / 100 : boundary_;
    offered_ = QString::number(shownNumber);
    QGroupBox* group = Group(this, "1049", Tr(ctx_, texts.group));
    auto* grid = new QGridLayout(group);
    layout_->addWidget(group);

    // A StandardFile time has seven digits: nothing longer can be typed.
    const QString sevenDigits = QStringLiteral("[0-9]{0,7}");
    byNumber_ = new QRadioButton(Tr(ctx_, frameBased_ ? texts.framesRadio : texts.tenthsRadio), group);
    byNumber_->setObjectName(QStringLiteral("1001"));
    number_ = Edit(group, "1048", sevenDigits, offered_);
    number_->setAccessibleName(byNumber_->text());
    grid->addWidget(byNumber_, 0, 0, 1, 2);
    grid->addWidget(number_, 0, 2, 1, 2);

    // The boundary subtitle's start as it is offered, in units and as a time.
    QGroupBox* units = Group(group, "1043", Tr(ctx_, frameBased_ ? 26 : 230));
    (new QVBoxLayout(units))->addWidget(Static(units, "1039", offered_));
    QString clockText = QStringLiteral("------");
    long hours = 0;
    long minutes = 0;
    long seconds = 0;
    long milliseconds = 0;
    if (exact_) {
        milliseconds = boundary_ % 1000;
        zv::HmsFromTenths(boundary_ / 100, hours, minutes, seconds);
    } else if (!frameBased_) {
        zv::HmsFromTenths(boundary_, hours, minutes, seconds);
    }
    if (!frameBased_) {
        clockText = QStringLiteral("%1:%2:%3")
                        .arg(hours, 2, 10, QLatin1Char('0'))
                        .arg(minutes, 2, 10, QLatin1Char('0'))
                        .arg(seconds, 2, 10, QLatin1Char('0'));
        if (exact_)
            clockText += QStringLiteral(",%1").arg(milliseconds, 3, 10, QLatin1Char('0'));
    }
    QGroupBox* clockGroup = Group(group, "1122", Tr(ctx_, 35));
    (new QVBoxLayout(clockGroup))->addWidget(Static(clockGroup, "1044", clockText));
    grid->addWidget(units, 1, 0, 1, 2);
    grid->addWidget(clockGroup, 1, 2, 1, 2);

    byTime_ = new QRadioButton(Tr(ctx_, texts.timeRadio), group);
    byTime_->setObjectName(QStringLiteral("1002"));
    grid->addWidget(byTime_, 2, 0, 1, 4);
    grid->addWidget(Static(group, "1042", Tr(ctx_, 35)), 3, 0);
    const char* clockIds[4] = {"1027", "1028", "1029", "1031"};
    const long clockValues[4] = {hours, minutes, seconds, milliseconds};
    // Each field is named by its part of "hh : mm : ss" for screen readers.
    const QStringList parts = Tr(ctx_, 35).split(QLatin1Char(':'));
    auto* clockRow = new QHBoxLayout;
    for (int i = 0; i < (exact_ ? 4 : 3); ++i) {
        // Time edits start empty for a frame file: its boundary is no time.
        clock_[i] = Edit(group, clockIds[i], i == 3 ? QStringLiteral("[0-9]{0,3}") : QStringLiteral("[0-9]{0,7}"),
                         frameBased_ ? QString() : QString::number(clockValues[i]));
        if (i == 3) {
            clock_[i]->setAccessibleName(Tr(ctx_, 437).remove(QLatin1Char(':')));
            clockRow->addWidget(new QLabel(QStringLiteral(","), group));
        } else {
            clock_[i]->setAccessibleName(parts.size() == 3 ? parts[i].trimmed() : Tr(ctx_, 35));
        }
        clockRow->addWidget(clock_[i]);
    }
    grid->addLayout(clockRow, 3, 1, 1, 3);
    QGroupBox* fpsGroup = Group(group, "1121", Tr(ctx_, 30));
    fps_ = Edit(fpsGroup, "1030", QStringLiteral("[0-9]{0,4}([.,][0-9]{0,6})?"), QString());
    fps_->setAccessibleName(fpsGroup->title());
    (new QVBoxLayout(fpsGroup))->addWidget(fps_);
    grid->addWidget(fpsGroup, 4, 0, 1, 4);

    connect(byNumber_, &QRadioButton::clicked, this, [this] { Choose(true); });
    connect(byTime_, &QRadioButton::clicked, this, [this] { Choose(false); });
    QPushButton* ok = AddOkCancel(ctx_, this, layout_);
    connect(ok, &QPushButton::clicked, this, &ShiftAmountDialog::Ok);
    // The amount on offer is what OK takes unless the user types another.
    Choose(true);
}

void ShiftAmountDialog::Choose(bool byNumber)
{
    byNumber_->setChecked(byNumber);
    byTime_->setChecked(!byNumber);
    number_->setEnabled(byNumber);
    for (QLineEdit* edit : clock_)
        if (edit)
            edit->setEnabled(!byNumber);
    fps_->setEnabled(!byNumber && frameBased_);
    (byNumber ? number_ : clock_[0])->setFocus();
}

std::optional<long> ShiftAmountDialog::Amount()
{
    if (byNumber_->isChecked()) {
        // The offered start as it stands keeps its milliseconds; typed tenths
        // count as tenths.
        if (exact_ && number_->text() == offered_)
            return boundary_;
        return exact_ ? zv::FromTenths(Digits(number_), zv::TimePrecision::Milliseconds) : Digits(number_);
    }
    if (!byTime_->isChecked())
        return 0; // neither way chosen: no shift
    long units = 0;
    const double fps = frameBased_ ? ReadDecimal(fps_->text()) : 0.0;
    const zv::ClockAmount result =
        zv::UnitsFromClock(Digits(clock_[0]), Digits(clock_[1]), Digits(clock_[2]), clock_[3] ? Digits(clock_[3]) : 0,
                           frameBased_, fps, handler_.precision, units);
    if (result != zv::ClockAmount::Ok) {
        zv::TellClockAmountRefused(ctx_, result, zv::Owner::Dialog);
        (result == zv::ClockAmount::BadRate ? fps_ : clock_[0])->setFocus();
        return std::nullopt;
    }
    return units;
}

void ShiftAmountDialog::Ok()
{
    const std::optional<long> amount = Amount();
    if (!amount)
        return; // the dialog stays open
    accept();
    Run(*amount);
}

SplitDialog::SplitDialog(zv::Context& ctx, zv::FormatHandler& handler, long n, QWidget* parent)
    : ShiftAmountDialog(ctx, handler, zv::BoundaryStart(ctx, n), {192, 195, 194, 193, 235, "SPLIT FILE command"},
                        "141", parent),
      n_(n)
{
}

void SplitDialog::Run(long amount)
{
    outcome_ = zv::RunSplit(ctx_, handler_, n_, amount, writeOptions_);
}

JoinDialog::JoinDialog(zv::Context& ctx, zv::FormatHandler& handler, QWidget* parent)
    : ShiftAmountDialog(ctx, handler, zv::JoinBoundaryStart(ctx), {187, 190, 189, 188, 234, "JOIN TWO FILES command"},
                        "177", parent)
{
}

void JoinDialog::Run(long amount)
{
    outcome_ = zv::RunJoin(ctx_, handler_, amount, writeOptions_);
}

} // namespace zv::app

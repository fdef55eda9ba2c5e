#include "app/dialogs/move_time_dialog.h"

#include "qt/texts.h"
#include "engine/operations/move_time.h"
#include "engine/standard_file.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace zv::app {

using qt::Tr;

namespace {

const QString kHelpKeyword = QStringLiteral("MOVE TIME command");

// A StandardFile field holds 7 digits; a larger amount would only drop every record.
constexpr int kLargestCount = 9'999'999;

QScrollBar* HorizontalBar(QWidget* parent, const char* id, int maximum, int pageStep, const QString& name)
{
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(QString::fromLatin1(id));
    bar->setRange(0, maximum);
    bar->setSingleStep(1);
    bar->setPageStep(pageStep);
    bar->setValue(0);
    bar->setAccessibleName(name);
    bar->setMinimumWidth(160);
    return bar;
}

} // namespace

MoveDialogBase::MoveDialogBase(zv::Context& ctx, zv::FormatHandler& handler, zv::SubtitleFormat format,
                               const QString& fileName, QWidget* parent, const char* resource)
    : CommandDialog(ctx, parent, resource, 19, kHelpKeyword), format_(format), handler_(handler)
{
    layout_->addWidget(FileNameGroup(ctx_, this, "1032", "1000", fileName));
}

void MoveDialogBase::AddFormatGroup(std::initializer_list<FormatRadio> radios)
{
    // The group only shows the format: the other radios stay disabled.
    layout_->addWidget(FormatShownGroup(ctx_, this, "1033", 9, format_, radios));
}

void MoveDialogBase::AddDirectionGroup()
{
    QGroupBox* group = Group(this, "1034", Tr(ctx_, 10));
    laterRadio_ = new QRadioButton(Tr(ctx_, 15), group);
    laterRadio_->setObjectName(QStringLiteral("1003"));
    laterRadio_->setChecked(true);
    earlierRadio_ = new QRadioButton(Tr(ctx_, 16), group);
    earlierRadio_->setObjectName(QStringLiteral("1004"));
    connect(laterRadio_, &QRadioButton::clicked, this, [this] { SetDirection(true); });
    connect(earlierRadio_, &QRadioButton::clicked, this, [this] { SetDirection(false); });
    // Side by side: the dialog's height must fit a small screen.
    auto* box = new QHBoxLayout(group);
    box->addWidget(laterRadio_);
    box->addWidget(earlierRadio_);
    box->addStretch(1);
    layout_->addWidget(group);
}

void MoveDialogBase::AddButtons()
{
    ok_ = AddOkCancel(ctx_, this, layout_);
    ok_->setEnabled(false); // an amount of 0 cannot be confirmed
    connect(ok_, &QPushButton::clicked, this, &MoveDialogBase::RunMove);
}

void MoveDialogBase::SetOkEnabled(bool enabled)
{
    ok_->setEnabled(enabled);
}

void MoveDialogBase::SetDirection(bool later)
{
    later_ = later;
    laterRadio_->setChecked(later);
    earlierRadio_->setChecked(!later);
    // Only the sign changes; the amount shown stays as it is.
    QString text = adjustment_->text();
    if (!text.isEmpty()) {
        text[0] = SignChar();
        adjustment_->setText(text);
    }
}

void MoveDialogBase::RunMove()
{
    if (!ok_->isEnabled())
        return;
    const long delta = ShiftDelta();
    // The dialog is gone before the move starts; the progress window takes over.
    accept();
    outcome_ = zv::RunMoveTime(ctx_, handler_, delta, writeOptions_);
}

MoveTimeDialog::MoveTimeDialog(zv::Context& ctx, zv::FormatHandler& handler, zv::SubtitleFormat format,
                               const QString& fileName, QWidget* parent)
    : MoveDialogBase(ctx, handler, format, fileName, parent, "104")
{
    using F = zv::SubtitleFormat;
    AddFormatGroup({{"1001", F::TmPlayer},
                    {"1002", F::TmPlayerShort},
                    {"1016", F::SubRip},
                    {"1014", F::SubViewer1},
                    {"1015", F::Ssa},
                    {"1017", F::SubViewer2}});
    AddDirectionGroup();

    QGroupBox* amount = Group(this, "1035", Tr(ctx_, 11));
    auto* amountLayout = new QVBoxLayout(amount);
    layout_->addWidget(amount);
    struct Row {
        Field field;
        const char *group, *bar, *value;
        int text;
    };
    std::vector<Row> rows = {Row{Field::Seconds, "1036", "1007", "1008", 12},
                             Row{Field::Minutes, "1037", "1009", "1010", 13}, Row{Field::Hours, "1038", "1011", "1012", 14}};
    // Exact times take the milliseconds too (with tenths they would be cut),
    // beside the seconds: the dialog must still fit a small screen.
    QHBoxLayout* secondsRow = nullptr;
    if (exact()) {
        rows.insert(rows.begin() + 1, Row{Field::Milliseconds, "1039", "1040", "1041", 437});
        secondsRow = new QHBoxLayout;
        amountLayout->addLayout(secondsRow);
    }
    for (const Row& row : rows) {
        const int i = static_cast<int>(row.field);
        QGroupBox* group = Group(amount, row.group, Tr(ctx_, row.text));
        const int maximum = row.field == Field::Hours ? maxHours() : row.field == Field::Milliseconds ? 999 : 59;
        const int page = row.field == Field::Hours ? 2 : row.field == Field::Milliseconds ? 100 : 10;
        bars_[i] = HorizontalBar(group, row.bar, maximum, page, group->title());
        values_[i] = new QLabel(QStringLiteral("0"), group);
        values_[i]->setObjectName(QString::fromLatin1(row.value));
        values_[i]->setMinimumWidth(values_[i]->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
        auto* line = new QHBoxLayout(group);
        line->addWidget(bars_[i], 1);
        line->addWidget(values_[i]);
        if (secondsRow && (row.field == Field::Seconds || row.field == Field::Milliseconds))
            secondsRow->addWidget(group, 1);
        else
            amountLayout->addWidget(group);
        connect(bars_[i], &QScrollBar::actionTriggered, this, [this, f = row.field](int action) { OnScroll(f, action); });
    }
    adjustment_ = new QLabel(exact() ? QStringLiteral("+ 00:00:00,000") : QStringLiteral("+ 00:00:00"), amount);
    adjustment_->setObjectName(QStringLiteral("1013"));
    adjustment_->setAlignment(Qt::AlignCenter);
    amountLayout->addWidget(adjustment_);

    AddButtons();
}

int MoveTimeDialog::maxHours() const
{
    return std::max(0, 10 - zv::Code(format_));
}

int& MoveTimeDialog::ValueOf(Field field)
{
    switch (field) {
    case Field::Minutes:
        return minutes_;
    case Field::Hours:
        return hours_;
    case Field::Milliseconds:
        return milliseconds_;
    case Field::Seconds:
        break;
    }
    return seconds_;
}

void MoveTimeDialog::OnScroll(Field field, int action)
{
    const int i = static_cast<int>(field);
    QScrollBar* bar = bars_[i];
    int& value = ValueOf(field);
    const int page = field == Field::Hours ? 2 : field == Field::Milliseconds ? 100 : 10;
    int next = value;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        next = value - 1;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        next = value + 1;
        break;
    case QAbstractSlider::SliderPageStepSub:
        next = value - page;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        next = value + page;
        break;
    case QAbstractSlider::SliderMove:
        next = bar->sliderPosition();
        break;
    default:
        // Home/End and the like are not ours to honour: the thumb stays put.
        bar->setSliderPosition(value);
        return;
    }
    next = std::clamp(next, 0, field == Field::Milliseconds ? 999 : 59);
    if (field == Field::Hours)
        next = std::min(next, maxHours());
    value = next;
    bar->setSliderPosition(next);
    values_[i]->setText(QString::number(next));
    ShowAdjustment();
    SetOkEnabled(seconds_ != 0 || minutes_ != 0 || hours_ != 0 || milliseconds_ != 0);
}

void MoveTimeDialog::ShowAdjustment()
{
    QString text = QStringLiteral("%1 0%2:%3:%4")
                       .arg(SignChar())
                       .arg(hours_)
                       .arg(minutes_, 2, 10, QLatin1Char('0'))
                       .arg(seconds_, 2, 10, QLatin1Char('0'));
    if (exact())
        text += QStringLiteral(",%1").arg(milliseconds_, 3, 10, QLatin1Char('0'));
    adjustment_->setText(text);
}

long MoveTimeDialog::ShiftDelta() const
{
    const long amount = exact() ? ((hours_ * 60L + minutes_) * 60L + seconds_) * 1000L + milliseconds_
                                : zv::TenthsFromHms(hours_, minutes_, seconds_);
    return later() ? amount : -amount;
}

MoveFramesDialog::MoveFramesDialog(zv::Context& ctx, zv::FormatHandler& handler, zv::SubtitleFormat format,
                                   const QString& fileName, QWidget* parent)
    : MoveDialogBase(ctx, handler, format, fileName, parent, "106")
{
    using F = zv::SubtitleFormat;
    AddFormatGroup({{"1005", F::MicroDvd}, {"1006", F::Mpl2}});
    AddDirectionGroup();

    QGroupBox* amount = Group(this, "1035", Tr(ctx_, 27));
    auto* amountLayout = new QVBoxLayout(amount);
    layout_->addWidget(amount);
    QGroupBox* group = Group(amount, "1036", Tr(ctx_, format_ == F::Mpl2 ? 230 : 26));
    bar_ = HorizontalBar(group, "1017", kBarMaximum, 10, group->title());
    value_ = new QLabel(QStringLiteral("0"), group);
    value_->setObjectName(QStringLiteral("1018"));
    value_->setMinimumWidth(value_->fontMetrics().horizontalAdvance(QStringLiteral("00000000")));
    auto* line = new QHBoxLayout(group);
    line->addWidget(bar_, 1);
    line->addWidget(value_);
    amountLayout->addWidget(group);
    connect(bar_, &QScrollBar::actionTriggered, this, &MoveFramesDialog::OnScroll);

    adjustment_ = new QLabel(QStringLiteral("+0 %1").arg(UnitLabel()), amount);
    adjustment_->setObjectName(QStringLiteral("1013"));
    adjustment_->setAlignment(Qt::AlignCenter);
    amountLayout->addWidget(adjustment_);

    AddButtons();
}

QString MoveFramesDialog::UnitLabel() const
{
    return Tr(ctx_, format_ == zv::SubtitleFormat::Mpl2 ? 231 : 232);
}

void MoveFramesDialog::OnScroll(int action)
{
    // The count lives here, not in the bar: clicks at the end of the bar carry
    // it past the bar's maximum while the thumb stays at the end.
    int next = count_;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        next = count_ - 1;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        next = count_ + 1;
        break;
    case QAbstractSlider::SliderPageStepSub:
        next = count_ - 10;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        next = count_ + 10;
        break;
    case QAbstractSlider::SliderMove:
        next = bar_->sliderPosition();
        break;
    default:
        bar_->setSliderPosition(std::min(count_, kBarMaximum));
        return;
    }
    count_ = std::clamp(next, 0, kLargestCount);
    bar_->setSliderPosition(std::min(count_, kBarMaximum));
    value_->setText(QString::number(count_));
    adjustment_->setText(QStringLiteral("%1 %2 %3").arg(SignChar()).arg(count_).arg(UnitLabel()));
    SetOkEnabled(count_ != 0);
}

long MoveFramesDialog::ShiftDelta() const
{
    // Mpl2's tenths, counted in milliseconds when the file keeps exact times.
    const long units = format_ == zv::SubtitleFormat::Mpl2 && exact()
                           ? zv::FromTenths(count_, zv::TimePrecision::Milliseconds)
                           : static_cast<long>(count_);
    return later() ? units : -units;
}

} // namespace zv::app

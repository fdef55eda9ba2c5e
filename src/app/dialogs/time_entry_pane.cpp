#include "app/dialogs/time_entry_pane.h"

#include "app/movie_preview.h"
#include "qt/texts.h"
#include "engine/standard_file.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabBar>
#include <QVBoxLayout>

namespace zv::app {

using qt::Tr;

namespace {

constexpr int kTextPickFirst = 145;
constexpr int kTextPickSecond = 146;

// Digits only, but more than seven of them, so that a number too large is
// refused with a word instead of being cut silently.
const QRegularExpression kDigits(QStringLiteral("[0-9]{0,10}"));

long long Number(const QLineEdit* edit)
{
    return edit->text().isEmpty() ? 0 : edit->text().toLongLong();
}

} // namespace

TimeEntryPane::TimeEntryPane(zv::Context& ctx, bool frameBased, zv::TimePrecision precision, int number,
                             QWidget* parent)
    : QWidget(parent), ctx_(ctx), frameBased_(frameBased), precision_(precision), number_(number)
{
    setObjectName(QStringLiteral("183"));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("1111"));
    tabs_->setExpanding(false);
    // Both tabs whole: the pane widens for a long tab name rather than hiding it.
    tabs_->setUsesScrollButtons(false);
    tabs_->setElideMode(Qt::ElideNone);
    layout->addWidget(tabs_);

    prompt_ = new QLabel(QStringLiteral("Test"), this);
    prompt_->setObjectName(QStringLiteral("90"));
    prompt_->setAlignment(Qt::AlignCenter);
    prompt_->setWordWrap(true);
    layout->addWidget(prompt_);

    auto* fields = new QHBoxLayout;
    fields->addStretch(1);
    if (frameBased_) {
        tabs_->addTab(Tr(ctx_, 232));
        single_ = Edit("103", Tr(ctx_, 232));
        prompt_->setText(Tr(ctx_, 238));
        fields->addWidget(single_, 4);
    } else {
        tabs_->addTab(Tr(ctx_, 231));
        tabs_->addTab(Tr(ctx_, 236));
        single_ = Edit("99", Tr(ctx_, 231));
        fields->addWidget(single_, 4);
        const int names[3] = {14, 13, 12};
        const char* ids[3] = {"100", "101", "102"};
        for (int i = 0; i < 3; ++i) {
            hms_[i] = Edit(ids[i], Tr(ctx_, names[i]).remove(QLatin1Char(':')));
            hms_[i]->hide();
            fields->addWidget(hms_[i], 1);
        }
        if (exact()) {
            hms_[3] = Edit("104", Tr(ctx_, 437).remove(QLatin1Char(':')));
            hms_[3]->hide();
            fields->addWidget(hms_[3], 1);
        }
        prompt_->setText(Tr(ctx_, 233));
    }
    fields->addStretch(1);
    layout->addLayout(fields);

    movie_ = new QPushButton(Tr(ctx_, 212), this);
    movie_->setObjectName(QStringLiteral("10"));
    movie_->setAutoDefault(false);
    // The two panes' buttons read alike; their names tell which subtitle each one places.
    movie_->setAccessibleName(Tr(ctx_, number_ == 2 ? kTextPickSecond : kTextPickFirst));
    layout->addWidget(movie_);

    connect(tabs_, &QTabBar::currentChanged, this, &TimeEntryPane::OnTabChanged);
    connect(movie_, &QPushButton::clicked, this, [this] { emit MovieRequested(number_); });
}

QLineEdit* TimeEntryPane::Edit(const char* id, const QString& name)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(id));
    edit->setAlignment(Qt::AlignRight);
    edit->setValidator(new QRegularExpressionValidator(kDigits, edit));
    edit->setAccessibleName(name);
    connect(edit, &QLineEdit::textEdited, this, &TimeEntryPane::ValueChanged);
    return edit;
}

int TimeEntryPane::CurrentTab() const
{
    return tab_;
}

void TimeEntryPane::SetCurrentTab(int tab)
{
    tabs_->setCurrentIndex(tab);
}

void TimeEntryPane::OnTabChanged(int tab)
{
    if (frameBased_ || tab == tab_ || tab < 0)
        return;
    // What was typed on the tab being left is the pane's value from now on.
    if (const auto entered = EnteredValue())
        stored_ = *entered;
    tab_ = tab;
    single_->setVisible(tab_ == 0);
    for (QLineEdit* e : hms_)
        if (e)
            e->setVisible(tab_ == 1);
    prompt_->setText(Tr(ctx_, tab_ == 0 ? 233 : 237));
    ShowStored();
}

void TimeEntryPane::ShowParts(long value)
{
    // The single number counts tenths (or frames) either way.
    if (tab_ == 0 || frameBased_) {
        shownSingle_ = QString::number(exact() ? value / 100 : value);
        single_->setText(shownSingle_);
        return;
    }
    long h = 0, m = 0, s = 0;
    zv::HmsFromTenths(exact() ? value / 100 : value, h, m, s);
    const long parts[4] = {h, m, s, value % 1000};
    for (int i = 0; i < 4; ++i) {
        if (!hms_[i])
            continue;
        shownHms_[i] = QString::number(parts[i]);
        hms_[i]->setText(shownHms_[i]);
    }
}

void TimeEntryPane::ShowStored()
{
    if (stored_ != 0) {
        ShowParts(stored_);
        return;
    }
    shownSingle_.clear();
    single_->clear();
    for (int i = 0; i < 4; ++i) {
        shownHms_[i].clear();
        if (hms_[i])
            hms_[i]->clear();
    }
}

void TimeEntryPane::ShowValue(long value)
{
    stored_ = value;
    // 0 is shown here (a subtitle at the very start), unlike on a tab change.
    ShowParts(value);
    emit ValueChanged();
}

std::optional<long> TimeEntryPane::EnteredValue() const
{
    long long value = 0;
    if (tab_ == 0 || frameBased_) {
        // Tenths cannot hold the milliseconds of a shown exact value.
        if (exact() && single_->text() == shownSingle_ && !shownSingle_.isEmpty())
            return stored_;
        value = Number(single_) * (exact() ? 100 : 1);
    } else {
        bool untouched = true;
        for (int i = 0; i < 4; ++i)
            untouched = untouched && (!hms_[i] || hms_[i]->text() == shownHms_[i]);
        // Hours, minutes and seconds cannot hold the tenths of a shown value.
        if (untouched && !shownHms_[0].isEmpty())
            return stored_;
        const long long seconds = Number(hms_[0]) * 3600 + Number(hms_[1]) * 60 + Number(hms_[2]);
        value = exact() ? seconds * 1000 + Number(hms_[3]) : seconds * 10;
    }
    if (value > zv::MaxStandardTime(precision_))
        return std::nullopt;
    return static_cast<long>(value);
}

void TimeEntryPane::FocusEntry()
{
    QLineEdit* edit = (tab_ == 0 || frameBased_) ? single_ : hms_[0];
    edit->setFocus();
    edit->selectAll();
}

void TimeEntryPane::ApplyMoviePosition(const QString& subtitleText)
{
    int tenths = 0;
    int frame = 0;
    SetPreviewTexts(ctx_.texts);
    if (!FetchMoviePosition(ctx_, subtitleText, parentWidget(), tenths, frame))
        return;
    ShowValue(frameBased_ ? frame : zv::FromTenths(tenths, precision_));
    if (QWidget* dialog = window()) {
        dialog->raise();
        dialog->activateWindow();
    }
}

} // namespace zv::app

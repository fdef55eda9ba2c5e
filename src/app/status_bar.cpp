#include "app/status_bar.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTimer>

namespace zv::app {

namespace {

constexpr int kHintInterval = 8000;
constexpr int kCpuInterval = 1200;
constexpr int kFirstHint = 170;
constexpr int kHintCount = 9;
// Above this load the meter stands out.
constexpr int kHighLoad = 60;

// A part keeps its measured width while there is room and gives it up in a
// very narrow frame, as the bar's parts always did. The hint, whose length
// has no bound, ends in "…" where it does not fit.
class PartLabel : public QLabel {
public:
    using QLabel::QLabel;
    void SetPreferredWidth(int width) { preferred_ = width; }
    void SetElided(bool elided) { elided_ = elided; }
    QSize sizeHint() const override
    {
        return preferred_ > 0 ? QSize(preferred_, QLabel::sizeHint().height()) : QLabel::sizeHint();
    }
    QSize minimumSizeHint() const override { return QSize(0, QLabel::minimumSizeHint().height()); }
    void SetFullText(const QString& text)
    {
        full_ = text;
        Elide();
    }
    const QString& FullText() const { return full_; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        Elide();
    }

private:
    void Elide()
    {
        setText(elided_ ? fontMetrics().elidedText(full_, Qt::ElideRight, contentsRect().width()) : full_);
    }

    int preferred_ = 0;
    bool elided_ = false;
    QString full_;
};

} // namespace

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("270"));
    setSizeGripEnabled(true);
    QFont font;
    // The bar's font keeps its look where Arial is missing.
    font.setFamilies({QStringLiteral("Arial CE"), QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(14);
    setFont(font);
    const QFontMetrics metrics(font);
    cpuWidth_ = metrics.horizontalAdvance(QStringLiteral("CPU: 100% "));
    lineWidth_ = metrics.horizontalAdvance(QStringLiteral("Ln: 9999___"));

    auto* hintBox = new QWidget(this);
    hintBox->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* hintRow = new QHBoxLayout(hintBox);
    hintRow->setContentsMargins(0, 0, 0, 0);
    hintRow->setSpacing(4);
    hintIcon_ = new QLabel(hintBox);
    hintIcon_->setPixmap(QIcon(QStringLiteral(":/icons/hint.svg")).pixmap(metrics.height(), metrics.height()));
    hintIcon_->hide();
    hintRow->addWidget(hintIcon_);
    for (int i = 0; i < 3; ++i) {
        parts_[i] = new PartLabel(i == Hint ? hintBox : this);
        parts_[i]->setObjectName(QStringLiteral("270.%1").arg(i));
        parts_[i]->setFont(font);
        parts_[i]->setTextFormat(Qt::PlainText);
    }
    static_cast<PartLabel*>(parts_[Cpu])->SetPreferredWidth(cpuWidth_);
    static_cast<PartLabel*>(parts_[Line])->SetPreferredWidth(lineWidth_);
    parts_[Hint]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    static_cast<PartLabel*>(parts_[Hint])->SetElided(true);
    hintRow->addWidget(parts_[Hint], 1);
    addWidget(hintBox, 1);
    addPermanentWidget(parts_[Cpu]);
    addPermanentWidget(parts_[Line]);

    pick_ = [](int n) { return static_cast<int>(QRandomGenerator::global()->bounded(n)); };
    hintTimer_ = new QTimer(this);
    connect(hintTimer_, &QTimer::timeout, this, &StatusBar::HintTick);
    cpuTimer_ = new QTimer(this);
    connect(cpuTimer_, &QTimer::timeout, this, &StatusBar::SampleCpu);
    cpuTimer_->start(kCpuInterval);
}

void StatusBar::SetPartText(int part, const QString& text)
{
    if (part < 0 || part > 2)
        return;
    static_cast<PartLabel*>(parts_[part])->SetFullText(text);
    parts_[part]->setAccessibleName(text);
}

QString StatusBar::PartText(int part) const
{
    return part < 0 || part > 2 ? QString() : static_cast<const PartLabel*>(parts_[part])->FullText();
}

bool StatusBar::partShown(int part) const
{
    return part >= 0 && part <= 2 && !parts_[part]->isHidden();
}

void StatusBar::SetHintTexts(std::function<QString(int)> textOf, std::function<int(int)> pick)
{
    hintText_ = std::move(textOf);
    if (pick)
        pick_ = std::move(pick);
    hintCounter_ = 0;
    hintTimer_->start(kHintInterval);
}

void StatusBar::HintTick()
{
    if (hintCounter_ <= 0) {
        if (hintText_)
            ShowHint(hintText_(kFirstHint + pick_(kHintCount)));
        hintCounter_ = 3;
        return;
    }
    if (hintCounter_ == 2)
        ClearHint();
    --hintCounter_;
}

void StatusBar::ShowHint(const QString& text)
{
    const int needed = QFontMetrics(font()).horizontalAdvance(text) + 40;
    const int normal = width() - cpuWidth_ - lineWidth_;
    if (needed > normal) {
        // First the line indicator makes room, then the meter too.
        parts_[Line]->hide();
        if (needed > normal + lineWidth_)
            parts_[Cpu]->hide();
        layoutChanged_ = true;
    }
    hintIcon_->show();
    SetPartText(Hint, text);
}

void StatusBar::ClearHint()
{
    hintIcon_->hide();
    SetPartText(Hint, QString());
    if (layoutChanged_) {
        parts_[Cpu]->show();
        parts_[Line]->show();
        layoutChanged_ = false;
    }
}

void StatusBar::SampleCpu()
{
    const std::optional<zv::CpuTimes> now = zv::ReadCpuTimes(cpuStatPath_);
    if (!now) {
        // No load to show on this system.
        cpuTimer_->stop();
        SetPartText(Cpu, QString());
        return;
    }
    const std::optional<int> load = zv::CpuLoadPercent(lastCpu_, *now);
    lastCpu_ = now;
    if (!load)
        return;
    SetPartText(Cpu, QStringLiteral("CPU: %1%").arg(*load));
    parts_[Cpu]->setFrameStyle(*load > kHighLoad ? QFrame::Panel | QFrame::Raised : QFrame::NoFrame);
}

bool StatusBar::cpuRaised() const
{
    return parts_[Cpu]->frameShadow() == QFrame::Raised && parts_[Cpu]->frameShape() == QFrame::Panel;
}

void StatusBar::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const bool right = event->button() == Qt::RightButton;
    const QWidget* hint = parts_[Hint]->parentWidget();
    if (hint->geometry().contains(at)) {
        if (!right)
            emit hintClicked();
    } else if (!parts_[Line]->isHidden() && parts_[Line]->geometry().contains(at)) {
        emit lineClicked(right);
    }
    QStatusBar::mousePressEvent(event);
}

} // namespace zv::app

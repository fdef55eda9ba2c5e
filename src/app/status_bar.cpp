#include "app/status_bar.h"

#include <QFontMetrics>
#include <QLabel>

namespace zv::app {

namespace {

// A part keeps its measured width while there is room and gives it up in a
// very narrow frame, as the bar's parts always did.
class PartLabel : public QLabel {
public:
    using QLabel::QLabel;
    void SetPreferredWidth(int width) { preferred_ = width; }
    QSize sizeHint() const override
    {
        return preferred_ > 0 ? QSize(preferred_, QLabel::sizeHint().height()) : QLabel::sizeHint();
    }
    QSize minimumSizeHint() const override { return QSize(0, QLabel::minimumSizeHint().height()); }

private:
    int preferred_ = 0;
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

    for (int i = 0; i < 3; ++i) {
        parts_[i] = new PartLabel(this);
        parts_[i]->setObjectName(QStringLiteral("270.%1").arg(i));
        parts_[i]->setFont(font);
        parts_[i]->setTextFormat(Qt::PlainText);
    }
    static_cast<PartLabel*>(parts_[Cpu])->SetPreferredWidth(cpuWidth_);
    static_cast<PartLabel*>(parts_[Line])->SetPreferredWidth(lineWidth_);
    parts_[Hint]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addWidget(parts_[Hint], 1);
    addPermanentWidget(parts_[Cpu]);
    addPermanentWidget(parts_[Line]);
}

void StatusBar::SetPartText(int part, const QString& text)
{
    if (part < 0 || part > 2)
        return;
    parts_[part]->setText(text);
    parts_[part]->setAccessibleName(text);
}

QString StatusBar::PartText(int part) const
{
    return part < 0 || part > 2 ? QString() : parts_[part]->text();
}

} // namespace zv::app

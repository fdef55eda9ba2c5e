#include "app/dialogs/tip_dialog.h"

#include "qt/texts.h"
#include "engine/config/setting_names.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>

namespace zv::app {

using qt::Tr;

namespace {

constexpr int kTipCount = 9;
// Tips are texts 170 to 178; the count runs over the whole session.
int tipCounter = 0;

const QColor kStripColour(0x70, 0x60, 0x60);
const QColor kTextBackground(240, 240, 240);

QLabel* Static(QWidget* parent, const char* id, const QFont& font)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(id));
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, kTextBackground);
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

} // namespace

TipDialog::TipDialog(zv::Context& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx)
{
    setObjectName(QStringLiteral("188"));
    setWindowTitle(Tr(ctx_, 361));
    QString face = Tr(ctx_, 110);
    if (!QFontDatabase::hasFamily(face)) {
        ctx_.Tell(115, 52, zv::Buttons::Ok, zv::Icon::Stop, zv::Owner::Frame);
        face = QStringLiteral("Arial");
    }
    QFont textFont(face);
    textFont.setPointSize(11);
    QFont headingFont = textFont;
    headingFont.setWeight(QFont::ExtraBold);
    headingFont.setPointSize(14);

    auto* grid = new QGridLayout(this);
    // The coloured strip on the left is painted; the column keeps it free.
    grid->setContentsMargins(78, 10, 10, 10);
    auto* panel = Static(this, "1135", textFont);
    panel->setMinimumSize(380, 190);
    auto* inner = new QVBoxLayout(panel);
    inner->setContentsMargins(12, 10, 12, 10);
    auto* heading = Static(panel, "1133", headingFont);
    heading->setText(Tr(ctx_, 362));
    tip_ = Static(panel, "1134", textFont);
    tip_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tip_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    tip_->setAccessibleName(heading->text());
    inner->addWidget(heading);
    inner->addWidget(tip_, 1);
    grid->addWidget(panel, 0, 0, 1, 2);

    atStart_ = new QCheckBox(Tr(ctx_, 360), this);
    atStart_->setObjectName(QStringLiteral("1118"));
    shownAtStart_ = ctx_.Asks(key::ShowTipAtStart);
    atStart_->setChecked(shownAtStart_);
    grid->addWidget(atStart_, 1, 0);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* next = buttons->addButton(Tr(ctx_, 363), QDialogButtonBox::ActionRole);
    next->setObjectName(QStringLiteral("1"));
    next->setDefault(true);
    QPushButton* close = buttons->addButton(Tr(ctx_, 364), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("2"));
    connect(next, &QPushButton::clicked, this, &TipDialog::NextTip);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    grid->addWidget(buttons, 1, 1);
    NextTip();
}

TipDialog::~TipDialog() = default;

void TipDialog::NextTip()
{
    tipCounter = tipCounter % kTipCount + 1;
    tipNumber_ = 169 + tipCounter;
    tip_->setText(Tr(ctx_, tipNumber_));
}

void TipDialog::done(int result)
{
    // Only a change is stored: the box is not the only one that sets it.
    if (atStart_->isChecked() != shownAtStart_)
        ctx_.settings.WriteSetting(key::ShowTipAtStart, atStart_->isChecked() ? "" : "1");
    QDialog::done(result);
}

void TipDialog::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    const QRect strip(QPoint(10, 10), QPoint(67, 199));
    QSvgRenderer picture(QStringLiteral(":/icons/tip-strip.svg"));
    if (picture.isValid())
        picture.render(&painter, strip);
    else
        painter.fillRect(strip, kStripColour);
}

} // namespace zv::app

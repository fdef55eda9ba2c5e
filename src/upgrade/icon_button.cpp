#include "upgrade/icon_button.h"

#include <QFontMetrics>
#include <QEnterEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

#include <algorithm>

namespace zv::upgrade {

namespace {

// Content stays this far inside the button's edges.
constexpr int kInsetX = 5;
constexpr int kInsetY = 2;
constexpr int kGapAfterIcon = 5;
const QColor kFocusedCaption(0, 0, 160);

} // namespace

QImage GreyImage(const QImage& colour)
{
    QImage grey = colour.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const QRgb p = line[x];
            if (qAlpha(p) == 0 || (p & 0xffffff) == 0)
                continue;
            // In thousandths, so the truncation is that of the exact value.
            const int g = (299 * qRed(p) + 587 * qGreen(p) + 114 * qBlue(p)) / 1000;
            line[x] = qRgba(g, g, g, qAlpha(p));
        }
    }
    return grey;
}

IconButton::IconButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    setAttribute(Qt::WA_Hover);
    setAutoDefault(false);
}

void IconButton::SetIcon(const QString& resource, int width, int height)
{
    colour_ = grey_ = disabled_ = QImage();
    iconSize_ = QSize(width, height);
    QSvgRenderer renderer(resource);
    if (renderer.isValid()) {
        colour_ = QImage(iconSize_, QImage::Format_ARGB32);
        colour_.fill(Qt::transparent);
        QPainter painter(&colour_);
        renderer.render(&painter, QRectF(0, 0, width, height));
        painter.end();
        grey_ = GreyImage(colour_);
        QStyleOption option;
        option.initFrom(this);
        disabled_ = style()->generatedIconPixmap(QIcon::Disabled, QPixmap::fromImage(colour_), &option).toImage();
    }
    updateGeometry();
    update();
}

IconButton::Frame IconButton::frameState() const
{
    if (isDown())
        return Frame::Sunken;
    return hovered_ ? Frame::Raised : Frame::Flat;
}

const QImage& IconButton::CurrentImage() const
{
    if (!isEnabled())
        return disabled_;
    return hasFocus() || hovered_ ? colour_ : grey_;
}

QColor IconButton::CaptionColour() const
{
    return hasFocus() ? kFocusedCaption : palette().color(QPalette::WindowText);
}

QSize IconButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int iconWidth = colour_.isNull() ? 0 : iconSize_.width() + kGapAfterIcon;
    const int width = 2 * kInsetX + iconWidth + metrics.horizontalAdvance(text()) + 8;
    const int height = 2 * kInsetY + std::max(iconSize_.height(), metrics.height()) + 8;
    return {width, std::max(height, 30)};
}

void IconButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& pal = palette();
    const QRect all = rect();
    painter.fillRect(all, pal.color(QPalette::Button));

    const Frame frame = frameState();
    if (frame != Frame::Flat) {
        const QColor light = pal.color(QPalette::Light);
        const QColor shadow = pal.color(QPalette::Dark);
        const QColor topLeft = frame == Frame::Raised ? light : shadow;
        const QColor bottomRight = frame == Frame::Raised ? shadow : light;
        painter.setPen(topLeft);
        painter.drawLine(all.topLeft(), all.topRight());
        painter.drawLine(all.topLeft(), all.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(all.bottomLeft(), all.bottomRight());
        painter.drawLine(all.topRight(), all.bottomRight());
    }

    QRect content = all.adjusted(kInsetX, kInsetY, -kInsetX, -kInsetY);
    if (frame == Frame::Sunken)
        content.translate(1, 1);
    int captionLeft = content.left();
    const QImage& image = CurrentImage();
    if (!image.isNull()) {
        painter.drawImage(QPoint(content.left(), content.center().y() - image.height() / 2), image);
        captionLeft += iconSize_.width() + kGapAfterIcon;
    }
    const QRect caption(captionLeft, content.top(), content.right() - captionLeft + 1, content.height());
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (!isEnabled()) {
        painter.setPen(pal.color(QPalette::Light));
        painter.drawText(caption.translated(1, 1), flags, text());
        painter.setPen(pal.color(QPalette::Dark));
    } else {
        painter.setPen(CaptionColour());
    }
    painter.drawText(caption, flags, text());
}

void IconButton::enterEvent(QEnterEvent* event)
{
    hovered_ = true;
    update();
    QPushButton::enterEvent(event);
}

void IconButton::leaveEvent(QEvent* event)
{
    hovered_ = false;
    update();
    QPushButton::leaveEvent(event);
}

void IconButton::focusInEvent(QFocusEvent* event)
{
    update();
    QPushButton::focusInEvent(event);
}

void IconButton::focusOutEvent(QFocusEvent* event)
{
    update();
    QPushButton::focusOutEvent(event);
}

} // namespace zv::upgrade

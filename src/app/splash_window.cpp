#include "app/splash_window.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace zv::app {

namespace {

constexpr int kCloseDelay = 2000;

} // namespace

SplashWindow::SplashWindow(const QString& windowTitle, const QString& slogan)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      title_(windowTitle), slogan_(slogan)
{
    setObjectName(QStringLiteral("155"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAccessibleName(windowTitle);
    setFixedSize(420, 246);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void SplashWindow::CloseSoon()
{
    QTimer::singleShot(kCloseDelay, this, &QWidget::close);
}

void SplashWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(0x2F, 0x3B, 0x4C));
    sky.setColorAt(1, QColor(0x3A, 0x7B, 0xD5));
    painter.fillRect(rect(), sky);
    QIcon(QStringLiteral(":/icons/zentavo.svg")).paint(&painter, 28, 40, 96, 96);
    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(40);
    name.setWeight(QFont::Bold);
    painter.setFont(name);
    painter.setPen(Qt::white);
    painter.drawText(QRect(140, 50, width() - 150, 50), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Zentavo"));
    QFont small = name;
    small.setPixelSize(16);
    small.setWeight(QFont::Normal);
    painter.setFont(small);
    painter.drawText(QRect(140, 100, width() - 150, 30), Qt::AlignLeft | Qt::AlignVCenter,
                     title_.mid(title_.indexOf(QLatin1Char(' ')) + 1));
    // The film strip along the bottom.
    painter.setBrush(QColor(0x1E, 0x26, 0x31));
    painter.setPen(Qt::NoPen);
    painter.drawRect(0, height() - 48, width(), 48);
    painter.setBrush(QColor(0xF6, 0xC9, 0x45));
    for (int x = 8; x < width(); x += 28)
        painter.drawRoundedRect(x, height() - 42, 16, 8, 2, 2);
    painter.setPen(QColor(0xF6, 0xC9, 0x45));
    painter.drawText(QRect(0, height() - 32, width(), 28), Qt::AlignCenter,
                     QStringLiteral("{0}{25}") + slogan_);
}

} // namespace zv::app

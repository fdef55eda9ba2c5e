// The splash window shown while the program starts; it closes itself a
// while after the frame is up, without holding the program up.
#pragma once

#include <QString>
#include <QWidget>

namespace zv::app {

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    // The slogan is drawn on the film strip, as a MicroDVD line.
    SplashWindow(const QString& windowTitle, const QString& slogan);
    // The frame is up: close in two seconds.
    void CloseSoon();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
    QString slogan_;
};

} // namespace zv::app

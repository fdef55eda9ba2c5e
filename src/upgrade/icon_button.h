// A push button with a picture left of its caption: in colour while it has
// the focus or the pointer, in grey otherwise, and greyed out when disabled.
// Its frame is flat at rest, raised under the pointer, sunken while pressed.
#pragma once

#include <QImage>
#include <QPushButton>
#include <QSize>
#include <QString>

namespace zv::upgrade {

// The grey image: every pixel that is neither black nor transparent becomes
// the grey g = 0.299 R + 0.587 G + 0.114 B (truncated).
QImage GreyImage(const QImage& colour);

class IconButton : public QPushButton {
    Q_OBJECT
public:
    enum class Frame { Flat, Raised, Sunken };

    explicit IconButton(const QString& caption, QWidget* parent = nullptr);

    // Builds the colour, grey and disabled images of the icon at this size; an
    // icon that cannot be loaded leaves the button with its caption alone.
    void SetIcon(const QString& resource, int width, int height);

    Frame frameState() const;
    // The image drawn now, by the rules above.
    const QImage& CurrentImage() const;
    const QImage& colourImage() const { return colour_; }
    const QImage& greyImage() const { return grey_; }
    QColor CaptionColour() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QImage colour_, grey_, disabled_;
    QSize iconSize_;
    bool hovered_ = false;
};

} // namespace zv::upgrade

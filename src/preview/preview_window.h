// The window in which the user plays the movie and picks the moment at which
// a subtitle belongs.
#pragma once

#include "preview/preview_texts.h"

#include <QDialog>
#include <QImage>
#include <QString>

#include <vector>

class QLabel;
class QLineEdit;
class QMediaPlayer;
class QPushButton;
class QSlider;
class QVideoFrame;
class QVideoSink;

namespace zv::preview {

// Takes the words the program hands over; a null or missing one keeps its English.
void SetWords(const char* const* texts, int count);
// One word as the windows show it.
QString Word(PreviewText which);

// A subtitle over the film, in milliseconds of the film.
struct TimedText {
    qint64 start = 0;
    qint64 end = 0;
    QString text;
};

// Draws the movie's current picture with the subtitle's text over its foot.
class VideoView : public QWidget {
    Q_OBJECT
public:
    explicit VideoView(const QString& text, QWidget* parent);
    void SetImage(const QImage& image);
    void SetText(const QString& text);
    const QString& text() const { return text_; }
    QSize sizeHint() const override { return {640, 360}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
    QString text_;
};

class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    PreviewWindow(const QString& subtitleText, QWidget* owner);
    ~PreviewWindow() override;

    int PickedTenths() const { return static_cast<int>(position_ / 100); }
    int PickedFrame() const { return FrameAt(position_); }
    double fps() const { return fps_; }

    // Opens the video in the path field.
    void OpenVideo();

    // Turns the window into one that shows these subtitles over the movie,
    // each at its own time, for the user to check; nothing is picked. The
    // movie opens at firstMs.
    void CheckSubtitles(const QString& movie, std::vector<TimedText> subtitles, qint64 firstMs);

private:
    void Browse();
    void TogglePlay();
    void SeekTo(qint64 ms);
    void StepFrames(int frames);
    void OnPlayerPosition(qint64 ms);
    void OnFrame(const QVideoFrame& frame);
    void OnMediaStatus();
    void ShowPosition();
    // In checking: the subtitle shown at the current position.
    void ShowSubtitleAt(qint64 ms);
    int FrameAt(qint64 ms) const;
    qint64 StartOfFrame(long frame) const;

    QMediaPlayer* player_ = nullptr;
    QVideoSink* sink_ = nullptr;
    VideoView* view_ = nullptr;
    QLineEdit* path_ = nullptr;
    QSlider* slider_ = nullptr;
    QPushButton* play_ = nullptr;
    QLabel* position_label_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* use_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QLabel* hint_ = nullptr;
    std::vector<TimedText> checked_; // sorted by start; empty unless checking
    bool checking_ = false;

    qint64 position_ = 0;  // ms, what is shown and what "Use this moment" returns
    qint64 restoreTo_ = -1; // a remembered position to seek to once the video is loaded
    double fps_ = 25;
    bool fpsFromFile_ = false;
    bool rateKnown_ = false; // from the file's tags or from a first picture
    qint64 longestFrame_ = 0; // µs, the longest picture seen of this video
};

} // namespace zv::preview

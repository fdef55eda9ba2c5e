#include "preview/preview_window.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QVBoxLayout>
#include <QVideoFrame>
#include <QVideoSink>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace zv::preview {

namespace {

// The library stays loaded for the program's life, so the last video and the
// place in it are there for the next pick.
QString lastVideo;
qint64 lastPosition = 0;
qint64 lastLongestFrame = 0; // µs, as measured the last time; 0 when the file's tags told the rate

// Frame lengths come in whole microseconds (33333 or 33334 for 30 fps):
// a rate that close to a usual one is that one.
double UsualRate(double rate)
{
    for (double usual : {24000.0 / 1001, 24.0, 25.0, 30000.0 / 1001, 30.0, 48.0, 50.0, 60000.0 / 1001, 60.0})
        if (std::fabs(rate / usual - 1) < 0.0002)
            return usual;
    return rate;
}

// Until the program hands over its language texts.
const char* const kEnglish[kPreviewTextCount] = {
    "Pick the moment in the movie",
    "Video file (AVI, MP4, MKV, WebM...)",
    "Video file",
    "&Open video...",
    "Find the moment at which this subtitle should appear:",
    "Position",
    "&Play",
    "&Pause",
    "< Frame",
    "Frame >",
    "frame",
    "fps",
    "Use this moment",
    "Open the movie's video file to begin.",
    "There is no such file:",
    "Opening the video...",
    "This video cannot be played:",
    "Video files",
    "All files",
    "Cancel",
    "The subtitles over the movie",
    "Play the movie or move through it: each subtitle shows at its new time.",
    "Close",
};

QString words[kPreviewTextCount];

QString Clock(qint64 ms)
{
    const qint64 tenths = ms / 100;
    return QString::asprintf("%lld:%02lld:%02lld.%lld", tenths / 36000, tenths / 600 % 60, tenths / 10 % 60,
                             tenths % 10);
}

QPushButton* Button(const QString& text, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

void SetWords(const char* const* texts, int count)
{
    for (int i = 0; i < kPreviewTextCount; ++i)
        words[i] = i < count && texts[i] ? QString::fromUtf8(texts[i]) : QString();
}

QString Word(PreviewText which)
{
    const QString& word = words[which];
    return word.isEmpty() ? QString::fromUtf8(kEnglish[which]) : word;
}

VideoView::VideoView(const QString& text, QWidget* parent) : QWidget(parent), text_(text)
{
    // Lines of one subtitle are joined by "|" in the file's records.
    text_.replace(QLatin1Char('|'), QLatin1Char('\n'));
    setAccessibleDescription(text_);
    setMinimumSize(320, 180);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void VideoView::SetImage(const QImage& image)
{
    image_ = image;
    update();
}

void VideoView::SetText(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1Char('|'), QLatin1Char('\n'));
    if (shown == text_)
        return;
    text_ = shown;
    // A screen reader hears the subtitle the picture shows.
    setAccessibleDescription(text_);
    update();
}

void VideoView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    QRect picture = rect();
    if (!image_.isNull()) {
        const QSize size = image_.size().scaled(rect().size(), Qt::KeepAspectRatio);
        picture = QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(picture, image_);
    }
    if (text_.isEmpty())
        return;
    // The subtitle as a player shows it: white with a dark outline at the foot.
    QFont font = painter.font();
    font.setPixelSize(std::max(14, picture.height() / 14));
    font.setBold(true);
    const QFontMetrics metrics(font);
    // A line wider than the picture wraps between words, as players do.
    const int widest = picture.width() * 9 / 10;
    QStringList lines;
    for (const QString& given : text_.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : given.split(QLatin1Char(' '))) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(longer) > widest) {
                lines.append(line);
                line = word;
            } else {
                line = longer;
            }
        }
        lines.append(line);
    }
    QPainterPath path;
    int y = picture.bottom() - metrics.descent() - picture.height() / 20 -
            metrics.lineSpacing() * static_cast<int>(lines.size() - 1);
    for (const QString& line : lines) {
        const int x = picture.center().x() - metrics.horizontalAdvance(line) / 2;
        path.addText(x, y, font, line);
        y += metrics.lineSpacing();
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.strokePath(path, QPen(Qt::black, std::max(3, font.pixelSize() / 6), Qt::SolidLine, Qt::RoundCap,
                                  Qt::RoundJoin));
    painter.fillPath(path, Qt::white);
}

PreviewWindow::PreviewWindow(const QString& subtitleText, QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(Word(kTitle));
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    auto* fileRow = new QHBoxLayout;
    path_ = new QLineEdit(this);
    path_->setObjectName(QStringLiteral("videoPath"));
    path_->setPlaceholderText(Word(kVideoPlaceholder));
    path_->setAccessibleName(Word(kVideoName));
    auto* browse = Button(Word(kOpenVideo), "openVideo", this);
    fileRow->addWidget(path_, 1);
    fileRow->addWidget(browse);
    layout->addLayout(fileRow);

    hint_ = new QLabel(Word(kFindTheMoment), this);
    hint_->setObjectName(QStringLiteral("hint"));
    hint_->setWordWrap(true);
    layout->addWidget(hint_);
    view_ = new VideoView(subtitleText, this);
    view_->setObjectName(QStringLiteral("video"));
    layout->addWidget(view_, 1);

    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName(QStringLiteral("position"));
    slider_->setAccessibleName(Word(kPosition));
    slider_->setRange(0, 0);
    slider_->setSingleStep(100);
    slider_->setPageStep(10000);
    layout->addWidget(slider_);

    auto* controls = new QHBoxLayout;
    play_ = Button(Word(kPlay), "playPause", this);
    auto* back1s = Button(QStringLiteral("-1 s"), "back1s", this);
    auto* backTenth = Button(QStringLiteral("-0.1 s"), "backTenth", this);
    auto* backFrame = Button(Word(kBackFrame), "backFrame", this);
    auto* nextFrame = Button(Word(kNextFrame), "nextFrame", this);
    auto* nextTenth = Button(QStringLiteral("+0.1 s"), "nextTenth", this);
    auto* next1s = Button(QStringLiteral("+1 s"), "next1s", this);
    for (QPushButton* b : {play_, back1s, backTenth, backFrame, nextFrame, nextTenth, next1s})
        controls->addWidget(b);
    controls->addStretch(1);
    position_label_ = new QLabel(this);
    position_label_->setObjectName(QStringLiteral("positionText"));
    controls->addWidget(position_label_);
    layout->addLayout(controls);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    layout->addWidget(status_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    use_ = new QPushButton(Word(kUseThisMoment), this);
    use_->setObjectName(QStringLiteral("useThisMoment"));
    use_->setDefault(true);
    // Nothing to use before a video shows and its frame rate is known.
    use_->setEnabled(false);
    cancel_ = Button(Word(kCancel), "cancel", this);
    buttons->addWidget(use_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);

    player_ = new QMediaPlayer(this);
    sink_ = new QVideoSink(this);
    player_->setVideoSink(sink_);
    // No sound: the user picks by the picture and the subtitle, and a test
    // machine may have no audio device at all.
    player_->setAudioOutput(nullptr);

    connect(browse, &QPushButton::clicked, this, &PreviewWindow::Browse);
    connect(path_, &QLineEdit::returnPressed, this, &PreviewWindow::OpenVideo);
    connect(play_, &QPushButton::clicked, this, &PreviewWindow::TogglePlay);
    connect(back1s, &QPushButton::clicked, this, [this] { SeekTo(position_ - 1000); });
    connect(next1s, &QPushButton::clicked, this, [this] { SeekTo(position_ + 1000); });
    connect(backTenth, &QPushButton::clicked, this, [this] { SeekTo(position_ - 100); });
    connect(nextTenth, &QPushButton::clicked, this, [this] { SeekTo(position_ + 100); });
    connect(backFrame, &QPushButton::clicked, this, [this] { StepFrames(-1); });
    connect(nextFrame, &QPushButton::clicked, this, [this] { StepFrames(1); });
    connect(slider_, &QSlider::valueChanged, this, [this](int ms) {
        if (ms != position_)
            SeekTo(ms);
    });
    connect(use_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(player_, &QMediaPlayer::positionChanged, this, &PreviewWindow::OnPlayerPosition);
    connect(player_, &QMediaPlayer::durationChanged, this, [this](qint64 ms) {
        slider_->setRange(0, static_cast<int>(std::min<qint64>(ms, INT_MAX)));
    });
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, &PreviewWindow::OnMediaStatus);
    connect(player_, &QMediaPlayer::playbackStateChanged, this, [this](QMediaPlayer::PlaybackState state) {
        play_->setText(state == QMediaPlayer::PlayingState ? Word(kPause) : Word(kPlay));
    });
    connect(player_, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error, const QString& text) { status_->setText(text); });
    connect(sink_, &QVideoSink::videoFrameChanged, this, &PreviewWindow::OnFrame);

    // As large as a small screen allows: the picture takes what is left.
    QSize size(720, 560);
    if (const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size.expandedTo(minimumSizeHint()));
    ShowPosition();
    if (!lastVideo.isEmpty() && QFileInfo::exists(lastVideo)) {
        path_->setText(lastVideo);
        restoreTo_ = lastPosition;
        OpenVideo();
    } else {
        status_->setText(Word(kOpenToBegin));
    }
}

PreviewWindow::~PreviewWindow()
{
    if (!path_->text().isEmpty()) {
        lastVideo = path_->text();
        lastPosition = position_;
        lastLongestFrame = fpsFromFile_ ? 0 : longestFrame_;
    }
    // The player goes first, while this window can still take its last
    // signals; then the sink it drew into.
    player_->disconnect(this);
    sink_->disconnect(this);
    player_->stop();
    delete player_;
    delete sink_;
}

void PreviewWindow::CheckSubtitles(const QString& movie, std::vector<TimedText> subtitles, qint64 firstMs)
{
    checking_ = true;
    checked_ = std::move(subtitles);
    std::stable_sort(checked_.begin(), checked_.end(),
                     [](const TimedText& a, const TimedText& b) { return a.start < b.start; });
    setWindowTitle(Word(kCheckTitle));
    hint_->setText(Word(kCheckHint));
    use_->setDefault(false);
    use_->hide();
    cancel_->setText(Word(kClose));
    cancel_->setDefault(true);
    path_->setText(movie);
    restoreTo_ = std::max<qint64>(0, firstMs);
    OpenVideo();
    ShowSubtitleAt(restoreTo_);
}

void PreviewWindow::ShowSubtitleAt(qint64 ms)
{
    if (!checking_)
        return;
    // The last subtitle begun by now, while it lasts.
    auto after = std::upper_bound(checked_.begin(), checked_.end(), ms,
                                  [](qint64 at, const TimedText& t) { return at < t.start; });
    QString text;
    if (after != checked_.begin()) {
        const TimedText& current = *std::prev(after);
        if (ms < current.end || ms == current.start)
            text = current.text;
    }
    view_->SetText(text);
}

void PreviewWindow::Browse()
{
    const QString start = path_->text().isEmpty() ? QString() : QFileInfo(path_->text()).absolutePath();
    // No title of our own: the dialog's usual one, in the user's language.
    const QString file = QFileDialog::getOpenFileName(
        this, QString(), start,
        Word(kVideoFiles) + QStringLiteral(" (*.avi *.mp4 *.m4v *.mkv *.webm *.mov *.mpg *.mpeg *.ogv *.wmv);;") +
            Word(kAllFiles) + QStringLiteral(" (*)"));
    if (file.isEmpty())
        return;
    path_->setText(file);
    restoreTo_ = -1;
    OpenVideo();
}

void PreviewWindow::OpenVideo()
{
    const QString file = path_->text().trimmed();
    if (file.isEmpty())
        return;
    if (!QFileInfo(file).isFile()) {
        status_->setText(Word(kNoSuchFile) + QLatin1Char(' ') + file);
        return;
    }
    fpsFromFile_ = false;
    rateKnown_ = false;
    longestFrame_ = 0;
    // The same video again: what its pictures told last time still holds,
    // even if the first picture now comes cut by the seek to the old place.
    if (file == lastVideo && lastLongestFrame > 0)
        longestFrame_ = lastLongestFrame;
    use_->setEnabled(false);
    fps_ = longestFrame_ > 0 ? UsualRate(1e6 / static_cast<double>(longestFrame_)) : 25;
    position_ = 0;
    view_->SetImage({});
    status_->setText(Word(kOpening));
    player_->setSource(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
    ShowPosition();
}

void PreviewWindow::OnMediaStatus()
{
    switch (player_->mediaStatus()) {
    case QMediaPlayer::LoadedMedia: {
        QVariant rate = player_->metaData().value(QMediaMetaData::VideoFrameRate);
        const auto tracks = player_->videoTracks();
        const int track = player_->activeVideoTrack();
        if (!(rate.toDouble() > 0) && track >= 0 && track < tracks.size())
            rate = tracks[track].value(QMediaMetaData::VideoFrameRate);
        if (rate.isValid() && rate.toDouble() > 0) {
            fps_ = rate.toDouble();
            fpsFromFile_ = true;
            rateKnown_ = true;
        }
        use_->setEnabled(rateKnown_);
        status_->setText(QFileInfo(path_->text()).fileName());
        // Pausing shows the first picture; playing waits for the user.
        player_->pause();
        if (restoreTo_ >= 0)
            SeekTo(restoreTo_);
        restoreTo_ = -1;
        ShowPosition();
        break;
    }
    case QMediaPlayer::InvalidMedia:
        status_->setText(Word(kCannotPlay) + QLatin1Char(' ') + player_->errorString());
        break;
    default: break;
    }
}

void PreviewWindow::TogglePlay()
{
    if (player_->playbackState() == QMediaPlayer::PlayingState)
        player_->pause();
    else
        player_->play();
}

void PreviewWindow::SeekTo(qint64 ms)
{
    const qint64 duration = player_->duration();
    ms = std::max<qint64>(0, duration > 0 ? std::min(ms, duration) : ms);
    position_ = ms;
    player_->setPosition(ms);
    ShowPosition();
}

void PreviewWindow::StepFrames(int frames)
{
    if (player_->playbackState() == QMediaPlayer::PlayingState)
        player_->pause();
    SeekTo(StartOfFrame(std::max(0L, static_cast<long>(FrameAt(position_)) + frames)));
}

void PreviewWindow::OnPlayerPosition(qint64 ms)
{
    // While paused the player reports where a seek landed, which may lag
    // behind the position asked for; only a playing movie moves the pick.
    if (player_->playbackState() != QMediaPlayer::PlayingState)
        return;
    position_ = ms;
    ShowPosition();
}

void PreviewWindow::OnFrame(const QVideoFrame& frame)
{
    if (!frame.isValid())
        return;
    if (!fpsFromFile_ && frame.endTime() > frame.startTime() && frame.startTime() >= 0) {
        // Without the rate in the file's tags, the frames' length tells it.
        // The longest one counts: the first picture after a seek comes cut
        // to the seek's start.
        const qint64 length = frame.endTime() - frame.startTime();
        if (length > longestFrame_ && length < 1'000'000) {
            longestFrame_ = length;
            fps_ = UsualRate(1e6 / static_cast<double>(length));
            ShowPosition();
        }
    }
    // A picture without timing leaves the usual 25 frames a second.
    if (!rateKnown_) {
        rateKnown_ = true;
        use_->setEnabled(player_->mediaStatus() != QMediaPlayer::InvalidMedia);
        ShowPosition();
    }
    view_->SetImage(frame.toImage());
}

void PreviewWindow::ShowPosition()
{
    ShowSubtitleAt(position_);
    if (slider_->value() != position_) {
        const QSignalBlocker block(slider_);
        slider_->setValue(static_cast<int>(position_));
    }
    position_label_->setText(QStringLiteral("%1   %2 %3   (%4 %5)")
                                 .arg(Clock(position_), Word(kFrameWord))
                                 .arg(FrameAt(position_))
                                 .arg(QString::number(fps_, 'g', 5), Word(kFpsWord)));
}

int PreviewWindow::FrameAt(qint64 ms) const
{
    // A hair of slack so the start of a frame, rounded to whole ms, is that frame.
    return static_cast<int>(std::floor(static_cast<double>(ms) * fps_ / 1000.0 + 1e-3));
}

qint64 PreviewWindow::StartOfFrame(long frame) const
{
    return static_cast<qint64>(std::ceil(static_cast<double>(frame) * 1000.0 / fps_ - 1e-6));
}

} // namespace zv::preview

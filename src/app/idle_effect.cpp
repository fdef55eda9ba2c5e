#include "app/idle_effect.h"

#include <QApplication>
#include <QAudioDevice>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QMediaDevices>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QSoundEffect>
#include <QUrl>

// Q_INIT_RESOURCE declares its function where it is used, so it stays
// outside any namespace.
static void InitIdleResources()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(idle_effect);
        return true;
    }();
    (void)loaded;
}

namespace zv::app {

namespace {

constexpr int kFallInterval = 80;
constexpr int kLandingPause = 200;
constexpr int kCarryInterval = 10;
constexpr int kCarrySteps = 98;
// How far the creature drops and drifts per step.
constexpr int kFallStep = 5;
constexpr int kDriftStep = 10;
// Where the pointer sits on the creature once it has landed.
constexpr int kGripX = 5;
constexpr int kGripY = 18;

// Wobble and landing sound of each set, in the order of the sounds array.
const char* const kSounds[] = {
    "qrc:/idle/wobble1.wav", "qrc:/idle/land1.wav", "qrc:/idle/wobble2.wav",
    "qrc:/idle/land2.wav",   "qrc:/idle/wobble3.wav", "qrc:/idle/land3.wav",
};

bool IsInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
        return true;
    default:
        return false;
    }
}

void Ladybird(QPainter& p)
{
    p.setPen(QPen(Qt::black, 1.5));
    for (int side : {-1, 1})
        for (int y : {13, 18, 23})
            p.drawLine(QPointF(16 + side * 8, y), QPointF(16 + side * 13, y + 2));
    p.drawLine(QPointF(14, 5), QPointF(11, 1));
    p.drawLine(QPointF(18, 5), QPointF(21, 1));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(11, 3, 10, 8));
    p.setBrush(QColor(0xd7, 0x26, 0x1e));
    p.drawEllipse(QRectF(6, 8, 20, 21));
    p.setPen(QPen(Qt::black, 1.2));
    p.drawLine(QPointF(16, 9), QPointF(16, 28));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (const QPointF& c : {QPointF(11, 14), QPointF(21, 14), QPointF(10, 21), QPointF(22, 21), QPointF(13, 26),
                             QPointF(19, 26)})
        p.drawEllipse(c, 2.0, 2.0);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(13.5, 5.5), 1.0, 1.0);
    p.drawEllipse(QPointF(18.5, 5.5), 1.0, 1.0);
}

void Bee(QPainter& p)
{
    p.setPen(QPen(QColor(0x40, 0x60, 0x80), 0.8));
    p.setBrush(QColor(0xd8, 0xee, 0xff, 200));
    p.drawEllipse(QRectF(1, 6, 13, 9));
    p.drawEllipse(QRectF(18, 6, 13, 9));
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(QColor(0xf4, 0xc2, 0x0d));
    p.drawEllipse(QRectF(9, 9, 14, 19));
    QPainterPath body;
    body.addEllipse(QRectF(9, 9, 14, 19));
    p.save();
    p.setClipPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (int y : {14, 19, 24})
        p.drawRect(QRectF(8, y, 16, 2.5));
    p.restore();
    p.setPen(QPen(Qt::black, 1.5));
    p.drawLine(QPointF(16, 28), QPointF(16, 31));
    p.drawLine(QPointF(14, 4), QPointF(12, 0.5));
    p.drawLine(QPointF(18, 4), QPointF(20, 0.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x20, 0x10));
    p.drawEllipse(QRectF(11, 3, 10, 8));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(13.5, 6), 1.2, 1.2);
    p.drawEllipse(QPointF(18.5, 6), 1.2, 1.2);
}

void Spider(QPainter& p)
{
    // Its own thread above it, from the top of the picture.
    p.setPen(QPen(QColor(0xc8, 0xc8, 0xc8), 1));
    p.drawLine(QPointF(16, 0), QPointF(16, 9));
    p.setPen(QPen(QColor(0x2a, 0x1a, 0x10), 1.6));
    p.setBrush(Qt::NoBrush);
    for (int side : {-1, 1})
        for (int i = 0; i < 4; ++i) {
            const double y = 12 + i * 3.5;
            QPainterPath leg(QPointF(16 + side * 4, y));
            leg.quadTo(QPointF(16 + side * 11, y - 5 + i * 1.5), QPointF(16 + side * 15, y + 2 + i * 2));
            p.drawPath(leg);
        }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4a, 0x2c, 0x18));
    p.drawEllipse(QRectF(10, 15, 12, 14));
    p.setBrush(QColor(0x2a, 0x1a, 0x10));
    p.drawEllipse(QRectF(12, 8, 8, 8));
    p.setBrush(QColor(0xe0, 0xa0, 0x30));
    p.drawEllipse(QRectF(14, 19, 4, 6));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(14.5, 11), 1.2, 1.2);
    p.drawEllipse(QPointF(17.5, 11), 1.2, 1.2);
}

} // namespace

IdleSprite::IdleSprite(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("IdleSprite"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(IdleEffect::kSpriteSize, IdleEffect::kSpriteSize);
}

void IdleSprite::SetPicture(const QPixmap& picture)
{
    picture_ = picture;
    // Without a compositing window manager a translucent window shows black
    // where it is clear; the shape keeps the creature alone on screen there.
    setMask(picture.mask());
    update();
}

void IdleSprite::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(rect(), Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawPixmap(0, 0, picture_);
}

IdleEffect::IdleEffect(QWidget* frame, std::function<bool()> enabled)
    : QObject(frame), frame_(frame), enabled_(std::move(enabled)), sprite_(new IdleSprite(frame))
{
    InitIdleResources();
    setObjectName(QStringLiteral("IdleEffect"));
    idleClock_.setInterval(kIdleMilliseconds);
    connect(&idleClock_, &QTimer::timeout, this, &IdleEffect::IdleTimeOut);
    stepClock_.setSingleShot(true);
    connect(&stepClock_, &QTimer::timeout, this, &IdleEffect::Step);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive && running())
            Stop();
    });
    pointer_ = QCursor::pos();
    qApp->installEventFilter(this);
    idleClock_.start();
}

IdleEffect::~IdleEffect()
{
    qApp->removeEventFilter(this);
}

void IdleEffect::SetIdleTime(int milliseconds)
{
    idleClock_.start(milliseconds);
}

bool IdleEffect::MovesPointer()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

QPixmap IdleEffect::Picture(int set)
{
    QPixmap picture(kSpriteSize, kSpriteSize);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    switch (set) {
    case 0: Ladybird(p); break;
    case 1: Bee(p); break;
    default: Spider(p); break;
    }
    return picture;
}

bool IdleEffect::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (IsInput(type)) {
        UserActive();
    } else if (type == QEvent::MouseMove && !running()) {
        // Windows that appear or move under a resting pointer make moves
        // that go nowhere. While the effect runs, its own pointer moves come
        // back as these too; every step checks the pointer itself instead.
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        if (at != pointer_) {
            pointer_ = at;
            UserActive();
        }
    }
    return QObject::eventFilter(watched, event);
}

void IdleEffect::UserActive()
{
    idle_ = false;
    idleClock_.start();
    if (running())
        Stop();
}

void IdleEffect::IdleTimeOut()
{
    idle_ = true;
    if (!running() && InFront() && enabled_ && enabled_())
        Start();
}

void IdleEffect::Start()
{
    const QPoint at = QCursor::pos();
    QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen)
        screen = frame_->screen();
    if (!screen)
        return;
    screen_ = screen->geometry();
    start_ = pointer_ = at;
    movesPointer_ = MovesPointer();
    runSet_ = set_;
    set_ = (set_ + 1) % 3;
    sprite_->SetPicture(Picture(runSet_));

    const int fromTop = at.y() - screen_.top();
    fallSteps_ = std::max(0, (fromTop + 16) / kFallStep - 1);
    // Which way the pointer is towed, never into the top or bottom edge.
    direction_ = (at.x() % 3 + 3) % 3 == 1 ? 1 : (at.x() % 3 + 3) % 3 == 2 ? -1 : 0;
    if (fromTop <= 80)
        direction_ = 1;
    else if (fromTop >= screen_.height() - 80)
        direction_ = -1;

    if (!sounds_[0] && !QMediaDevices::audioOutputs().isEmpty()) {
        for (std::size_t i = 0; i < sounds_.size(); ++i) {
            sounds_[i] = std::make_unique<QSoundEffect>();
            sounds_[i]->setSource(QUrl(QString::fromLatin1(kSounds[i])));
        }
    }
    phase_ = Phase::Falling;
    step_ = 0;
    emit started();
    Step();
}

void IdleEffect::Step()
{
    if (!InFront() || !idle_) {
        Stop();
        return;
    }
    if (phase_ == Phase::Falling)
        FallingStep();
    else if (phase_ == Phase::Carrying)
        CarryingStep();
}

void IdleEffect::FallingStep()
{
    if (!PointerStayed()) {
        Stop();
        return;
    }
    if (++step_ > fallSteps_) {
        phase_ = Phase::Carrying;
        step_ = 0;
        CarryingStep();
        return;
    }
    const bool wobble = step_ % 3 == 2;
    Show(QPoint(start_.x() - kGripX + (wobble ? kFallStep : 0), screen_.top() - 29 + kFallStep * step_));
    if (wobble)
        Play(runSet_ * 2);
    const bool landed = step_ == fallSteps_;
    if (landed)
        Play(runSet_ * 2 + 1);
    stepClock_.start(landed ? kFallInterval + kLandingPause : kFallInterval);
}

void IdleEffect::CarryingStep()
{
    if (PointerStayed() && ++step_ <= kCarrySteps) {
        const QPoint towed(start_.x() + step_, start_.y() + direction_ * step_);
        if (movesPointer_)
            PutPointer(towed);
        Show(QPoint(start_.x() - kGripX + kDriftStep * step_, towed.y() - kGripY));
        stepClock_.start(kCarryInterval);
        return;
    }
    // A pointer left at the right edge is hard to find: bring it back in.
    if (movesPointer_) {
        const QPoint at = QCursor::pos();
        if (at.x() >= screen_.right() - 5)
            PutPointer(QPoint(screen_.left() + screen_.width() / 3, at.y()));
    }
    Stop();
}

void IdleEffect::Stop()
{
    stepClock_.stop();
    sprite_->hide();
    phase_ = Phase::None;
    idleClock_.start();
    emit finished();
}

bool IdleEffect::InFront() const
{
    return inFront_ ? inFront_() : QGuiApplication::applicationState() == Qt::ApplicationActive;
}

void IdleEffect::Show(QPoint topLeft)
{
    sprite_->move(topLeft);
    if (!sprite_->isVisible())
        sprite_->show();
}

void IdleEffect::Play(int sound)
{
    if (sounds_[static_cast<std::size_t>(sound)])
        sounds_[static_cast<std::size_t>(sound)]->play();
}

bool IdleEffect::PointerStayed() const
{
    return QCursor::pos() == pointer_;
}

void IdleEffect::PutPointer(QPoint where)
{
    pointer_ = where;
    QCursor::setPos(where);
}

} // namespace zv::app

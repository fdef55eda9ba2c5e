// The idle effect: when the user's hands have been off mouse and keys for a
// while, a small creature drops from the top of the screen onto the pointer
// and tows it a short way. The creature is a window of our own, so nothing
// is ever drawn over another program; and it only comes while this program
// is the one in front.
#pragma once

#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QSoundEffect;

namespace zv::app {

// The creature's window: no frame, see-through around the picture, above all
// other windows, and never the target of a click, a key or the focus.
class IdleSprite : public QWidget {
    Q_OBJECT
public:
    explicit IdleSprite(QWidget* owner);
    void SetPicture(const QPixmap& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

class IdleEffect : public QObject {
    Q_OBJECT
public:
    // enabled says whether the user has switched the effect on; it is asked
    // each time the effect would start, so a changed setting counts at once.
    IdleEffect(QWidget* frame, std::function<bool()> enabled);
    ~IdleEffect() override;

    // How long without input counts as idle (15 seconds unless changed).
    void SetIdleTime(int milliseconds);
    bool idle() const { return idle_; }
    bool running() const { return phase_ != Phase::None; }
    IdleSprite* sprite() const { return sprite_; }
    // The set the next run uses: 0, 1, 2, then 0 again.
    int nextSet() const { return set_; }
    // Whether the effect moves the pointer itself; elsewhere than on X11 the
    // pointer belongs to the user alone and only the creature moves.
    static bool MovesPointer();
    // The creature of each set, 32 by 32 pixels.
    static QPixmap Picture(int set);
    // Whether this program is the one in front; the window system's answer
    // unless a test stands in for it (an empty hook restores it).
    void SetInFrontHook(std::function<bool()> inFront) { inFront_ = std::move(inFront); }

    static constexpr int kSpriteSize = 32;
    static constexpr int kIdleMilliseconds = 15000;

signals:
    void started();
    void finished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Phase { None, Falling, Carrying };
    void UserActive();
    void IdleTimeOut();
    void Start();
    void Step();
    void FallingStep();
    void CarryingStep();
    void Stop();
    bool InFront() const;
    void Show(QPoint topLeft);
    void Play(int sound);
    // Where the pointer is, and whether it is still where we last saw or put it.
    bool PointerStayed() const;
    void PutPointer(QPoint where);

    QWidget* frame_;
    std::function<bool()> enabled_;
    std::function<bool()> inFront_;
    IdleSprite* sprite_;
    QTimer idleClock_;
    QTimer stepClock_;
    bool idle_ = false;
    Phase phase_ = Phase::None;
    int set_ = 0;
    int runSet_ = 0;
    int step_ = 0;
    int fallSteps_ = 0;
    int direction_ = 0;
    bool movesPointer_ = false;
    QRect screen_;
    QPoint start_;
    // Where the pointer was last seen or put: a mouse move to that very
    // place is our own doing (or no move at all), not the user's.
    QPoint pointer_;
    // Per set: the wobble sound and the landing sound. Empty without an
    // audio output, and then the effect is silent.
    std::array<std::unique_ptr<QSoundEffect>, 6> sounds_;
};

} // namespace zv::app

// GUI tests of the host and the dialogs: the engine fixture's folder, settings
// and numbered texts ("T<n>"), with a Context whose host is the real QtHost.
// Message boxes are answered by the hook from `answers` (when it runs out:
// whatever changes nothing, No, Cancel or the only button) and recorded with
// the window that would own them.
#pragma once

#include "qt/progress_window.h"
#include "qt/qt_host.h"
#include "engine/io/file_io.h"
#include "support/engine_fixture.h"

#include <QApplication>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace zv::app::test {

// A named pipe that nothing writes to. So that a program that opens it anyway
// fails a test instead of hanging it, a writer comes by whenever someone waits
// for one, and leaves at once: the reader then sees an empty file.
class NamedPipe {
public:
    explicit NamedPipe(std::string path) : path_(std::move(path))
    {
        ::mkfifo(path_.c_str(), 0600);
        writer_ = std::thread([this] {
            while (!done_) {
                const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0)
                    ::close(fd);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
    }
    ~NamedPipe()
    {
        done_ = true;
        writer_.join();
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::atomic<bool> done_{false};
    std::thread writer_;
};

// The visible top-level windows of one kind and name.
template <typename T>
std::vector<T*> TopLevels(const QString& name)
{
    std::vector<T*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && w->objectName() == name && w->isVisible())
            found.push_back(t);
    return found;
}

// Clicks a child control near its left edge, where a radio button or check
// box takes clicks (on its mark and label only).
inline void ClickChild(QWidget* parent, const char* id)
{
    QWidget* w = parent->findChild<QWidget*>(id);
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2));
}

struct Shown {
    QString caption;
    QString text;
    zv::Buttons buttons;
    zv::Icon icon;
    zv::Owner owner;
    QWidget* window; // what owner stood for when the box came up
};

class DialogTest : public zv::test::EngineTest {
protected:
    DialogTest()
    {
        qhost.SetTexts(&texts);
        qctx = std::make_unique<zv::Context>(qhost, settings, texts);
        zv::InitWorkspacePaths(qctx->workspace, dir);
        qhost.SetMessageHook([this](const qt::MessageRequest& r) -> std::optional<zv::Answer> {
            shown.push_back({r.caption, r.text, r.buttons, r.icon, r.owner, qhost.OwnerWidget(r.owner)});
            if (onMessage)
                onMessage(shown.back());
            if (!answers.empty()) {
                const zv::Answer a = answers.front();
                answers.pop_front();
                return a;
            }
            if (r.buttons == zv::Buttons::Ok)
                return zv::Answer::Ok;
            return r.buttons == zv::Buttons::YesNo ? zv::Answer::No : zv::Answer::Cancel;
        });
    }
    ~DialogTest() override
    {
        // Windows the test left open (progress windows, help) go with it.
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* p = qobject_cast<qt::ProgressDialog*>(w))
                p->End();
            else
                w->close();
        }
        Flush();
    }

    // Lets deferred deletions and posted events run.
    static void Flush()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    // "caption: text" of every message shown so far.
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> all;
        for (const Shown& s : shown)
            all.push_back((s.caption + QStringLiteral(": ") + s.text).toStdString());
        return all;
    }

    qt::QtHost qhost;
    std::unique_ptr<zv::Context> qctx;
    std::deque<zv::Answer> answers;
    std::vector<Shown> shown;
    // Runs while a message box is up, before it is answered.
    std::function<void(const Shown&)> onMessage;
};

} // namespace zv::app::test

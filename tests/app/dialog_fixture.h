// GUI tests of the host and the dialogs: the engine fixture's folder, settings
// and numbered texts ("T<n>"), with a Context whose host is the real QtHost.
// Message boxes are answered by the hook from `answers` (Yes or OK when it runs
// out) and recorded with the window that would own them.
#pragma once

#include "app/dialogs/progress_window.h"
#include "app/qt_host.h"
#include "support/engine_fixture.h"

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace zv::app::test {

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

struct ShownMessage {
    MessageRequest request;
    QWidget* owner;
};

class DialogTest : public zv::test::EngineTest {
protected:
    DialogTest()
    {
        qhost.SetTexts(&texts);
        qctx = std::make_unique<zv::Context>(qhost, settings, texts);
        zv::InitWorkspacePaths(qctx->workspace, dir);
        qhost.SetMessageHook([this](const MessageRequest& r) -> std::optional<zv::Answer> {
            shown.push_back({r, qhost.OwnerWidget(r.owner)});
            if (onMessage)
                onMessage();
            if (answers.empty())
                return r.buttons == zv::Buttons::YesNo ? zv::Answer::Yes : zv::Answer::Ok;
            const zv::Answer a = answers.front();
            answers.pop_front();
            return a;
        });
    }
    ~DialogTest() override
    {
        // Windows the test left open (progress windows, help) go with it.
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* p = qobject_cast<ProgressDialog*>(w))
                p->End();
            else
                w->close();
        }
        Flush();
    }

    // Lets deferred deletions and posted events run.
    static void Flush()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    QtHost qhost;
    std::unique_ptr<zv::Context> qctx;
    std::deque<zv::Answer> answers;
    std::vector<ShownMessage> shown;
    // Runs while a message box is up, before it is answered.
    std::function<void()> onMessage;
};

} // namespace zv::app::test

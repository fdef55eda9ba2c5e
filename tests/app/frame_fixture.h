// GUI tests of the frame: a real Frame over the dialog fixture's folder,
// settings, message boxes and numbered texts ("T<n>"; text 110, the document
// font, names a face that exists). File dialogs are answered from `files` and
// recorded; shell starts are recorded instead of run.
#pragma once

#include "app/commands.h"
#include "qt/file_dialogs.h"
#include "app/frame.h"
#include "qt/shell.h"
#include "app/toolbar_strip.h"
#include "dialog_fixture.h"

#include <QDialog>
#include <QDropEvent>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QToolButton>

#include <sys/stat.h>
#include <tuple>

namespace zv::app::test {

class FrameTest : public DialogTest {
protected:
    FrameTest()
    {
        std::string lan = ReadFile(Path("numbered.lan"));
        lan.replace(lan.find("T110\r\n"), 4, "DejaVu Sans Mono");
        texts.LoadOnce(WriteFile("frame.lan", lan));
        qt::SetFileDialogHook([this](const qt::FileDialogRequest& r) -> std::optional<QString> {
            dialogs.push_back(r);
            if (files.empty())
                return std::nullopt;
            auto answer = files.front();
            files.pop_front();
            return answer;
        });
        qt::SetShellHooks(
            [this](const QUrl& url) {
                opened.push_back(url);
                return true;
            },
                      [this](const QString& program, const QStringList& args) {
                          started.push_back(program + " " + args.join(QLatin1Char(' ')));
                          return true;
                      });
        settings.WriteSetting("_CNF_ASK_12", "1"); // no tip of the day at every frame
        settings.WriteSetting("_CNF_ASK_6", "1");  // nor the information after every Open
        // The results these tests check are those of the tenths arithmetic;
        // the exact times have tests of their own.
        settings.WriteSetting("_CNF_TENTHS", "1");
        MakeFrame();
    }

    ~FrameTest() override
    {
        frame.reset();
        qt::SetFileDialogHook({});
        qt::SetShellHooks({}, {});
    }

    void MakeFrame()
    {
        frame.reset();
        frame = std::make_unique<Frame>(qhost, settings, texts, FrameOptions{Path("install"), "Zentavo 2.4", dir});
        frame->resize(1000, 700);
        frame->show();
        Flush();
    }

    // A MicroDvd file in a folder of this test.
    std::string FileIn(const std::string& folder, const std::string& name = "film.sub")
    {
        ::mkdir(Path(folder).c_str(), 0755);
        return WriteFile(folder + "/" + name, "{10}{20}Hello\r\n{30}{40}World\r\n");
    }

    // Runs a command whose file dialog is answered with `path`.
    void RunWithFile(int command, const std::string& path)
    {
        files.push_back(QString::fromStdString(path));
        frame->Dispatch(command);
        Flush();
    }
    void OpenFile(const std::string& path) { RunWithFile(cmd::Open, path); }

    // Drops files on the toolbar strip, entered first as a real drag does.
    void Drop(const QStringList& paths)
    {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame->toolbar(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame->toolbar(), &drop);
        Flush();
    }

    // Runs a command whose modal dialog `drive` works while it is up; the
    // toolbar is locked meanwhile and free again afterwards.
    void RunModal(int command, const std::function<void(QDialog*)>& drive)
    {
        bool driven = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_FALSE(frame->toolbar()->isEnabled());
            driven = true;
            drive(dialog);
        });
        frame->Dispatch(command);
        Flush();
        EXPECT_TRUE(driven);
        EXPECT_TRUE(frame->toolbar()->isEnabled());
    }

    // A finished operation: its result in the WorkingCopy, shown as done.
    void ShowResult(const std::string& contents)
    {
        zv::CopyFileOver(WriteFile("result", contents), ws().WorkingCopy);
        frame->ShowAfterOperation(true);
        Flush();
    }

    // Split's two results side by side.
    void ShowSplit(const std::string& first, const std::string& second)
    {
        zv::CopyFileOver(WriteFile("first-result", first), ws().WorkingCopy);
        zv::CopyFileOver(WriteFile("second-result", second), ws().SecondWorkingCopy);
        frame->ShowSplitResults();
        Flush();
    }

    const zv::Workspace& ws() const { return frame->context().workspace; }
    DocumentWindow* doc(DocumentKind kind) const { return frame->document(kind); }
    // Closes a document window as its close box does.
    void Close(DocumentKind kind)
    {
        doc(kind)->close();
        Flush();
    }

    // The lines a document window shows.
    static QStringList Lines(DocumentWindow* w)
    {
        QStringList lines;
        for (int i = 0; w && i < w->list()->count(); ++i)
            lines << w->list()->text(i);
        return lines;
    }

    bool ButtonOn(int id) const { return frame->toolbar()->button(id)->isEnabled(); }
    bool MenuOn(int command) const { return frame->commandAction(command)->isEnabled(); }
    // What the user sees of the documents: the windows that are open and the
    // document commands that are on, menu entry and toolbar button alike
    // ("unite:button" when only the button is), e.g. "Source Destination: save saveas".
    QString State() const
    {
        QStringList windows;
        for (QMdiSubWindow* w : frame->documentArea()->subWindowList())
            windows << w->objectName().remove(QStringLiteral("Mdi")).remove(QStringLiteral("Document"));
        windows.sort();
        const std::tuple<int, int, const char*> commands[] = {
            {cmd::Save, 1047, "save"}, {cmd::SaveAs, 1048, "saveas"}, {cmd::MoveTime, 1049, "move"},
            {cmd::Unite, 1054, "unite"}};
        QStringList on;
        for (const auto& [command, button, name] : commands) {
            const bool menu = MenuOn(command);
            if (menu || ButtonOn(button))
                on << name + QString(menu == ButtonOn(button) ? "" : menu ? ":menu" : ":button");
        }
        return windows.join(QLatin1Char(' ')) + ": " + on.join(QLatin1Char(' '));
    }

    // Saves the result over the opened file, answering its question first.
    void Save(zv::Answer answer)
    {
        answers.push_front(answer);
        frame->Dispatch(cmd::Save);
        Flush();
    }

    std::unique_ptr<Frame> frame;
    std::deque<std::optional<QString>> files;
    std::vector<qt::FileDialogRequest> dialogs;
    std::vector<QUrl> opened;
    std::vector<QString> started;
};

// A sample of a format from the test data.
inline std::string FormatSample(const std::string& name)
{
    return std::string(ZENTAVO_TEST_DATA) + "/formats/" + name;
}

} // namespace zv::app::test

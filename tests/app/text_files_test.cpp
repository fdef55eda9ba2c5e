// Files as people have them: LF line ends, a UTF-8 mark, any encoding, a
// file handed over by a file manager or a second start.
#include "app/single_instance.h"
#include "app/startup.h"
#include "qt/text_codec.h"
#include "engine/operations/move_time.h"
#include "frame_fixture.h"

#include <QSignalSpy>

#include <sys/socket.h>
#include <sys/un.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <future>
#include <thread>

namespace zv::app::test {
using qt::SetInstallerLanguage;

namespace {

using TextFilesTest = FrameTest;

// A later start in a thread of its own, while this thread's event loop lets
// the running instance answer it.
SingleInstance::Claimed ClaimBeside(SingleInstance& later, const QString& file = {})
{
    auto claimed = std::async(std::launch::async, [&later, file] { return later.Claim(file); });
    while (claimed.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QTest::qWait(5);
    return claimed.get();
}

std::string Styled(std::string text, bool mark, bool lineFeeds)
{
    if (lineFeeds)
        for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
            text.erase(at, 1);
    return (mark ? "\xEF\xBB\xBF" : "") + text;
}

// Open, move, save: the times move and the file keeps its line ends and mark.
TEST_F(TextFilesTest, EveryFormatIsSavedBackInItsOwnStyle)
{
    const char* samples[] = {"tmplayer.txt", "tmplayer_short.txt", "microdvd.sub", "mpl2.txt",
                             "subrip.srt",   "subviewer1.sub",     "ssa.ssa",      "subviewer2.sub"};
    for (const char* name : samples) {
        const std::string crlf = ReadFile(FormatSample(name));
        std::string moved;
        for (const bool mark : {false, true}) {
            for (const bool lineFeeds : {false, true}) {
                SCOPED_TRACE(std::string(name) + (mark ? " mark" : "") + (lineFeeds ? " lf" : " crlf"));
                const std::string file = WriteFile(name, Styled(crlf, mark, lineFeeds));
                shown.clear();
                OpenFile(file);
                ASSERT_TRUE(shown.empty()) << Messages()[0];
                ASSERT_NE(frame->handler(), nullptr);
                ASSERT_TRUE(
                    zv::RunMoveTime(frame->context(), *frame->handler(), 10, frame->WriteOptionsForFile()).done);
                frame->ShowAfterOperation(true);
                Save(zv::Answer::Yes);
                // The CR LF file's result is what every style gives, in its own style.
                if (!mark && !lineFeeds)
                    moved = ReadFile(file);
                EXPECT_NE(moved, crlf);
                EXPECT_EQ(ReadFile(file), Styled(moved, mark, lineFeeds));
            }
        }
    }
}

TEST_F(TextFilesTest, OnlyDamagedLineEndsAreAskedAboutAndWideTextsAreRefused)
{
    OpenFile(WriteFile("unix.sub", "{10}{20}Hello\n{30}{40}World\n"));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(State(), "Source: move unite");
    EXPECT_EQ(Lines(doc(DocumentKind::Source)), QStringList({" ", "{10}{20}Hello", "{30}{40}World"}));

    const std::string mixed = WriteFile("mixed.sub", "{10}{20}Hello\r\n{30}{40}World\n");
    answers = {zv::Answer::Yes};
    OpenFile(mixed);
    while (QWidget* w = QApplication::activeModalWidget())
        w->close();
    Flush();
    ASSERT_EQ(Messages(), std::vector<std::string>({"T44: T354"}));
    EXPECT_EQ(State(), "Destination: save saveas");
    Save(zv::Answer::Yes);
    EXPECT_EQ(ReadFile(mixed), "{10}{20}Hello\r\n{30}{40}World\r\n");

    shown.clear();
    // A wide text cut inside a character cannot be read.
    OpenFile(WriteFile("wide.srt", std::string("\xFF\xFE" "1\0\r\0\n", 7)));
    EXPECT_EQ(Messages(), std::vector<std::string>({"T44: T401\n\nUTF-16LE"}));
    shown.clear();
    ::mkdir(Path("folder").c_str(), 0700);
    OpenFile(Path("folder"));
    EXPECT_EQ(Messages(), std::vector<std::string>({"T44: T398"}));
    EXPECT_EQ(State(), ": ");
}

TEST_F(TextFilesTest, TheEncodingIsShownAndMayBeChosenForTheSession)
{
    // "Zażółć gęślą jaźń, wróć żółw" in Windows-1250.
    const std::string polish =
        WriteFile("pl.sub", "{1}{2}Za\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 ja\x9f\xf1, wr\xf3\xe6 \xbf\xf3\xb3w\r\n");
    for (const int language : {1033, 1045}) {
        SetInstallerLanguage(language);
        OpenFile(polish);
        EXPECT_EQ(doc(DocumentKind::Source)->windowTitle(), " T117 pl.sub [Windows-1250]");
        EXPECT_EQ(Lines(doc(DocumentKind::Source)).at(1), QString::fromUtf8("{1}{2}Zażółć gęślą jaźń, wróć żółw"));
    }
    SetInstallerLanguage(1033);
    EXPECT_EQ(frame->EncodeForSource(QString::fromUtf8("żółw")), "\xbf\xf3\xb3w");

    // Chosen from the source window's menu: the text is shown anew, the file stays as it is.
    QMenu* menu = doc(DocumentKind::Source)->BuildContextMenu();
    QMenu* encodings = menu->findChild<QMenu*>("Encoding");
    ASSERT_NE(encodings, nullptr);
    QAction* western = nullptr;
    for (QAction* a : encodings->actions()) {
        EXPECT_EQ(a->isChecked(), a->text() == "Windows-1250") << a->text().toStdString();
        if (a->text() == "Windows-1252")
            western = a;
    }
    ASSERT_NE(western, nullptr);
    western->trigger();
    delete menu;
    Flush();
    EXPECT_EQ(frame->sourceEncoding(), "Windows-1252");
    EXPECT_EQ(doc(DocumentKind::Source)->windowTitle(), " T117 pl.sub [Windows-1252]");
    EXPECT_EQ(Lines(doc(DocumentKind::Source)).at(1), QString::fromUtf8("{1}{2}Za¿ó³æ gêœl¹ jaŸñ, wróæ ¿ó³w"));
    // What the encoding lacks becomes a question mark.
    EXPECT_EQ(frame->EncodeForSource(QString::fromUtf8("żółw")), "?\xf3?w");

    // A wide text: shown from its UTF-8 copy, titled by its own encoding, no
    // code page to choose, and a moved result saved back in UTF-16.
    const std::string wide = WriteFile("w.sub", std::string("\xFF\xFE{\0001\0}\0{\0002\0}\0\x7C\x01\r\0\n\0", 20));
    OpenFile(wide);
    EXPECT_EQ(doc(DocumentKind::Source)->windowTitle(), " T117 w.sub [UTF-16LE]");
    EXPECT_EQ(Lines(doc(DocumentKind::Source)).at(1), QString::fromUtf8("{1}{2}ż"));
    QMenu* wideMenu = doc(DocumentKind::Source)->BuildContextMenu();
    for (QAction* a : wideMenu->findChild<QMenu*>("Encoding")->actions())
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
    delete wideMenu;
    ASSERT_TRUE(zv::RunMoveTime(frame->context(), *frame->handler(), 10, frame->WriteOptionsForFile()).done);
    frame->ShowAfterOperation(true);
    Save(zv::Answer::Yes);
    EXPECT_EQ(ReadFile(wide), std::string("\xFF\xFE{\0001\0001\0}\0{\0001\0002\0}\0\x7C\x01\r\0\n\0", 24));

    // Remembered for the file while the program runs; another file is detected.
    OpenFile(FileIn("other"));
    EXPECT_EQ(frame->sourceEncoding(), "UTF-8");
    OpenFile(polish);
    EXPECT_EQ(frame->sourceEncoding(), "Windows-1252");
    EXPECT_EQ(ReadFile(polish), "{1}{2}Za\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 ja\x9f\xf1, wr\xf3\xe6 \xbf\xf3\xb3w\r\n");
}

TEST_F(TextFilesTest, CancellingOpenKeepsTheWindowsAndARemovedWorkspaceIsMadeAgain)
{
    OpenFile(FileIn("film"));
    ShowResult("{110}{120}Moved\r\n");
    answers = {zv::Answer::Yes}; // leave the result
    frame->Dispatch(cmd::Open);  // and cancel the dialog
    Flush();
    EXPECT_EQ(State(), "Destination Source: save saveas");
    EXPECT_TRUE(frame->unsavedResults().first);

    frame.reset();
    const std::string folder = Path("ws");
    ::mkdir(folder.c_str(), 0700);
    frame = std::make_unique<Frame>(qhost, settings, texts, FrameOptions{Path("install"), "Zentavo 2.4", folder});
    frame->show();
    std::filesystem::remove_all(folder);
    shown.clear();
    OpenFile(FileIn("film"));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(State(), "Source: move unite");
    frame.reset();
    std::filesystem::remove_all(folder);
}

TEST_F(TextFilesTest, AFileGivenAtStartOrToASecondStartIsOpened)
{
    EXPECT_EQ(GivenFile({"zentavo"}), "");
    EXPECT_EQ(GivenFile({"zentavo", "/films/a b.srt"}), "/films/a b.srt");
    EXPECT_EQ(GivenFile({"zentavo", "file:///films/a%20b.srt"}), "/films/a b.srt");
    EXPECT_EQ(GivenFile({"zentavo", "a.srt"}), QDir::currentPath() + "/a.srt");

    const QString name = QString::fromStdString(Path("instance"));
    SingleInstance first(name);
    ASSERT_EQ(first.Claim(), SingleInstance::Claimed::First);
    QSignalSpy raised(&first, &SingleInstance::raiseRequested);
    QSignalSpy handed(&first, &SingleInstance::openRequested);
    SingleInstance second(name);
    EXPECT_EQ(ClaimBeside(second, QString::fromUtf8("/films/żółw.srt")), SingleInstance::Claimed::HandedOver);
    SingleInstance third(name);
    EXPECT_EQ(ClaimBeside(third), SingleInstance::Claimed::HandedOver);
    for (int i = 0; i < 100 && raised.count() < 2; ++i)
        QTest::qWait(10);
    EXPECT_EQ(raised.count(), 2);
    ASSERT_EQ(handed.count(), 1);
    EXPECT_EQ(handed.at(0).at(0).toString(), QString::fromUtf8("/films/żółw.srt"));
}

TEST_F(TextFilesTest, ABusyRunningProgramIsNotTakenOverAndItsLaterStartIsToldSo)
{
    const QString name = QString::fromStdString(Path("instance"));
    SingleInstance first(name);
    ASSERT_EQ(first.Claim(), SingleInstance::Claimed::First);
    QSignalSpy handed(&first, &SingleInstance::openRequested);
    // Busy: this thread answers nothing while the later start waits, first
    // with room in the queue of connections, then with the queue full.
    SingleInstance second(name, std::chrono::milliseconds(300));
    EXPECT_EQ(second.Claim(QStringLiteral("/films/one.srt")), SingleInstance::Claimed::Busy);
    std::vector<int> queued;
    for (int i = 0; i < 1000; ++i) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, Path("instance").c_str(), sizeof address.sun_path - 1);
        queued.push_back(fd);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            break;
    }
    SingleInstance third(name, std::chrono::milliseconds(300));
    EXPECT_EQ(third.Claim(QStringLiteral("/films/two.srt")), SingleInstance::Claimed::Busy);
    for (int fd : queued)
        ::close(fd);

    // Nothing the user was told had not been handed over turns up later, and
    // the running program still answers on its own socket.
    SingleInstance fourth(name);
    EXPECT_EQ(ClaimBeside(fourth, QStringLiteral("/films/three.srt")), SingleInstance::Claimed::HandedOver);
    QTest::qWait(100);
    ASSERT_EQ(handed.count(), 1);
    EXPECT_EQ(handed.at(0).at(0).toString(), QStringLiteral("/films/three.srt"));
}

TEST_F(TextFilesTest, ARequestLongerThanAnyPathIsCutOff)
{
    const QString name = QString::fromStdString(Path("instance"));
    SingleInstance first(name);
    ASSERT_EQ(first.Claim(), SingleInstance::Claimed::First);
    QSignalSpy handed(&first, &SingleInstance::openRequested);
    // A client that streams without end, while the program answers.
    constexpr std::size_t kStream = 8 << 20;
    std::atomic<std::size_t> sent{0};
    std::atomic<bool> finished{false};
    std::thread client([&] {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, Path("instance").c_str(), sizeof address.sun_path - 1);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            const std::string block = "open\n/" + std::string(64 * 1024, 'a');
            while (sent < kStream) {
                const ssize_t n = ::send(fd, block.data(), block.size(), MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                sent += static_cast<std::size_t>(n);
            }
        }
        ::close(fd);
        finished = true;
    });
    for (int i = 0; i < 1000 && !finished; ++i)
        QTest::qWait(10);
    client.join();
    EXPECT_LT(sent, kStream / 8) << "the program took in " << sent << " bytes of one request";
    EXPECT_EQ(handed.count(), 0);
}

TEST_F(TextFilesTest, APipeIsRefusedWhereverItIsOpenedFrom)
{
    OpenFile(FileIn("films"));
    shown.clear();
    NamedPipe pipe(Path("films/pipe.srt"));
    OpenFile(pipe.path());
    frame->OpenDroppedFile(QString::fromStdString(pipe.path())); // a start or a later start given it
    Flush();
    EXPECT_EQ(Messages(), std::vector<std::string>(2, "T44: T424"));
    EXPECT_EQ(State(), ": ");

    OpenFile(FileIn("films"));
    shown.clear();
    RunWithFile(cmd::Unite, pipe.path());
    EXPECT_EQ(Messages(), std::vector<std::string>{"T44: T424"});
    EXPECT_EQ(State(), "Source: move unite");
}

} // namespace
} // namespace zv::app::test

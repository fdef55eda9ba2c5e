// The update checker against a real HTTP server on 127.0.0.1: the fetch and
// its failures, the three modes, the check window, the notice and the
// picture buttons.
#include "engine/update/update_check.h"
#include "http_server.h"
#include "qt/qt_host.h"
#include "qt/shell.h"
#include "support/engine_fixture.h"
#include "upgrade/curl_fetcher.h"
#include "upgrade/icon_button.h"
#include "upgrade/new_version_notice.h"
#include "upgrade/updater_window.h"
#include "upgrade/upgrade.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <cstdlib>
#include <fstream>

namespace zv::test {
namespace {

using namespace std::chrono_literals;
using upgrade::CurlFetcher;

class UpgradeTest : public EngineTest {
protected:
    UpgradeTest()
    {
        ::setenv("ZENTAVO_UNATTENDED", Path("run.log").c_str(), 1);
        qtHost.SetMessageHook([this](const qt::MessageRequest& r) -> std::optional<Answer> {
            messages << r.caption + QStringLiteral(": ") + r.text;
            return Answer::Ok;
        });
        qt::SetShellHooks(
            [this](const QUrl& url) {
                opened << url.toString();
                return true;
            },
            {});
    }
    ~UpgradeTest() override
    {
        ::unsetenv("ZENTAVO_UNATTENDED");
        qt::SetShellHooks({}, {});
    }
    // What the unattended run logged (the notices it would have shown).
    std::string Log() const { return ReadFile(Path("run.log")); }

    HttpServer server;
    qt::QtHost qtHost;
    upgrade::UpgradeContext uctx{qtHost, settings, texts, server.Base(), 5s};
    QStringList messages, opened;
};

TEST_F(UpgradeTest, AFetchFailsOnEveryAnswerThatIsNoFile)
{
    CurlFetcher fetcher(1500ms);
    std::vector<std::string> lines;
    fetcher.SetStatusListener([&](const std::string& line) { lines.push_back(line); });
    server.Serve("/ok.txt", "2.4\r\nnews");
    server.Serve("/moved.txt", server.Base() + "ok.txt", "302 Found");
    server.Serve("/elsewhere.txt", "ftp://127.0.0.1/ok.txt", "302 Found");
    server.Serve("/full.txt", std::string(kMaxUpdateBody, 'x'));
    server.Serve("/over.txt", std::string(kMaxUpdateBody + 1, 'x'));

    FetchResult r = fetcher.FetchUrlText(server.Base() + "moved.txt");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.body, "2.4\r\nnews");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Read 9 bytes");
    EXPECT_TRUE(fetcher.FetchUrlText(server.Base() + "full.txt").ok);

    // A "404 Not Found" page begins with a digit, but it is no announcement.
    r = fetcher.FetchUrlText(server.Base() + "missing.txt");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.statusLine.find("404"), std::string::npos) << r.statusLine;
    EXPECT_TRUE(r.body.empty());
    r = fetcher.FetchUrlText(server.Base() + "over.txt");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.statusLine.find("64 KiB"), std::string::npos) << r.statusLine;
    EXPECT_FALSE(fetcher.FetchUrlText(server.Base() + "elsewhere.txt").ok);
    EXPECT_FALSE(fetcher.FetchUrlText("file:///etc/hostname").ok);

    r = fetcher.FetchUrlText(HttpServer::RefusingBase() + "ok.txt");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.statusLine.find("onnect"), std::string::npos) << r.statusLine;

    server.SetSilent(true);
    const auto start = std::chrono::steady_clock::now();
    r = fetcher.FetchUrlText(server.Base() + "ok.txt");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.statusLine.find("imed out"), std::string::npos) << r.statusLine;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

TEST_F(UpgradeTest, SilentAndAnnouncementModesShowOnlyWhatIsNew)
{
    settings.WriteSetting("VER", "2.3");
    server.Serve("/zentavo_ver.txt", "2.4\r\nSynchronize reads <b>films</b>.");
    upgrade::RunSilentCheck(uctx);
    EXPECT_EQ(Log(), "window Zentavo - T155 (version): Zentavo 2.4\n\nSynchronize reads <b>films</b>.\n");

    std::remove(Path("run.log").c_str());
    settings.WriteSetting("VER", "2.31");
    upgrade::RunSilentCheck(uctx);
    server.Serve("/zentavo_ver.txt", "2,4\r\n");
    settings.WriteSetting("VER", "");
    upgrade::RunSilentCheck(uctx);
    EXPECT_EQ(Log(), "");

    // The first run learns the number, and a number is shown until the user
    // clears the box (unattended, the box stays ticked).
    server.Serve("/zentavo_EXTRA.txt", "007\r\nA forum.");
    upgrade::RunAnnouncementCheck(uctx);
    upgrade::RunAnnouncementCheck(uctx);
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(settings.ReadSetting(kAnnouncementSetting), "007");
    server.Serve("/zentavo_EXTRA.txt", "008\r\nNew site.");
    upgrade::RunAnnouncementCheck(uctx);
    upgrade::RunAnnouncementCheck(uctx);
    EXPECT_EQ(Log(), "window Zentavo - T155 (announcement): New site.\n"
                     "window Zentavo - T155 (announcement): New site.\n");
    EXPECT_EQ(settings.ReadSetting(kAnnouncementSetting), "007");

    // Failures say nothing in these modes.
    std::remove(Path("run.log").c_str());
    uctx.base = HttpServer::RefusingBase();
    upgrade::RunSilentCheck(uctx);
    upgrade::RunAnnouncementCheck(uctx);
    EXPECT_EQ(Log(), "");
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(UpgradeTest, CheckWindowFindsTheVersionThenOpensTheDownloadPage)
{
    settings.WriteSetting("VER", "2.3");
    upgrade::UpdaterWindow window(uctx);
    window.show();
    auto* check = window.findChild<upgrade::IconButton*>("1002");
    auto* status = window.findChild<QPlainTextEdit*>("1007");
    QSignalSpy finished(&window, &upgrade::UpdaterWindow::checkFinished);
    const auto press = [&] {
        QTest::mouseClick(check, Qt::LeftButton);
        if (window.Fetching()) {
            EXPECT_FALSE(check->isEnabled());
            EXPECT_TRUE(finished.wait(10000));
        }
        EXPECT_TRUE(check->isEnabled());
    };

    server.Serve("/zentavo_ver.txt", "2.3\r\n");
    press();
    EXPECT_EQ(status->toPlainText(), "T157");

    server.Serve("/zentavo_ver.txt", "24.\r\n");
    press();
    EXPECT_EQ(messages.join('|'), "T52: T403");

    uctx.base = HttpServer::RefusingBase();
    press();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[1].startsWith("T52: ")) << messages[1].toStdString();
    EXPECT_TRUE(messages[1].contains("onnect")) << messages[1].toStdString();

    uctx.base = server.Base();
    server.Serve("/zentavo_ver.txt", "2.4\r\n<i>Faster</i>");
    press();
    EXPECT_EQ(status->toPlainText(), "Zentavo 2.4\n\n<i>Faster</i>");
    EXPECT_EQ(check->text(), QString::fromStdString(server.Base() + "download/"));
    const int requests = server.Requests();
    press();
    EXPECT_EQ(server.Requests(), requests);
    EXPECT_EQ(opened, QStringList{check->text()});
}

// Files with LF line ends lost their first character; bytes that drive a
// terminal went raw into the log. Both windows show the same clean text.
TEST_F(UpgradeTest, BothWindowsShowTheNumberAndPrintableTextOfAnyLineEnds)
{
    settings.WriteSetting("VER", "2.3");
    settings.WriteSetting(kAnnouncementSetting, "007");
    const std::string news = "New things\x1b[31m in red\x1b[0m\x1b]0;title\x07\x01\x7f\tthen\r\nmore\x1b(B\x1b\rlast\xc2\x9b"
                             "2J\xc2\x85!";
    const QString shown = "New things in red\tthen\nmore\nlast!";
    server.Serve("/zentavo_ver.txt", "2.5\n" + news);
    server.Serve("/zentavo_EXTRA.txt", "008\n" + news);
    upgrade::RunSilentCheck(uctx);
    upgrade::RunAnnouncementCheck(uctx);
    EXPECT_EQ(QString::fromStdString(Log()), "window Zentavo - T155 (version): Zentavo 2.5\n\n" + shown +
                                                 "\nwindow Zentavo - T155 (announcement): " + shown + "\n");

    upgrade::UpdaterWindow window(uctx);
    window.show();
    QSignalSpy finished(&window, &upgrade::UpdaterWindow::checkFinished);
    QTest::mouseClick(window.findChild<upgrade::IconButton*>("1002"), Qt::LeftButton);
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(window.findChild<QPlainTextEdit*>("1007")->toPlainText(), "Zentavo 2.5\n\n" + shown);
}

TEST_F(UpgradeTest, CancelStopsACheckThatGetsNoAnswer)
{
    uctx.timeout = 30s;
    server.SetSilent(true);
    upgrade::UpdaterWindow window(uctx);
    window.show();
    QSignalSpy finished(&window, &upgrade::UpdaterWindow::checkFinished);
    QTest::mouseClick(window.findChild<upgrade::IconButton*>("1002"), Qt::LeftButton);
    ASSERT_TRUE(window.Fetching());
    QTRY_COMPARE_WITH_TIMEOUT(server.Requests(), 1, 5000);
    const auto start = std::chrono::steady_clock::now();
    QTest::mouseClick(window.findChild<upgrade::IconButton*>("2"), Qt::LeftButton);
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.findChild<QPlainTextEdit*>("1007")->toPlainText(), "T404");
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(UpgradeTest, StartUpCheckBoxesFollowAndStoreTheSetting)
{
    const auto ticked = [&](const char* value) {
        settings.WriteSetting("_CNF_ASK_11", value);
        upgrade::UpdaterWindow window(uctx);
        return window.findChild<QCheckBox*>("1005")->isChecked();
    };
    EXPECT_TRUE(ticked(""));
    EXPECT_TRUE(ticked("0"));
    EXPECT_FALSE(ticked("1"));

    settings.WriteSetting("_CNF_ASK_11", "");
    upgrade::UpdaterWindow window(uctx);
    auto* box = window.findChild<QCheckBox*>("1005");
    box->click();
    EXPECT_EQ(settings.ReadSetting("_CNF_ASK_11"), "1");
    box->click();
    EXPECT_TRUE(settings.HasSetting("_CNF_ASK_11"));
    EXPECT_EQ(settings.ReadSetting("_CNF_ASK_11"), "");

    // The notice starts ticked whatever is stored; the download button leaves it open.
    settings.WriteSetting("_CNF_ASK_11", "1");
    upgrade::NewVersionNotice notice(uctx, "text", upgrade::NoticeMode::Announcement);
    notice.show();
    EXPECT_TRUE(notice.checkBoxTicked());
    notice.findChild<QCheckBox*>("1006")->click();
    EXPECT_EQ(settings.ReadSetting("_CNF_ASK_11"), "1");
    EXPECT_FALSE(notice.checkBoxTicked());
    notice.findChild<QCheckBox*>("1006")->click();
    EXPECT_EQ(settings.ReadSetting("_CNF_ASK_11"), "");
    QTest::mouseClick(notice.findChild<upgrade::IconButton*>("1008"), Qt::LeftButton);
    EXPECT_EQ(opened, QStringList{QString::fromStdString(server.Base() + "download/")});
    EXPECT_TRUE(notice.isVisible());
    QTest::mouseClick(notice.findChild<upgrade::IconButton*>("2"), Qt::LeftButton);
    EXPECT_FALSE(notice.isVisible());

    // With nothing to open the page with, the button says so instead of nothing happening.
    qt::SetShellHooks([](const QUrl&) { return false; }, {});
    upgrade::NewVersionNotice stranded(uctx, "text", upgrade::NoticeMode::Version);
    stranded.show();
    messages.clear();
    QTest::mouseClick(stranded.findChild<upgrade::IconButton*>("1008"), Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].endsWith(QString::fromStdString(server.Base() + "download/"))) << messages[0].toStdString();
}

TEST(IconButtonTest, GreyImageSkipsBlackAndTransparentPixels)
{
    QImage icon(5, 1, QImage::Format_ARGB32);
    icon.setPixel(0, 0, qRgba(255, 0, 0, 255));     // 76.245
    icon.setPixel(1, 0, qRgba(22, 22, 22, 255)); // a grey stays itself: 22, not 21.999...
    icon.setPixel(2, 0, qRgba(0, 0, 0, 255));
    icon.setPixel(3, 0, qRgba(0, 0, 200, 0));
    icon.setPixel(4, 0, qRgba(10, 200, 30, 128)); // 123.81
    const QImage grey = upgrade::GreyImage(icon);
    EXPECT_EQ(grey.pixel(0, 0), qRgba(76, 76, 76, 255));
    EXPECT_EQ(grey.pixel(1, 0), qRgba(22, 22, 22, 255));
    EXPECT_EQ(grey.pixel(2, 0), qRgba(0, 0, 0, 255));
    EXPECT_EQ(grey.pixel(3, 0), qRgba(0, 0, 200, 0));
    EXPECT_EQ(grey.pixel(4, 0), qRgba(123, 123, 123, 128));
}

TEST(IconButtonTest, ClicksOnlyWhenReleasedInsideAndFromTheKeyboard)
{
    QWidget parent;
    upgrade::IconButton button("Check", &parent);
    button.SetIcon(":/icons/check-update.svg", 20, 16);
    QPushButton other("other", &parent);
    other.move(0, 60);
    parent.show();
    QApplication::setActiveWindow(&parent);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    ASSERT_FALSE(button.colourImage().isNull());
    EXPECT_EQ(button.colourImage().size(), QSize(20, 16));
    QSignalSpy clicked(&button, &QPushButton::clicked);

    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_EQ(button.frameState(), upgrade::IconButton::Frame::Sunken);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_EQ(clicked.count(), 0);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    button.setFocus();
    QTest::keyClick(&button, Qt::Key_Space);
    EXPECT_EQ(clicked.count(), 2);

    // Hovered but not focused: colour picture, caption in the frame colour.
    other.setFocus();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    EXPECT_EQ(button.frameState(), upgrade::IconButton::Frame::Raised);
    EXPECT_EQ(button.CurrentImage(), button.colourImage());
    EXPECT_EQ(button.CaptionColour(), button.palette().color(QPalette::WindowText));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(button.CurrentImage(), button.greyImage());
    button.setFocus();
    EXPECT_EQ(button.CaptionColour(), QColor(0, 0, 160));
    EXPECT_EQ(button.CurrentImage(), button.colourImage());
}

// The program itself: a missing key is no fatal error of its own, and the
// modes run from the command line as the desktop program starts them.
TEST_F(UpgradeTest, TheProgramRunsEachModeFromItsParameter)
{
    const auto run = [&](const std::string& key, const QStringList& args, const QString& timeout = "30") {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZENTAVO_UPDATE_TIMEOUT", timeout);
        env.insert("ZENTAVO_REGISTRY", QString::fromStdString(key));
        env.insert("ZENTAVO_UPDATE_URL", QString::fromStdString(server.Base()));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(ZENTAVO_UPGRADE_PATH, args);
        EXPECT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 0);
        const std::string log = Log();
        std::remove(Path("run.log").c_str());
        return log;
    };
    EXPECT_EQ(run(Path("none.reg"), {"1"}), "message FATAL ERROR: Error accesing language file\n");
    EXPECT_FALSE(std::ifstream(Path("none.reg")));

    KeyFileSettings::CreateKey(Path("key.reg"),
                               {{"LANGUAGE", ZENTAVO_RESOURCE_DIR "/languages/english.lan"}, {"VER", "2.3"}});
    server.Serve("/zentavo_ver.txt", "2.4\r\nNew.");
    server.Serve("/zentavo_EXTRA.txt", "011\r\nNews.");
    EXPECT_EQ(run(Path("key.reg"), {"1"}), "window Zentavo - Update check (version): Zentavo 2.4\n\nNew.\n");
    EXPECT_EQ(run(Path("key.reg"), {"2"}), "");
    EXPECT_EQ(ParseKey(ReadFile(Path("key.reg")))[kAnnouncementSetting], "011");
    EXPECT_EQ(run(Path("key.reg"), {}), "window Update check\n");

    // A site that never answers holds the silent check only as long as it is told.
    server.SetSilent(true);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(run(Path("key.reg"), {"1"}, "1"), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 15s);
}

} // namespace
} // namespace zv::test

// Synchronize: the dialog's lists, panes and refusals, the drift finding, the
// command from the frame, and the movie preview through the real library.
#include "app/dialogs/synchronize_dialog.h"
#include "app/dialogs/time_entry_pane.h"
#include "engine/config/setting_names.h"
#include "qt/file_dialogs.h"
#include "frame_fixture.h"
#include "support/film_timings.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTabBar>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace zv::app::test {
using qt::FileDialogRequest;
using qt::SetFileDialogHook;

namespace {

// Nine SubRip subtitles, one every ten seconds from 0:00:10.
std::string NineSubRip()
{
    std::string text;
    for (int i = 1; i <= 9; ++i)
        text += std::to_string(i) + "\r\n00:00:" + std::to_string(i * 10) + ",000 --> 00:00:" +
                std::to_string(i * 10 + 2) + ",000\r\nline " + std::to_string(i) + "\r\n\r\n";
    return text;
}

QLineEdit* Field(QWidget* w, const char* id) { return w->findChild<QLineEdit*>(id); }
QTabBar* Tabs(TimeEntryPane* p) { return p->findChild<QTabBar*>("1111"); }
QPushButton* Button(QWidget* w, const char* id) { return w->findChild<QPushButton*>(id); }

// Types into a field as the user does: replaces what is there.
void Type(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

QStringList Items(QWidget* d, const char* id)
{
    QStringList items;
    auto* list = d->findChild<QListWidget*>(id);
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

class SynchronizeDialogTest : public DialogTest {
protected:
    std::unique_ptr<SynchronizeDialog> Make(zv::SubtitleFormat format, const std::string& contents)
    {
        handler = Load(format, contents);
        auto dialog = std::make_unique<SynchronizeDialog>(*qctx, *handler, nullptr);
        dialog->show();
        Flush();
        return dialog;
    }
    // Presses OK; true when the dialog closed.
    bool Ok(SynchronizeDialog* d)
    {
        Button(d, "1")->click();
        Flush();
        return !d->isVisible();
    }

    std::unique_ptr<zv::FormatHandler> handler;
};

TEST_F(SynchronizeDialogTest, ListsHalvesPanesInBothTabsAndTheResult)
{
    auto d = Make(zv::SubtitleFormat::SubRip, NineSubRip());
    EXPECT_EQ(Items(d.get(), "1127"), QStringList({"line 1", "line 2", "line 3", "line 4"}));
    EXPECT_EQ(Items(d.get(), "1128").size(), 5);
    // The first and the last subtitle are taken at once, and OK is on.
    TimeEntryPane* first = d->pane(1);
    TimeEntryPane* second = d->pane(2);
    EXPECT_EQ(Field(first, "99")->text(), "100");
    EXPECT_EQ(Field(second, "99")->text(), "900");
    EXPECT_EQ(Tabs(first)->count(), 2);
    EXPECT_TRUE(Button(d.get(), "1")->isEnabled());
    EXPECT_EQ(first->findChild<QLabel*>("90")->text(), "T233");
    // Each pane's movie button names its own subtitle.
    EXPECT_EQ(Button(first, "10")->accessibleName(), "T145");
    EXPECT_EQ(Button(second, "10")->accessibleName(), "T146");

    // The second pane in hours, minutes, seconds: a shown value keeps its
    // tenths while untouched, and the tab switch keeps what was typed.
    Tabs(second)->setCurrentIndex(1);
    second->ShowValue(36125);
    EXPECT_EQ(Field(second, "100")->text() + Field(second, "101")->text() + Field(second, "102")->text(), "1012");
    EXPECT_EQ(second->EnteredValue(), 36125);
    EXPECT_EQ(second->findChild<QLabel*>("90")->text(), "T237");
    Tabs(second)->setCurrentIndex(0);
    EXPECT_EQ(Field(second, "99")->text(), "36125");
    Type(Field(second, "99"), "1234");
    Tabs(second)->setCurrentIndex(1);
    EXPECT_EQ(second->EnteredValue(), 1234); // 0:02:03 still holds its 4 tenths
    Type(Field(second, "101"), "1");
    Type(Field(second, "102"), "30");
    Type(Field(second, "100"), "0");
    EXPECT_EQ(second->EnteredValue(), 900);
    Tabs(second)->setCurrentIndex(0);
    EXPECT_EQ(Field(second, "99")->text(), "900");
    // Only digits go in.
    QTest::keyClicks(Field(second, "99"), "-x5");
    EXPECT_EQ(Field(second, "99")->text(), "9005");

    // Another subtitle of the first half, and its new time typed in h:m:s.
    d->findChild<QListWidget*>("1127")->setCurrentRow(1);
    EXPECT_EQ(d->old1(), 200);
    Tabs(first)->setCurrentIndex(1);
    EXPECT_EQ(Field(first, "102")->text(), "20");
    Type(Field(first, "102"), "25");
    Type(Field(second, "99"), "1000");
    // (200 -> 250), (900 -> 1000): 100 maps to 142.9, every duration kept.
    ASSERT_TRUE(Ok(d.get()));
    ASSERT_TRUE(d->outcome());
    EXPECT_TRUE(d->outcome()->done);
    const std::string result = ReadFile(ws().WorkingCopy);
    EXPECT_NE(result.find("1\r\n00:00:14,200 --> 00:00:16,200\r\nline 1"), std::string::npos) << result;
    EXPECT_NE(result.find("00:01:40,000 --> 00:01:42,000\r\nline 9"), std::string::npos) << result;
}

TEST_F(SynchronizeDialogTest, MicroDvdTakesFramesInOneTab)
{
    auto d = Make(zv::SubtitleFormat::MicroDvd, "{100}{150}one\r\n{200}{250}two\r\n{1000}{1100}three\r\n");
    TimeEntryPane* first = d->pane(1);
    EXPECT_EQ(Tabs(first)->count(), 1);
    EXPECT_EQ(Tabs(first)->tabText(0), "T232");
    EXPECT_EQ(first->findChild<QLabel*>("90")->text(), "T238");
    EXPECT_EQ(Field(first, "103")->text(), "100");
    EXPECT_EQ(Field(first, "99"), nullptr);
    EXPECT_FALSE(Field(d.get(), "timedFileFrameRate")->isHidden()); // frames meet any timed file's times
    EXPECT_EQ(Items(d.get(), "1127"), QStringList({"one"}));
    Type(Field(first, "103"), "150");
    Type(Field(d->pane(2), "103"), "1950");
    ASSERT_TRUE(Ok(d.get()));
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{150}{200}one\r\n{350}{400}two\r\n{1950}{2050}three\r\n");
}

TEST_F(SynchronizeDialogTest, RefusalsKeepTheDialogOpen)
{
    // Both halves start with a subtitle at 0:00:05.
    auto d = Make(zv::SubtitleFormat::Mpl2, "[50][60]a\r\n[70][80]b\r\n[50][55]c\r\n[90][95]d\r\n");
    TimeEntryPane* first = d->pane(1);
    TimeEntryPane* second = d->pane(2);
    EXPECT_FALSE(Ok(d.get())); // nothing changed
    d->findChild<QListWidget*>("1128")->setCurrentRow(0);
    Type(Field(second, "99"), "300");
    EXPECT_FALSE(Ok(d.get())); // same start
    d->findChild<QListWidget*>("1128")->setCurrentRow(1);
    Type(Field(first, "99"), "300");
    Type(Field(second, "99"), "300");
    EXPECT_FALSE(Ok(d.get())); // the second not later than the first
    Type(Field(second, "99"), "12345678");
    EXPECT_FALSE(Ok(d.get())); // no time has eight digits
    EXPECT_EQ(d->focusWidget(), Field(second, "99"));
    EXPECT_EQ(Messages(), std::vector<std::string>({"T48: T47", "T48: T393", "T48: T394", "T44: T395"}));
    for (const Shown& s : shown)
        EXPECT_EQ(s.window, d.get());
    EXPECT_FALSE(zv::FileExists(ws().WorkingCopy));

    // Esc in a pane cancels the whole dialog.
    QTest::keyClick(Field(first, "99"), Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Rejected);
}

TEST_F(SynchronizeDialogTest, FewerThanTwoSubtitlesLeaveOkOff)
{
    auto d = Make(zv::SubtitleFormat::Mpl2, "[50][60]only\r\n");
    EXPECT_TRUE(Items(d.get(), "1127").isEmpty());
    EXPECT_EQ(Items(d.get(), "1128"), QStringList({"only"}));
    EXPECT_FALSE(Button(d.get(), "1")->isEnabled());
}

TEST_F(SynchronizeDialogTest, TheDriftFindingOffersTheExactRatio)
{
    auto d = Make(zv::SubtitleFormat::Mpl2, "[100][120]one\r\n[550][580]two\r\n[10000][10010]three\r\n");
    auto* finding = d->findChild<QLabel*>("finding");
    auto* exact = d->findChild<QCheckBox*>("exactRatio");
    EXPECT_TRUE(finding->isHidden());
    // Picked a little off 25 / 23.976 = 1.042708...: 9900 x 1.0428 = 10323.7.
    Type(Field(d->pane(1), "99"), "104");
    Type(Field(d->pane(2), "99"), "10428");
    EXPECT_FALSE(finding->isHidden());
    EXPECT_EQ(finding->text(), "T396");
    EXPECT_TRUE(exact->isChecked());
    // 100 -> 104, snapped: 10000 -> 104 + round(9900 x 1.042708) = 10427.
    ASSERT_TRUE(Ok(d.get()));
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "[104][124]one\r\n[573][603]two\r\n[10427][10437]three\r\n");

    auto again = Make(zv::SubtitleFormat::Mpl2, "[100][120]one\r\n[550][580]two\r\n[10000][10010]three\r\n");
    Type(Field(again->pane(1), "99"), "104");
    Type(Field(again->pane(2), "99"), "10428");
    again->findChild<QCheckBox*>("exactRatio")->setChecked(false);
    ASSERT_TRUE(Ok(again.get()));
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "[104][124]one\r\n[573][603]two\r\n[10428][10438]three\r\n");
    // A plain stretch is no frame-rate change.
    auto plain = Make(zv::SubtitleFormat::Mpl2, "[100][120]one\r\n[550][580]two\r\n[10000][10010]three\r\n");
    Type(Field(plain->pane(2), "99"), "10200");
    EXPECT_TRUE(plain->findChild<QLabel*>("finding")->isHidden());
}

TEST_F(SynchronizeDialogTest, AMissingPreviewLibraryIsToldWithWhyAndChangesNothing)
{
    auto d = Make(zv::SubtitleFormat::SubRip, NineSubRip());
    NamedPipe pipe(Path("pipe.so"));
    // The file tried and the loader's own reason; the program goes on, so the
    // title is no fatal one.
    const struct {
        std::string library;
        std::string reason;
    } cases[] = {
        {"/nonexistent/libzentavo-preview.so", "No such file"},
        {"libm.so.6", "PickMoviePosition"}, // there, without our function
        {pipe.path(), "T424"},              // a pipe is never opened
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.library);
        ASSERT_EQ(setenv("ZENTAVO_PREVIEW_LIBRARY", c.library.c_str(), 1), 0);
        shown.clear();
        Button(d->pane(1), "10")->click();
        Flush();
        EXPECT_EQ(Field(d->pane(1), "99")->text(), "100");
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_TRUE(Messages()[0].starts_with("T52: Can't load " + c.library + "\n\n")) << Messages()[0];
        EXPECT_NE(Messages()[0].find(c.reason), std::string::npos) << Messages()[0];
        EXPECT_EQ(shown[0].icon, zv::Icon::Stop);
    }
    unsetenv("ZENTAVO_PREVIEW_LIBRARY");
    EXPECT_TRUE(d->isVisible());
}

TEST_F(SynchronizeDialogTest, ListsShowTheTextsInTheFilesEncoding)
{
    handler = Load(zv::SubtitleFormat::SubRip, "1\r\n00:00:01,000 --> 00:00:02,000\r\nBy\xb3\x65\x9c?\r\n\r\n"
                                               "2\r\n00:00:03,000 --> 00:00:04,000\r\nNie.\r\n\r\n");
    SynchronizeDialog d(*qctx, *handler, nullptr, "Windows-1250");
    EXPECT_EQ(Items(&d, "1127"), QStringList({QString::fromUtf8("Byłeś?")}));
}

// A SubRip file timed for a 25 fps release and 8 s late; the timed file is a
// MicroDvd file of the same film at 23.976 fps, every fifth line missing.
TEST_F(SynchronizeDialogTest, TimesTakenFromATimedFileFillBothPanes)
{
    const double ratio = 25.0 / (24000.0 / 1001.0);
    const std::vector<zv::test::FilmLine> film = zv::test::FilmTimings(1, 200);
    std::string late;
    std::string timed;
    const auto clock = [](double seconds) {
        const long t = std::lround(seconds * 10);
        char text[32];
        std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld,%ld00", t / 36000, t / 600 % 60, t / 10 % 60, t % 10);
        return std::string(text);
    };
    for (std::size_t i = 0; i < film.size(); ++i) {
        late += std::to_string(i + 1) + "\r\n" + clock((film[i].start + 8) / ratio) + " --> " +
                clock((film[i].end + 8) / ratio) + "\r\nNie wiem.\r\n\r\n";
        if (i % 5 != 2)
            timed += "{" + std::to_string(std::lround(film[i].start * 23.976)) + "}{" +
                     std::to_string(std::lround(film[i].end * 23.976)) + "}Well, I never.\r\n";
    }
    const std::string timedFile = WriteFile("timed.sub", timed);
    std::string asked;
    SetFileDialogHook([&](const FileDialogRequest&) -> std::optional<QString> {
        return QString::fromStdString(asked);
    });
    auto d = Make(zv::SubtitleFormat::SubRip, late);
    auto* taken = d->findChild<QLabel*>("timesTaken");
    // A SubRip file needs no frame rate until its timed file counts frames.
    auto* rate = Field(d.get(), "timedFileFrameRate");
    EXPECT_TRUE(rate->isHidden());
    asked = timedFile;
    Button(d.get(), "takeTimesFromFile")->click();
    Flush();
    EXPECT_FALSE(rate->isHidden());
    EXPECT_EQ(taken->text(), "T144");
    EXPECT_EQ(*d->pane(1)->EnteredValue(), d->old1());
    Type(rate, "23,976");
    Button(d.get(), "takeTimesFromFile")->click();
    Flush();
    SetFileDialogHook({});
    EXPECT_TRUE(shown.empty()) << Messages().front();
    EXPECT_FALSE(taken->isHidden());
    EXPECT_EQ(taken->text(), "T407");
    EXPECT_EQ(d->findChild<QLabel*>("finding")->text(), "T396");
    // Two subtitles far apart, each showing the time it really has.
    auto* firstList = d->findChild<QListWidget*>("1127");
    auto* secondList = d->findChild<QListWidget*>("1128");
    EXPECT_LT(firstList->currentRow(), 5);
    EXPECT_GT(secondList->currentRow(), secondList->count() - 5);
    const long rows[2] = {firstList->currentRow(), 100 + secondList->currentRow()};
    for (QListWidget* list : {firstList, secondList})
        EXPECT_TRUE(list->viewport()->rect().intersects(list->visualItemRect(list->currentItem())));
    for (int i = 0; i < 2; ++i)
        EXPECT_NEAR(static_cast<double>(*d->pane(i + 1)->EnteredValue()), film[rows[i]].start * 10, 1.0);
    EXPECT_EQ(d->old1(), std::lround((film[rows[0]].start + 8) / ratio * 10));

    // Still the user's to change; OK stretches every time by the exact ratio.
    ASSERT_TRUE(Ok(d.get()));
    const std::string result = "\r\n\r\n" + ReadFile(ws().WorkingCopy);
    for (std::size_t i : {0, 57, 199}) {
        const std::size_t at = result.find("\r\n\r\n" + std::to_string(i + 1) + "\r\n");
        ASSERT_NE(at, std::string::npos) << i;
        const std::string time = result.substr(result.find("\r\n", at + 4) + 2, 12);
        const double seconds = std::stoi(time.substr(0, 2)) * 3600 + std::stoi(time.substr(3, 2)) * 60 +
                               std::stoi(time.substr(6, 2)) + std::stoi(time.substr(9, 3)) / 1000.0;
        EXPECT_NEAR(seconds, film[i].start, 0.15) << i << ": " << time;
    }

    // A timed file of another film changes nothing and says why.
    auto again = Make(zv::SubtitleFormat::SubRip, late);
    std::string other;
    for (const auto& l : zv::test::FilmTimings(2, 200))
        other += "[" + std::to_string(std::lround(l.start * 10)) + "][" + std::to_string(std::lround(l.end * 10)) +
                 "]x\r\n";
    EXPECT_FALSE(again->TakeTimesFrom(WriteFile("other.txt", other)));
    EXPECT_EQ(Messages(), std::vector<std::string>({"T48: T406\nT421"}));
    EXPECT_TRUE(again->findChild<QLabel*>("timesTaken")->isHidden());
    EXPECT_EQ(*again->pane(1)->EnteredValue(), again->old1());
}

// --- the times from the film's own sound ------------------------------------

// A SubRip file of the film's lines, each at its time plus shift(i) seconds.
template <class Shift>
std::string SubRipOf(const std::vector<zv::test::FilmLine>& film, Shift shift)
{
    const auto clock = [](double seconds) {
        const long t = std::lround(seconds * 10);
        char text[32];
        std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld,%ld00", t / 36000, t / 600 % 60, t / 10 % 60, t % 10);
        return std::string(text);
    };
    std::string text;
    for (std::size_t i = 0; i < film.size(); ++i)
        text += std::to_string(i + 1) + "\r\n" + clock(film[i].start + shift(i)) + " --> " +
                clock(film[i].end + shift(i)) + "\r\nline\r\n\r\n";
    return text;
}

// The film's speech where its lines are spoken, each shifted by shift(i).
template <class Shift>
zv::media::SpeechReading SoundOf(const std::vector<zv::test::FilmLine>& film, Shift shift)
{
    zv::media::SpeechReading reading;
    reading.signal.values.assign(static_cast<std::size_t>((film.back().end + 60) * 100), 0.0f);
    for (std::size_t i = 0; i < film.size(); ++i)
        for (long k = std::lround((film[i].start + shift(i)) * 100); k < std::lround((film[i].end + shift(i)) * 100); ++k)
            reading.signal.values[static_cast<std::size_t>(k)] = 1.0f;
    reading.track = 1;
    reading.duration = reading.decoded = reading.signal.Duration();
    return reading;
}

// The start of subtitle number (from 1) in a SubRip result, in seconds.
double SubRipStart(const std::string& result, std::size_t number)
{
    const std::string all = "\r\n\r\n" + result;
    const std::size_t at = all.find("\r\n\r\n" + std::to_string(number) + "\r\n");
    if (at == std::string::npos)
        return -1;
    const std::string time = all.substr(all.find("\r\n", at + 4) + 2, 12);
    return std::stoi(time.substr(0, 2)) * 3600 + std::stoi(time.substr(3, 2)) * 60 + std::stoi(time.substr(6, 2)) +
           std::stoi(time.substr(9, 3)) / 1000.0;
}

TEST_F(SynchronizeDialogTest, TheMoviesSoundWithACutIsListedAndOkMovesEachPart)
{
    // The film put a 12 s break in before line 101 that the subtitles lack.
    const std::vector<zv::test::FilmLine> film = zv::test::FilmTimings(3, 200);
    const auto inFilm = [](std::size_t i) { return i < 100 ? 2.0 : 14.0; };
    const zv::media::SpeechReading sound = SoundOf(film, inFilm);
    const std::string subtitles = SubRipOf(film, [](std::size_t) { return 0.0; });
    QString offered;
    SetFileDialogHook([&](const FileDialogRequest& r) -> std::optional<QString> {
        offered = r.folder;
        return QString::fromStdString(dir + "/film.mkv");
    });
    for (const bool editAfter : {false, true}) {
        settings.WriteSetting(zv::key::LastVideo, dir + "/last.mkv");
        auto d = Make(zv::SubtitleFormat::SubRip, subtitles);
        std::string read;
        d->SetSpeechReader([&](const std::string& path, const zv::media::SpeechOptions& options) {
            read = path;
            options.progress(50);
            return sound;
        });
        Button(d.get(), "1190")->click();
        Flush();
        EXPECT_TRUE(shown.empty()) << Messages().front();
        EXPECT_EQ(offered.toStdString(), dir + "/last.mkv");
        EXPECT_EQ(read, dir + "/film.mkv");
        EXPECT_EQ(settings.ReadSetting(zv::key::LastVideo), dir + "/film.mkv");
        ASSERT_TRUE(d->movieMap());
        ASSERT_EQ(d->movieMap()->stretches.size(), 2u);
        EXPECT_EQ(d->movieMap()->stretches[1].firstIndex, 100);
        EXPECT_EQ(d->findChild<QListWidget*>("1192")->count(), 1);
        EXPECT_TRUE(d->findChild<QLabel*>("1191")->isVisible());
        EXPECT_EQ(d->findChild<QLabel*>("timesTaken")->text(), "T451");
        // The subtitles as OK would move them, shown over the film.
        QString checkedMovie;
        std::vector<CheckedSubtitle> checked;
        d->SetMovieChecker([&](const QString& movie, const std::vector<CheckedSubtitle>& moved) {
            checkedMovie = movie;
            checked = moved;
        });
        ASSERT_TRUE(Button(d.get(), "1193")->isVisible());
        Button(d.get(), "1193")->click();
        EXPECT_EQ(checkedMovie.toStdString(), dir + "/film.mkv");
        ASSERT_EQ(checked.size(), film.size());
        for (std::size_t i : {0, 99, 100, 199}) {
            EXPECT_NEAR(static_cast<double>(checked[i].startMs) / 1000.0, film[i].start + inFilm(i), 0.15) << i;
            EXPECT_NEAR(static_cast<double>(checked[i].endMs - checked[i].startMs) / 1000.0, film[i].end - film[i].start, 0.15) << i;
            EXPECT_EQ(checked[i].text, "line");
        }
        if (editAfter) {
            // A time typed by hand goes back to the two points.
            Type(Field(d->pane(1), "99"), "5");
            EXPECT_FALSE(d->movieMap());
            EXPECT_TRUE(d->findChild<QListWidget*>("1192")->isHidden());
            EXPECT_TRUE(Button(d.get(), "1193")->isHidden());
            EXPECT_TRUE(d->MovedForCheck().empty());
            continue;
        }
        ASSERT_TRUE(Ok(d.get()));
        const std::string result = ReadFile(ws().WorkingCopy);
        for (std::size_t i : {0, 99, 100, 199})
            EXPECT_NEAR(SubRipStart(result, i + 1), film[i].start + inFilm(i), 0.15) << i;
    }
    SetFileDialogHook({});
}

TEST_F(SynchronizeDialogTest, CancelOrAnUnreadableFilmLeavesTheDialogAsItWas)
{
    const std::string subtitles = SubRipOf(zv::test::FilmTimings(4, 120), [](std::size_t) { return 0.0; });
    // A WAV file of two silent seconds: sound, but nobody speaks.
    std::string wav = "RIFF" + std::string(4, '\0') + "WAVEfmt " + std::string("\x10\0\0\0\x01\0\x01\0", 8) +
                      std::string("\x80\x3e\0\0\0\x7d\0\0\x02\0\x10\0", 12) + "data" +
                      std::string("\0\xfa\0\0", 4) + std::string(64000, '\0');
    wav[4] = static_cast<char>((wav.size() - 8) & 0xff);
    wav[5] = static_cast<char>((wav.size() - 8) >> 8 & 0xff);
    const struct {
        std::string file; // empty: the reader waits for Cancel
        std::string message;
    } cases[] = {
        {"", ""},
        {WriteFile("notes.mkv", "not a film at all\r\n"),
         "T44: T" + std::to_string(zv::media::MediaStatusTextNumber(zv::media::MediaStatus::NotMedia))},
        {WriteFile("empty.mkv", ""),
         "T44: T" + std::to_string(zv::media::MediaStatusTextNumber(zv::media::MediaStatus::Empty))},
        {WriteFile("quiet.wav", wav), "T48: T406"},
    };
    for (const auto& c : cases) {
        shown.clear();
        auto d = Make(zv::SubtitleFormat::SubRip, subtitles);
        const long before[2] = {*d->pane(1)->EnteredValue(), *d->pane(2)->EnteredValue()};
        QTimer cancel;
        if (c.file.empty()) {
            d->SetSpeechReader([](const std::string&, const zv::media::SpeechOptions& options) {
                while (!options.cancel->load())
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                zv::media::SpeechReading reading;
                reading.status = zv::media::MediaStatus::Cancelled;
                return reading;
            });
            // The user presses Cancel in the progress window.
            QObject::connect(&cancel, &QTimer::timeout, [&] {
                if (auto* p = d->findChild<QProgressDialog*>("movieSoundProgress"); p && p->isVisible())
                    if (auto* button = p->findChild<QPushButton*>())
                        button->click();
            });
            cancel.start(1);
        }
        EXPECT_FALSE(d->TakeTimesFromMovie(c.file.empty() ? dir + "/film.mkv" : c.file)) << c.file;
        if (c.message.empty())
            EXPECT_TRUE(shown.empty()) << c.file << ": " << Messages().front();
        else
            EXPECT_TRUE(Messages().size() == 1 && Messages()[0].starts_with(c.message))
                << c.file << ": " << (shown.empty() ? std::string() : Messages().front());
        EXPECT_EQ(*d->pane(1)->EnteredValue(), before[0]);
        EXPECT_EQ(*d->pane(2)->EnteredValue(), before[1]);
        EXPECT_FALSE(d->movieMap());
        EXPECT_TRUE(d->findChild<QLabel*>("timesTaken")->isHidden());
        EXPECT_FALSE(settings.ReadSetting(zv::key::LastVideo).ends_with("film.mkv"));
    }
}

// --- from the frame, and with the real movie preview ------------------------

using SynchronizeCommandTest = FrameTest;

TEST_F(SynchronizeCommandTest, SynchronizeFromTheFrameShowsTheResult)
{
    OpenFile(WriteFile("film.srt", NineSubRip()));
    // Cancel leaves no result.
    RunModal(cmd::Synchronize, [](QDialog* dialog) { Button(dialog, "2")->click(); });
    EXPECT_EQ(doc(DocumentKind::Destination), nullptr);

    RunModal(cmd::Synchronize, [&](QDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "114");
        EXPECT_EQ(dialog->windowTitle(), "T36");
        auto* d = static_cast<SynchronizeDialog*>(dialog);
        Type(Field(d->pane(1), "99"), "150");
        Type(Field(d->pane(2), "99"), "1750");
        Button(dialog, "1")->click();
    });
    // (100 -> 150), (900 -> 1750): every start doubled less 50.
    EXPECT_TRUE(Lines(doc(DocumentKind::Destination)).contains("00:00:15,000 --> 00:00:17,000"));
    EXPECT_EQ(State(), "Destination Source: save saveas");
}

// Waits for cond, processing events, for at most ms milliseconds.
bool WaitFor(const std::function<bool()>& cond, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!cond() && timer.elapsed() < ms)
        QTest::qWait(20);
    return cond();
}

QDialog* PreviewWindow()
{
    auto windows = TopLevels<QDialog>(QStringLiteral("PreviewWindow"));
    return windows.empty() ? nullptr : windows.front();
}

TEST_F(SynchronizeDialogTest, PickedInTheMovieThroughTheRealLibrary)
{
    const QString gst = QStandardPaths::findExecutable(QStringLiteral("gst-launch-1.0"));
    ASSERT_FALSE(gst.isEmpty()) << "gst-launch-1.0 (gstreamer1.0-tools) is needed to make the test video";
    // Four seconds at 30 frames a second, so a frame number is not tenths times 2.5.
    const QString video = QString::fromStdString(Path("test.avi"));
    const int made = QProcess::execute(
        gst, {QStringLiteral("-q"), QStringLiteral("videotestsrc"), QStringLiteral("num-buffers=120"),
              QStringLiteral("!"), QStringLiteral("video/x-raw,width=160,height=120,framerate=30/1"),
              QStringLiteral("!"), QStringLiteral("jpegenc"), QStringLiteral("!"), QStringLiteral("avimux"),
              QStringLiteral("!"), QStringLiteral("filesink"), QStringLiteral("location=") + video});
    ASSERT_EQ(made, 0);
    ASSERT_EQ(setenv("ZENTAVO_PREVIEW_LIBRARY", ZENTAVO_PREVIEW_PATH, 1), 0);

    // A window the test could not drive must not hold the test forever.
    QTimer guard;
    guard.setInterval(60000);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QDialog* w = PreviewWindow())
            w->reject();
    });
    guard.start();

    auto d = Make(zv::SubtitleFormat::SubRip, NineSubRip());
    bool picked = false;
    QTimer::singleShot(0, [&] {
        QDialog* w = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (w = PreviewWindow()) != nullptr; }, 5000));
        // The window speaks the program's language.
        EXPECT_EQ(w->windowTitle(), "T213");
        EXPECT_EQ(Button(w, "useThisMoment")->text(), "T225");
        auto* path = w->findChild<QLineEdit*>("videoPath");
        path->setText(video);
        QTest::keyClick(path, Qt::Key_Return);
        auto* slider = w->findChild<QSlider*>("position");
        auto* where = w->findChild<QLabel*>("positionText");
        const bool loaded = WaitFor([&] { return slider->maximum() > 3000; }, 15000);
        if (!loaded) {
            w->reject();
            FAIL() << "the video did not load: " << w->findChild<QLabel*>("status")->text().toStdString();
        }
        // The frame rate is the video's own, known before a moment may be used.
        EXPECT_TRUE(WaitFor([&] { return Button(w, "useThisMoment")->isEnabled(); }, 5000));
        EXPECT_TRUE(WaitFor([&] { return where->text().contains(QLatin1String("(30 T224)")); }, 5000))
            << where->text().toStdString();

        // Playing moves the position, where this machine can play at all.
        Button(w, "playPause")->click();
        if (WaitFor([&] { return slider->value() > 0; }, 3000))
            std::puts("[   NOTE   ] played the test video");
        else
            std::puts("[   NOTE   ] this machine cannot play video: skipped only the playing step");
        Button(w, "playPause")->click(); // pause
        WaitFor([] { return false; }, 100);
        slider->setValue(0);

        // 2 s + 0.3 s, two frames on at 30 fps, one back: frame 70 starts at 2334 ms.
        for (const char* step : {"next1s", "next1s", "nextTenth", "nextTenth", "nextTenth", "nextFrame",
                                 "nextFrame", "backFrame", "back1s", "next1s"})
            Button(w, step)->click();
        EXPECT_EQ(slider->value(), 2334);
        EXPECT_TRUE(where->text().startsWith(QLatin1String("0:00:02.3   T223 70"))) << where->text().toStdString();
        picked = true;
        Button(w, "useThisMoment")->click();
    });
    Button(d->pane(1), "10")->click();
    Flush();
    EXPECT_TRUE(picked);
    EXPECT_EQ(Field(d->pane(1), "99")->text(), "23");
    EXPECT_EQ(d->pane(1)->EnteredValue(), 23);

    // A MicroDvd file takes the frame; the window comes back at the same video and place.
    auto micro = Make(zv::SubtitleFormat::MicroDvd, "{100}{150}one\r\n{200}{250}two\r\n");
    QTimer::singleShot(0, [&] {
        QDialog* w = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (w = PreviewWindow()) != nullptr; }, 5000));
        EXPECT_EQ(w->findChild<QLineEdit*>("videoPath")->text(), video);
        auto* slider = w->findChild<QSlider*>("position");
        EXPECT_TRUE(WaitFor([&] { return slider->value() == 2334; }, 15000)) << slider->value();
        EXPECT_TRUE(WaitFor([&] { return Button(w, "useThisMoment")->isEnabled(); }, 5000));
        Button(w, "useThisMoment")->click();
    });
    Button(micro->pane(2), "10")->click();
    Flush();
    EXPECT_EQ(Field(micro->pane(2), "103")->text(), "70");

    // Checking moved subtitles: each shows over the picture in its own time,
    // and the window only closes.
    bool checked = false;
    QTimer::singleShot(0, [&] {
        QDialog* w = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (w = PreviewWindow()) != nullptr; }, 5000));
        EXPECT_EQ(w->windowTitle(), "T449");
        EXPECT_EQ(w->findChild<QLabel*>("hint")->text(), "T450");
        EXPECT_TRUE(Button(w, "useThisMoment")->isHidden());
        EXPECT_EQ(Button(w, "cancel")->text(), "T364");
        auto* slider = w->findChild<QSlider*>("position");
        auto* view = w->findChild<QWidget*>("video");
        EXPECT_TRUE(WaitFor([&] { return slider->maximum() > 3000; }, 15000));
        EXPECT_EQ(view->accessibleDescription(), "first\nline");
        for (const auto& [ms, text] : std::vector<std::pair<int, QString>>{
                 {1500, "first\nline"}, {2200, ""}, {2500, "second"}, {3999, "second"}, {100, ""}}) {
            slider->setValue(ms);
            EXPECT_EQ(view->accessibleDescription(), text) << ms;
        }
        checked = true;
        Button(w, "cancel")->click();
    });
    ShowMovieWithSubtitles(*ctx, video, {{1000, 2000, "first|line"}, {2500, 2500, "second"}, {3000, 4000, "second"}},
                           d.get());
    EXPECT_TRUE(checked);
    unsetenv("ZENTAVO_PREVIEW_LIBRARY");
}

} // namespace
} // namespace zv::app::test

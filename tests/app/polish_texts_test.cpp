// With the Polish language file and Qt's Polish translations every window of
// the program speaks Polish: no English text is left in a title, label,
// button, group, tab, list, menu, tool tip or accessible name.
#include "app/dialogs/help_viewer.h"
#include "frame_fixture.h"
#include "qt/qt_translations.h"
#include "qt/texts.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocumentFragment>

namespace zv::app::test {
namespace {

const QString kResources = QStringLiteral(ZENTAVO_RESOURCE_DIR);

// Names that read the same in every language: the program, the processor
// load, the SSA style's field and font, and the hh:mm:ss notation SubViewer 2
// is known by, which the format list shows as the format's name.
const QStringList kProperNouns = {QStringLiteral("zentavo"), QStringLiteral("cpu"),   QStringLiteral("playresy"),
                                  QStringLiteral("times"),   QStringLiteral("new"),   QStringLiteral("roman"),
                                  QStringLiteral("hh")};

// Words no Polish text contains, beyond those the English file teaches.
const QStringList kCommonEnglish = {
    QStringLiteral("the"),    QStringLiteral("and"),   QStringLiteral("of"),     QStringLiteral("is"),
    QStringLiteral("was"),    QStringLiteral("file"),  QStringLiteral("files"),  QStringLiteral("help"),
    QStringLiteral("cannot"), QStringLiteral("found"), QStringLiteral("this"),   QStringLiteral("version"),
    QStringLiteral("line"),   QStringLiteral("test"),  QStringLiteral("cancel"), QStringLiteral("yes"),
    QStringLiteral("save"),   QStringLiteral("open"),  QStringLiteral("close"),  QStringLiteral("error"),
    QStringLiteral("with"),   QStringLiteral("for"),   QStringLiteral("from"),   QStringLiteral("counting")};

QStringList WordsOf(const QString& text)
{
    static const QRegularExpression notLetters(QStringLiteral("[^\\p{L}]+"));
    QStringList words;
    for (const QString& w : text.toLower().split(notLetters, Qt::SkipEmptyParts))
        if (w.size() > 1)
            words << w;
    return words;
}

QString Decoded(const zv::LanguageTexts& texts, int n)
{
    return qt::PlainText(qt::DecodeText(texts.LookupText(n)).replace(QStringLiteral("\\n"), QStringLiteral(" ")));
}

// Tells English from Polish: the words of the English file the Polish file
// never uses, the common English words, and every whole English text that
// the Polish file translates differently.
class EnglishDetector {
public:
    EnglishDetector(const zv::LanguageTexts& english, const zv::LanguageTexts& polish)
    {
        QSet<QString> polishWords;
        for (int n = 1; n <= polish.LineCount(); ++n)
            for (const QString& w : WordsOf(Decoded(polish, n)))
                polishWords.insert(w);
        for (int n = 1; n <= english.LineCount(); ++n) {
            const QString text = Decoded(english, n);
            if (text != Decoded(polish, n) && !WordsOf(text).isEmpty())
                texts_.insert(text.trimmed());
            for (const QString& w : WordsOf(text))
                words_.insert(w);
        }
        for (const QString& w : kCommonEnglish)
            words_.insert(w);
        for (const QString& w : polishWords)
            words_.remove(w);
        for (const QString& w : kProperNouns)
            words_.remove(w);
    }

    // The English words of the text, or "" when it is Polish (or neutral).
    QString English(const QString& shown) const
    {
        const QString text = qt::PlainText(shown).trimmed();
        if (texts_.contains(text))
            return text;
        QStringList found;
        for (const QString& w : WordsOf(text))
            if (words_.contains(w))
                found << w;
        return found.join(QLatin1Char(' '));
    }

private:
    QSet<QString> words_;
    QSet<QString> texts_;
};

// Every text a user can read in the window and its visible children.
QStringList ShownTexts(QWidget* top)
{
    QStringList shown{top->windowTitle()};
    const auto add = [&shown](const QString& text) {
        if (!text.trimmed().isEmpty())
            shown << text;
    };
    const auto addMenu = [&add](const QList<QAction*>& actions, const auto& self) -> void {
        for (QAction* a : actions) {
            add(a->text());
            add(a->toolTip() == qt::PlainText(a->text()) ? QString() : a->toolTip());
            if (a->menu())
                self(a->menu()->actions(), self);
        }
    };
    QList<QWidget*> widgets = top->findChildren<QWidget*>();
    widgets.prepend(top);
    for (QWidget* w : widgets) {
        if (w != top && !w->isVisibleTo(top))
            continue;
        add(w->toolTip());
        add(w->accessibleName());
        if (auto* label = qobject_cast<QLabel*>(w))
            add(Qt::mightBeRichText(label->text()) ? QTextDocumentFragment::fromHtml(label->text()).toPlainText()
                                                   : label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            add(button->text());
        if (auto* group = qobject_cast<QGroupBox*>(w))
            add(group->title());
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            add(edit->placeholderText());
        if (auto* tabs = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                add(tabs->tabText(i)), add(tabs->tabToolTip(i));
        if (auto* list = qobject_cast<QListWidget*>(w))
            for (int i = 0; i < list->count(); ++i)
                add(list->item(i)->text());
        if (auto* combo = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i)
                add(combo->itemText(i));
        if (auto* bar = qobject_cast<QMenuBar*>(w))
            addMenu(bar->actions(), addMenu);
    }
    return shown;
}

class PolishTextsTest : public FrameTest {
protected:
    PolishTextsTest()
    {
        EXPECT_TRUE(englishTexts.LoadOnce((kResources + QStringLiteral("/languages/english.lan")).toStdString()));
        EXPECT_TRUE(polish.LoadOnce((kResources + QStringLiteral("/languages/polish.lan")).toStdString()));
        detector = std::make_unique<EnglishDetector>(englishTexts, polish);
        qtPolish = qt::InstallQtTranslations(polish);
        frame.reset();
        qhost.SetTexts(&polish);
        frame = std::make_unique<Frame>(qhost, settings, polish, FrameOptions{Path("install"), "Zentavo", dir});
        frame->resize(1000, 700);
        frame->show();
        Flush();
    }
    ~PolishTextsTest() override
    {
        frame.reset();
        qhost.SetTexts(&texts);
    }

    // Looks at every text of the window, each tab page shown in turn.
    void Check(const QString& where, QWidget* window)
    {
        QStringList read = ShownTexts(window);
        for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                read << ShownTexts(tabs->widget(i));
            }
        }
        ++checkedWindows;
        for (const QString& text : read) {
            const QString english = detector->English(text);
            if (!english.isEmpty())
                found << QStringLiteral("%1: \"%2\" (%3)").arg(where, text.simplified(), english);
        }
    }

    // Runs the command and looks at the modal window it shows, after `prepare`
    // has brought out the parts shown on demand.
    void CheckModal(const QString& where, int command, const std::function<void(QDialog*)>& prepare = {})
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen = true;
            if (prepare)
                prepare(dialog);
            Check(where, dialog);
            dialog->reject();
        });
        frame->Dispatch(command);
        Flush();
        EXPECT_TRUE(seen) << where.toStdString();
    }

    zv::LanguageTexts englishTexts;
    zv::LanguageTexts polish;
    std::unique_ptr<EnglishDetector> detector;
    std::unique_ptr<QTranslator> qtPolish;
    QStringList found;
    int checkedWindows = 0;
};

TEST_F(PolishTextsTest, NoWindowOfTheProgramShowsEnglish)
{
    ASSERT_NE(qtPolish, nullptr) << "Qt's Polish translations are not installed";
    // The detector itself: English is told, Polish, names and numbers pass.
    EXPECT_FALSE(detector->English(QStringLiteral("Move time")).isEmpty());
    EXPECT_FALSE(detector->English(QStringLiteral("The help file cannot be found:")).isEmpty());
    EXPECT_EQ(detector->English(Decoded(polish, 19)), "");
    EXPECT_EQ(detector->English(QStringLiteral("MicroDVD 23.976 film.sub")), "");

    const std::string sub = WriteFile("film.sub", "{10}{20}Witaj\r\n{30}{40}Do widzenia\r\n{50}{60}Koniec\r\n");
    OpenFile(sub);
    frame->SetCurrentLine(1);
    Check(QStringLiteral("frame"), frame.get());

    const std::pair<const char*, int> commands[] = {
        {"move time", cmd::MoveTime},
        {"convert", cmd::Convert},
        {"synchronize", cmd::Synchronize},
        {"repair", cmd::Repair},
        {"split", cmd::Split},
        {"stamp-line", cmd::StampLine},
        {"configuration", cmd::Configuration},
        {"subtitle information", cmd::SubtitleInformation},
        {"AVI information", cmd::AviInformation},
        {"about", cmd::About},
        {"credits", cmd::Credits},
        {"tip of the day", cmd::TipOfTheDay},
        {"donate", cmd::Donate},
    };
    for (const auto& [where, command] : commands)
        CheckModal(QString::fromLatin1(where), command);
    CheckModal(QStringLiteral("convert to SSA"), cmd::Convert, [](QDialog* d) { ClickChild(d, "1016"); });

    RunWithFile(cmd::Unite, WriteFile("druga.sub", "{10}{20}Dalej\r\n"));
    CheckModal(QStringLiteral("unite"), cmd::Unite);
    Check(QStringLiteral("frame with two sources"), frame.get());

    ShowSplit("{10}{20}Witaj\r\n", "{10}{20}Koniec\r\n");
    Check(QStringLiteral("frame with two results"), frame.get());
    CheckModal(QStringLiteral("two-file save"), cmd::SaveAs);

    {
        auto progress = qhost.StartProgressWindow();
        Flush();
        for (auto* window : TopLevels<QWidget>(QStringLiteral("ProgressWindow")))
            Check(QStringLiteral("progress window"), window);
        progress->End();
    }

    settings.WriteSetting("HELP_FILE_PATH", (kResources + QStringLiteral("/help/zentavo.html")).toStdString());
    frame->Dispatch(cmd::HelpContents);
    Flush();
    const auto viewers = TopLevels<QTextBrowser>(QStringLiteral("HelpViewer"));
    ASSERT_EQ(viewers.size(), 1u);
    EXPECT_TRUE(viewers.front()->source().path().endsWith(QStringLiteral("zentavo.pl.html")));
    Check(QStringLiteral("help viewer"), viewers.front());
    viewers.front()->close();

    EXPECT_GE(checkedWindows, 20);
    EXPECT_EQ(found.join(QLatin1Char('\n')).toStdString(), "");
}

} // namespace
} // namespace zv::app::test

// The Qt host: message boxes and their owners, the text decoding, the editor.
#include "qt/qt_host.h"
#include "qt/text_codec.h"
#include "dialog_fixture.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QTimer>

#include <sys/stat.h>

namespace zv::app::test {
using qt::DecodeText;
using qt::DialogOwnerScope;
using qt::SetInstallerLanguage;

namespace {

class QtHostTest : public DialogTest {
protected:
    // Shows a real message box and lets `inspect` look at it and answer.
    zv::Answer ShowReal(zv::Buttons buttons, zv::Icon icon, zv::Owner owner,
                        const std::function<void(QMessageBox*)>& inspect)
    {
        qhost.SetMessageHook({});
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            inspect(box);
        });
        return qhost.Message("Za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87 <b>", "caption", buttons, icon, owner);
    }
};

TEST_F(QtHostTest, MessageBoxesShowTheIconsAndButtonsAskedForAndReturnTheAnswer)
{
    using B = QMessageBox;
    // Asked for, shown, clicked (NoButton: Escape), answered.
    const std::tuple<zv::Buttons, zv::Icon, B::StandardButtons, B::Icon, B::StandardButton, zv::Answer> cases[] = {
        {zv::Buttons::Ok, zv::Icon::Stop, B::Ok, B::Critical, B::Ok, zv::Answer::Ok},
        {zv::Buttons::OkCancel, zv::Icon::Exclamation, B::Ok | B::Cancel, B::Warning, B::Cancel, zv::Answer::Cancel},
        {zv::Buttons::YesNo, zv::Icon::Question, B::Yes | B::No, B::Question, B::Yes, zv::Answer::Yes},
        {zv::Buttons::YesNo, zv::Icon::Exclamation, B::Yes | B::No, B::Warning, B::NoButton, zv::Answer::No},
        {zv::Buttons::RetryCancel, zv::Icon::Stop, B::Retry | B::Cancel, B::Critical, B::Retry, zv::Answer::Retry},
        {zv::Buttons::RetryCancel, zv::Icon::Stop, B::Retry | B::Cancel, B::Critical, B::NoButton, zv::Answer::Cancel},
        {zv::Buttons::Ok, zv::Icon::Information, B::Ok, B::Information, B::NoButton, zv::Answer::Ok},
    };
    for (const auto& [buttons, icon, shownButtons, shownIcon, click, answer] : cases) {
        SCOPED_TRACE(shownButtons.toInt());
        EXPECT_EQ(ShowReal(buttons, icon, zv::Owner::None, [&](QMessageBox* box) {
                      EXPECT_EQ(box->standardButtons(), shownButtons);
                      EXPECT_EQ(box->icon(), shownIcon);
                      EXPECT_EQ(box->windowTitle(), "caption");
                      // Bytes from the engine are decoded, and never read as markup.
                      EXPECT_EQ(box->text(), QString::fromUtf8("Zażółć <b>"));
                      EXPECT_EQ(box->textFormat(), Qt::PlainText);
                      if (click == B::NoButton)
                          QTest::keyClick(box, Qt::Key_Escape);
                      else
                          box->button(click)->click();
                  }),
                  answer);
    }
}

TEST_F(QtHostTest, EnterGivesTheSafeAnswerWhereTheOtherWouldThrowSomethingAway)
{
    qhost.SetMessageHook({});
    const std::tuple<bool, zv::Buttons, zv::Answer> cases[] = {
        {false, zv::Buttons::YesNo, zv::Answer::Yes},
        {true, zv::Buttons::YesNo, zv::Answer::No},
        {true, zv::Buttons::OkCancel, zv::Answer::Cancel},
    };
    for (const auto& [discards, buttons, enter] : cases) {
        QTimer::singleShot(0, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                QTest::keyClick(box, Qt::Key_Return);
        });
        const zv::Answer answer = discards ? qhost.AskBeforeDiscarding("text", "caption", buttons, zv::Icon::Question,
                                                                       zv::Owner::None)
                                           : qhost.Message("text", "caption", buttons, zv::Icon::Question,
                                                           zv::Owner::None);
        EXPECT_EQ(answer, enter) << discards;
    }
}

TEST_F(QtHostTest, EachOwnerMapsToItsWindow)
{
    QWidget frame;
    frame.show();
    qhost.SetFrame(&frame);
    EXPECT_EQ(qhost.OwnerWidget(zv::Owner::None), nullptr);
    // No dialog and no progress window: the frame answers for them.
    for (zv::Owner owner : {zv::Owner::Frame, zv::Owner::Dialog, zv::Owner::Progress})
        EXPECT_EQ(qhost.OwnerWidget(owner), &frame);
    {
        QDialog outer(&frame);
        DialogOwnerScope outerScope(qctx->host, &outer);
        outer.show();
        {
            QDialog inner(&outer);
            DialogOwnerScope innerScope(qhost, &inner);
            inner.show();
            EXPECT_EQ(qhost.OwnerWidget(zv::Owner::Dialog), &inner);
            EXPECT_EQ(qhost.OwnerWidget(zv::Owner::Progress), &inner);
            // A dialog that has closed already (OK runs its command after
            // closing) no longer owns boxes.
            inner.hide();
            EXPECT_EQ(qhost.OwnerWidget(zv::Owner::Dialog), &outer);
        }
        // The hook answers instead of a box and sees the texts and the owner.
        answers = {zv::Answer::No};
        EXPECT_EQ(qctx->Tell(51, 62, zv::Buttons::YesNo, zv::Icon::Exclamation, zv::Owner::Dialog), zv::Answer::No);
        EXPECT_EQ(Messages(), std::vector<std::string>({"T62: T51"}));
        EXPECT_TRUE(shown[0].buttons == zv::Buttons::YesNo && shown[0].icon == zv::Icon::Exclamation);
        EXPECT_EQ(shown[0].window, &outer);
        // The real box is parented to the window asked for.
        ShowReal(zv::Buttons::Ok, zv::Icon::Information, zv::Owner::Dialog, [&](QMessageBox* box) {
            EXPECT_EQ(box->parentWidget(), &outer);
            box->button(QMessageBox::Ok)->click();
        });
    }
    EXPECT_EQ(qhost.OwnerWidget(zv::Owner::Dialog), &frame);
}

TEST_F(QtHostTest, TextsAreUtf8WhenValidElseInTheInstallationCodePage)
{
    EXPECT_EQ(DecodeText("Za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87"), QString::fromUtf8("Zażółć"));
    SetInstallerLanguage(1045);
    EXPECT_EQ(DecodeText("\xbf\xf3\xb3"), QString::fromUtf8("żół")); // windows-1250
    SetInstallerLanguage(1033);
    EXPECT_EQ(DecodeText("\xe9t\xe9"), QString::fromUtf8("été")); // windows-1252
}

TEST_F(QtHostTest, OpenForEditingStartsAGraphicalEditorFromVisual)
{
    // A stand-in editor under a graphical editor's name records its argument.
    const std::string record = Path("edited");
    ::chmod(WriteFile("gedit", "#!/bin/sh\nprintf '%s' \"$1\" > '" + record + "'\n").c_str(), 0700);
    const QByteArray oldVisual = qgetenv("VISUAL");
    qputenv("VISUAL", QByteArray::fromStdString(Path("gedit")));
    const std::string subtitle = WriteFile("film name.txt", "{1}{2}a\r\n");
    qhost.OpenForEditing(subtitle);
    for (int waited = 0; !QFile::exists(QString::fromStdString(record)) && waited < 5000; waited += 20)
        QTest::qWait(20);
    QTest::qWait(50);
    EXPECT_EQ(ReadFile(record), subtitle);
    if (oldVisual.isNull())
        qunsetenv("VISUAL");
    else
        qputenv("VISUAL", oldVisual);
}

} // namespace
} // namespace zv::app::test

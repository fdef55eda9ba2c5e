// Not a check: with ZENTAVO_SCREENSHOT naming a PNG file, draws the frame with
// a source and its moved result, in English, into that file (for the docs).
#include "app/commands.h"
#include "qt/text_codec.h"
#include "engine/operations/move_time.h"
#include "frame_fixture.h"

#include <QPixmap>

#include <cstdlib>

namespace zv::app::test {
using qt::SetInstallerLanguage;

namespace {

class FrameScreenshot : public FrameTest {};

TEST_F(FrameScreenshot, DrawsTheFrameWithASourceAndAResult)
{
    const char* target = std::getenv("ZENTAVO_SCREENSHOT");
    if (!target || !*target)
        GTEST_SKIP() << "set ZENTAVO_SCREENSHOT to a PNG path";
    texts.LoadOnce(std::string(ZENTAVO_RESOURCE_DIR) + "/languages/english.lan");
    SetInstallerLanguage(1033);
    MakeFrame();
    frame->setWindowTitle("Zentavo 2.4");
    frame->resize(1024, 640);

    const char* lines[] = {"Where were you last night?", "Out.|Just out.", "Nowhere special.",
                           "You said you'd call.", "I know. I'm sorry.", "The hotel called twice.",
                           "What did they want?", "Room twelve. Again.", "Then we go tonight.",
                           "Bring the key.", "Which one?", "The one you never gave back."};
    std::string film;
    long frameNo = 125;
    for (int i = 0; i < 24; ++i) {
        film += "{" + std::to_string(frameNo) + "}{" + std::to_string(frameNo + 70) + "}" + lines[i % 12] + "\r\n";
        frameNo += 95;
    }
    OpenFile(WriteFile("night_shift.sub", film));
    doc(DocumentKind::Source)->list()->setCurrentRow(4);
    ASSERT_TRUE(zv::RunMoveTime(frame->context(), *frame->handler(), 125, frame->WriteOptionsForFile()).done);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "ProgressWindow")
            w->close();
    frame->ShowAfterOperation(true);
    Flush();
    frame->grab().save(QString::fromLocal8Bit(target), "PNG");
}

} // namespace
} // namespace zv::app::test

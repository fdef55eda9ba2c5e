// One QApplication for every GUI test, headless.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// The movie preview brings in GStreamer, GLib and PulseAudio, which keep
// allocations of their own until the process ends.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libgstreamer-1.0.so\nleak:libpulse.so\n"
           "leak:libpulsecommon\n";
}

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

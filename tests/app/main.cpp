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

// The leak check's walk over the thread-local blocks of loaded libraries can
// crash on the block of a media plug-in unloaded meanwhile (seen once the
// preview, Qt's translations and the settings lock thread share a process).
// None of our own allocations live in those blocks.
extern "C" const char* __asan_default_options()
{
    return "intercept_tls_get_addr=0";
}

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "app/text_codec.h"

#include <gtest/gtest.h>

namespace zv::app {
namespace {

TEST(TextCodec, Utf8WhenValidElseTheInstallationCodePage)
{
    EXPECT_EQ(DecodeText("Za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87"), QString::fromUtf8("Zażółć"));
    SetInstallerLanguage(1045);
    EXPECT_EQ(DecodeText("\xbf\xf3\xb3"), QString::fromUtf8("żół")); // windows-1250
    SetInstallerLanguage(1033);
    EXPECT_EQ(DecodeText("\xe9t\xe9"), QString::fromUtf8("été")); // windows-1252
}

} // namespace
} // namespace zv::app

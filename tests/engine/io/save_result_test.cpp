#include "engine/io/file_io.h"
#include "engine/io/save_result.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

namespace zv::test {
namespace {

using SaveResultTest = EngineTest;

// The one path every save takes: the file's style, the replacement, the words on failure.
TEST_F(SaveResultTest, StylesReplacesOrSaysWhy)
{
    const auto result = WriteFile("result", "{1}{2}a\r\n");
    const auto target = WriteFile("film.sub", "old");
    SaveOutcome saved = SaveResult(*ctx, result, TextStyle{true, true, {}}, target);
    EXPECT_TRUE(saved.saved);
    EXPECT_EQ(ReadFile(target), "\xEF\xBB\xBF{1}{2}a\n");
    EXPECT_EQ(ReadFile(result), "{1}{2}a\r\n"); // the working copy stays as it is

    // A target that cannot be replaced: the file was styled, the reason told.
    saved = SaveResult(*ctx, result, TextStyle{}, Path("no/such/folder/film.sub"));
    EXPECT_FALSE(saved.saved);
    EXPECT_TRUE(saved.styled);
    EXPECT_EQ(saved.errorText, "T53\n\nNo such file or directory");

    // Staged only, the target is untouched until the commit.
    FileReplacement replacement;
    ASSERT_TRUE(StageResult(*ctx, result, TextStyle{}, target, replacement).saved);
    EXPECT_EQ(ReadFile(target), "\xEF\xBB\xBF{1}{2}a\n");
    ASSERT_TRUE(CommitResult(*ctx, replacement).saved);
    EXPECT_EQ(ReadFile(target), "{1}{2}a\r\n");
}

} // namespace
} // namespace zv::test

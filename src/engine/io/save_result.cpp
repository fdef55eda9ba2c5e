#include "engine/io/save_result.h"

#include "engine/io/workspace.h"

#include <cerrno>
#include <cstring>

namespace zv {

namespace {

SaveOutcome Failed(Context& ctx, bool styled, int error)
{
    SaveOutcome outcome;
    outcome.styled = styled;
    outcome.error = error;
    outcome.errorText = ctx.Text(53);
    if (error != 0)
        outcome.errorText += "\n\n" + std::string(std::strerror(error));
    return outcome;
}

} // namespace

SaveOutcome StageResult(Context& ctx, const std::string& result, const TextStyle& style, const std::string& target,
                        FileReplacement& replacement)
{
    errno = 0;
    const std::string styled = StyledFile(result, StyledCopyOf(result), style);
    if (styled.empty())
        return Failed(ctx, false, errno);
    errno = 0;
    if (!replacement.StageFile(target, styled))
        return Failed(ctx, true, errno);
    return SaveOutcome{true, true};
}

SaveOutcome CommitResult(Context& ctx, FileReplacement& replacement)
{
    errno = 0;
    if (!replacement.Commit())
        return Failed(ctx, true, errno);
    return SaveOutcome{true, true};
}

SaveOutcome SaveResult(Context& ctx, const std::string& result, const TextStyle& style, const std::string& target,
                       const std::function<void(const std::string&)>& noticeTemporaries)
{
    FileReplacement replacement;
    if (noticeTemporaries)
        replacement.NoticeTemporaries(noticeTemporaries);
    const SaveOutcome staged = StageResult(ctx, result, style, target, replacement);
    return staged.saved ? CommitResult(ctx, replacement) : staged;
}

} // namespace zv

#include "app/copy_over.h"

#include "engine/file_io.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace zv::app {

namespace {

// A link is followed so the file it names is replaced, not the link itself.
std::string RealTarget(const std::string& target)
{
    std::error_code ec;
    if (!std::filesystem::is_symlink(target, ec))
        return target;
    const auto real = std::filesystem::canonical(target, ec);
    return ec ? target : real.string();
}

} // namespace

bool CopyOverOnce(const std::string& target, const std::string& source)
{
    const std::string real = RealTarget(target);
    const std::string temporary = zv::TemporaryBeside(real);
    if (!zv::CopyFileOver(source, temporary)) {
        const int error = errno;
        zv::RemoveFile(temporary);
        errno = error;
        return false;
    }
    // CommitTemporary keeps the target's permissions, so a read-only file is
    // replaced and stays read-only.
    return zv::CommitTemporary(temporary, real);
}

bool CopyOverWithRetry(zv::Context& ctx, const std::string& target, const std::string& source)
{
    for (;;) {
        errno = 0;
        if (CopyOverOnce(target, source))
            return true;
        const int error = errno;
        std::string text = ctx.Text(53);
        if (error != 0)
            text += "\n\n" + std::string(std::strerror(error));
        if (text.size() > 1024)
            text.resize(1024);
        if (ctx.host.Message(text, ctx.Text(52), zv::Buttons::RetryCancel, zv::Icon::Stop, zv::Owner::None) !=
            zv::Answer::Retry)
            return false;
    }
}

} // namespace zv::app

#include "app/copy_over.h"

#include "engine/io/file_io.h"

#include <cerrno>
#include <cstring>

namespace zv::app {

bool CopyOverOnce(const std::string& target, const std::string& source)
{
    // The same replacement as the command line's -o: a link is followed, a
    // read-only file is replaced and stays read-only, a device is written into.
    return zv::ReplaceFile(target, source);
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

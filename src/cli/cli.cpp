#include "cli/cli.h"

#include <cstdio>

namespace zv::cli {

int Run(int argc, char** argv)
{
    (void)argc;
    (void)argv;
    std::fputs("usage: zentavo-cli COMMAND FILE [options]\n", stderr);
    return 2;
}

} // namespace zv::cli

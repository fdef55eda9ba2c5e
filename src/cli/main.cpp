#include "cli/cli.h"

int main(int argc, char** argv)
{
    return zv::cli::Run(argc, argv);
}

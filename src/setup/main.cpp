#include "setup/setup.h"

int main(int argc, char** argv)
{
    return zv::setup::RunSetup(argc, argv);
}

#include "upgrade/upgrade.h"

int main(int argc, char** argv)
{
    return zv::upgrade::RunUpgrade(argc, argv);
}

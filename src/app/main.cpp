#include "app/startup.h"

int main(int argc, char** argv)
{
    return zv::app::RunZentavo(argc, argv);
}

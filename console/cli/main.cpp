#include "console/cli/run_command_line.hpp"

int main(int argc, char** argv)
{
    return vistrel::run_command_line(argc, argv);
}

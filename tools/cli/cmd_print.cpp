// tessaline-cli print
#include <cstdio>

#include "commands.h"

int RunPrint(const std::vector<std::string>&)
{
    std::fprintf(stderr, "tessaline-cli: 'print' is not available yet\n");
    return 2;
}

// tessaline-cli segments
#include <cstdio>

#include "commands.h"

int RunSegments(const std::vector<std::string>&)
{
    std::fprintf(stderr, "tessaline-cli: 'segments' is not available yet\n");
    return 2;
}

// tessaline-cli model
#include <cstdio>

#include "commands.h"

int RunModel(const std::vector<std::string>&)
{
    std::fprintf(stderr, "tessaline-cli: 'model' is not available yet\n");
    return 2;
}

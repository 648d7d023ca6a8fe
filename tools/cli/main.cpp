// tessaline-cli: the headless tool over the same core as the desktop program.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"

namespace {

void Usage()
{
    std::fprintf(stderr,
                 "usage: tessaline-cli <command> [options]\n"
                 "commands:\n"
                 "  model FILE [--config INI] [--slot print|preview|print-preview] [--records] [--fast]\n"
                 "  segments FILE [--config INI] --out DIR|- [--compress] [--fast]\n"
                 "  print FILE [--config INI] [--virtual] [--fast] [--page PNG] [--log PATH]\n"
                 "             [--answer yes|no] [--fault FAULT]...\n"
                 "  queue [--config INI] [--virtual] [--fast]\n"
                 "  info FILE [--config INI]\n"
                 "Run 'tessaline-cli <command> --help' for details.\n");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        Usage();
        return argc < 2 ? 2 : 0;
    }
    std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "model")
        return RunModel(args);
    if (command == "segments")
        return RunSegments(args);
    if (command == "print")
        return RunPrint(args);
    if (command == "queue")
        return RunQueue(args);
    if (command == "info")
        return RunInfo(args);
    std::fprintf(stderr, "tessaline-cli: unknown command '%s'\n", command.c_str());
    Usage();
    return 2;
}

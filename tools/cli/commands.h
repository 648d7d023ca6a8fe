// Subcommands of tessaline-cli; each takes the arguments after its name and returns the exit status.
#pragma once

#include <string>
#include <vector>

int RunModel(const std::vector<std::string>& args);
int RunSegments(const std::vector<std::string>& args);
int RunPrint(const std::vector<std::string>& args);
int RunQueue(const std::vector<std::string>& args);
int RunInfo(const std::vector<std::string>& args);

// Where the program lives: config.ini, logfile.txt and the default task folder lie next to it.
#pragma once

#include <string>

// Directory of the running executable, without a trailing separator.
std::string GetProgramDir();

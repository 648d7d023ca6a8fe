// Reads and writes the settings record in config.ini through the private-profile layer.
#pragma once

#include <string>

class CUserDefine;

class CConfigStore {
public:
    // Reads every key (defaults for absent ones) and computes the derived fields. Always true.
    // defaultTaskFolder: WORKPATH when the file names none; empty: "tasks" beside the file.
    static bool Load(CUserDefine& ud, const std::string& iniPath, const std::string& defaultTaskFolder = std::string());
    // Writes every persisted field in the fixed order. Always true.
    static bool Save(const CUserDefine& ud, const std::string& iniPath);
};

// Reads and writes the settings record in config.ini through the private-profile layer.
#pragma once

#include <string>

class CUserDefine;

class CConfigStore {
public:
    // Reads every key (defaults for absent ones) and computes the derived fields. False, with the reason
    // in *pProblem, when the file exists but cannot be read or holds none of the settings' sections: the
    // record then runs on defaults, which the operator must be told. A missing file is no problem.
    // defaultTaskFolder: WORKPATH when the file names none; empty: "tasks" beside the file.
    static bool Load(CUserDefine& ud, const std::string& iniPath, const std::string& defaultTaskFolder = std::string(),
                     std::string* pProblem = nullptr);
    // Writes every persisted field in the fixed order. False, with the reason, when the file could not
    // be written; it then keeps its old settings.
    static bool Save(const CUserDefine& ud, const std::string& iniPath, std::string* pProblem = nullptr);
};

// The queue's state file in the task folder: what the rows hold that the folder cannot tell again after
// a restart (copies left, held rows with their reason, the print order, a job cut off by the program's end).
#pragma once

#include <string>
#include <system_error>
#include <vector>

#include "queue/taskqueue.h"

class CQueueStateFile {
public:
    // Not one of the plot patterns, so no scan lists it (nor its temporary file) as a job.
    static constexpr const char* kName = ".tessaline-queue";

    // The text for the rows whose files lie in folder (which ends with "/"), in row order.
    static std::string Format(const std::string& folder, const std::vector<CTaskRow>& rows);
    // The rows of a state file's text, with their paths in folder. False, with the reason, when the text
    // is no state file or belongs to another folder.
    static bool Parse(const std::string& text, const std::string& folder, std::vector<CTaskRow>& rows,
                      std::string& error);

    // Replaces the state file of folder whole or not at all: a temporary file, flushed to the disk and
    // renamed over the old one.
    static std::error_code Write(const std::string& folder, const std::string& text);
    // The same for any file of the queue's (path ".tmp" is the temporary file).
    static std::error_code WriteWhole(const std::string& path, const std::string& text);
    static std::error_code Read(const std::string& folder, std::string& text);
    // The whole text of any file of the queue's; the error when it cannot be read.
    static std::error_code ReadWhole(const std::string& path, std::string& text);
};

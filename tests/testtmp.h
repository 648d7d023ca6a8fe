// A temporary folder of its own for the running test: ctest runs tests of one program in parallel processes.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

inline std::filesystem::path TestTempDir(const std::string& tag)
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "tessaline_" + tag + "_" + std::to_string(::getpid());
    if (info)
        name += std::string("_") + info->test_suite_name() + "_" + info->name();
    for (char& c : name)
        if (c == '/')
            c = '_';
    return std::filesystem::temp_directory_path() / name;
}

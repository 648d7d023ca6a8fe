// Shared helpers of the plot tests: temporary plot files and loading them on the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "plot/pltfiledata.h"

inline bool operator==(const PltLine& a, const PltLine& b)
{
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

inline std::ostream& operator<<(std::ostream& os, const PltLine& l)
{
    return os << "(" << l.x1 << "," << l.y1 << ")-(" << l.x2 << "," << l.y2 << ")";
}

inline std::vector<PltLine> Records(const PltInfo& info)
{
    return std::vector<PltLine>(info.m_pLines, info.m_pLines + info.m_nLineCount);
}

// Every test runs on the virtual clock in its own temporary folder.
class PlotFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetClock(&m_clock);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : name)
            if (c == '/')
                c = '_';
        m_dir = std::filesystem::temp_directory_path() / ("tessaline_" + std::to_string(::getpid()) + "_" + name);
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override
    {
        SetClock(nullptr);
        std::filesystem::remove_all(m_dir);
    }

    std::string WriteFile(std::string_view content, const char* name = "job.plt")
    {
        std::string path = (m_dir / name).string();
        std::ofstream(path, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
        return path;
    }

    // Loads content at scale 1; the flip is off unless asked for, so records read as written.
    bool LoadText(CPltFileData& plt, std::string_view content, bool flip = false)
    {
        plt.SetScale(1.0f, 1.0f);
        plt.SetFlipY(flip ? 1 : 0);
        return plt.Load(WriteFile(content).c_str());
    }

    CVirtualClock m_clock;
    std::filesystem::path m_dir;
};

// Shared helpers of the print data tests: settings as a load derives them, a recording bridge,
// word comparisons that show where two sequences part.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "platform/windowbridge.h"
#include "plot/pltfiledata.h"
#include "settings/userdefine.h"

inline bool operator==(const PltLine& a, const PltLine& b)
{
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

inline std::ostream& operator<<(std::ostream& os, const PltLine& l)
{
    return os << "(" << l.x1 << ", " << l.y1 << ")-(" << l.x2 << ", " << l.y2 << ")";
}

// Derived fields as the settings load computes them from the stored ones.
inline void DeriveSettings(CUserDefine& ud)
{
    ud.UpdateRatios();
    ud.UpdateDotsPerUnitX();
    ud.UpdateHeadTotals();
    ud.UpdateStepTotal();
    ud.UpdateLeftDots(static_cast<int32_t>(ud.EdLeftValue));
    ud.UpdateRowsPerUnitY();
}

// Default settings with `heads` heads mounted at the given carriage positions.
inline CUserDefine MakeSettings(int heads = 1, std::vector<int> positions = {0})
{
    CUserDefine ud;
    ud.JetPrintHead = static_cast<uint8_t>(heads);
    for (int k : positions) {
        ud.JetPrintHeadOpenStatus[2 * k] = 1;
        ud.JetPrintHeadOpenStatus[2 * k + 1] = 1;
    }
    DeriveSettings(ud);
    return ud;
}

class CRecordingBridge : public CWindowBridge {
public:
    CRecordingBridge() { SetWindowBridge(this); }
    ~CRecordingBridge() override { SetWindowBridge(nullptr); }
    int MessageBox(const std::string& text, const std::string&, int, int) override
    {
        m_Messages.push_back(text);
        return IDOK;
    }
    void RefreshProgress() override {}
    void RedrawStatusBar() override {}
    void RepaintPreview() override {}
    std::vector<std::string> m_Messages;
};

inline std::string HexAround(const uint16_t* w, size_t n, size_t at)
{
    std::string s;
    size_t from = at < 4 ? 0 : at - 4;
    for (size_t i = from; i < n && i < at + 5; ++i) {
        char buf[16];
        std::snprintf(buf, sizeof buf, i == at ? "[%04X] " : "%04X ", w[i]);
        s += buf;
    }
    return s;
}

// Equal word sequences, or a failure naming the first differing offset with both sides around it.
inline ::testing::AssertionResult WordsEqual(const std::vector<uint16_t>& expected, const uint16_t* actual,
                                             size_t actualCount)
{
    size_t n = std::min(expected.size(), actualCount);
    for (size_t i = 0; i < n; ++i)
        if (expected[i] != actual[i])
            return ::testing::AssertionFailure()
                   << "first difference at word " << i << " (byte offset " << 2 * i << ")\n  expected: "
                   << HexAround(expected.data(), expected.size(), i) << "\n  actual:   "
                   << HexAround(actual, actualCount, i);
    if (expected.size() != actualCount)
        return ::testing::AssertionFailure() << "lengths differ: expected " << expected.size() << " words, got "
                                             << actualCount << " (equal up to word " << n << ")";
    return ::testing::AssertionSuccess();
}

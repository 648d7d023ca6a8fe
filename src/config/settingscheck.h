// The settings the dialog can set that would break the print path, named by their dialog labels.
#pragma once

#include <string>
#include <vector>

#include <QCoreApplication>

class CUserDefine;

// Limits chosen so that every dot, row and buffer computation of the print path stays inside
// 32-bit integers for plots up to 10 m wide, and a stroke cannot stall the rasteriser.
struct CSettingsLimits {
    static constexpr int kMinLineWidth = 1;
    static constexpr int kMaxLineWidth = 1000;         // dots; the raster work grows with its square
    static constexpr int kMaxDotsPerMetre = 100000;    // 2540 dpi: a 10 m plot stays at 1e6 dots
    static constexpr int kMaxColumnOffset = 1000000;   // dots, X offsets, skews and head width
};

class CSettingsCheck {
    Q_DECLARE_TR_FUNCTIONS(CSettingsCheck)
public:
    // One line per offending field, in the order of the pages (in the operator's language); empty when the
    // record may be saved.
    static std::vector<std::string> Check(const CUserDefine& ud);
};

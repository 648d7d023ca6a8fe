// The settings the dialog can set that would break the print path, named by their dialog labels.
#include "config/settingscheck.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/userdefine.h"

namespace {

using L = CSettingsLimits;

void CheckOffset(std::vector<std::string>& out, int value, const std::string& label)
{
    if (std::llabs(static_cast<long long>(value)) > L::kMaxColumnOffset)
        out.push_back(label + ": o valor deve estar entre -" + std::to_string(L::kMaxColumnOffset) + " e " +
                      std::to_string(L::kMaxColumnOffset) + " HPP.");
}

bool ValidLength(float value)
{
    return std::isfinite(value) && value > 0.0f;
}

// A calibration pair: both lengths positive, and their ratio a usable scale factor.
void CheckScale(std::vector<std::string>& out, float plotted, float real, float ratio, const char* axis)
{
    const std::string t = std::string(axis) + "-Plotado";
    const std::string r = std::string(axis) + "-Real";
    if (!ValidLength(plotted))
        out.push_back(t + ": o comprimento deve ser um número positivo.");
    if (!ValidLength(real))
        out.push_back(r + ": o comprimento deve ser um número positivo.");
    if (ValidLength(plotted) && ValidLength(real) && !ValidLength(ratio))
        out.push_back(t + " / " + r + ": a escala resultante é inválida.");
}

void CheckSystem(std::vector<std::string>& out, const CUserDefine& ud)
{
    if (ud.ELineWidth < L::kMinLineWidth || ud.ELineWidth > L::kMaxLineWidth)
        out.push_back("Espessura Linha: o valor deve estar entre " + std::to_string(L::kMinLineWidth) + " e " +
                      std::to_string(L::kMaxLineWidth) + " HPP.");
    for (int k = 0; k < 4; ++k) {
        const std::string no = " No." + std::to_string(k + 1);
        CheckOffset(out, ud.JetPrintHeadValueX[2 * k], "Offset" + no);
        CheckOffset(out, ud.JetPrintHeadValueY[2 * k], "OffsetCorrect" + no);
    }
    CheckOffset(out, ud.JETPRINTHEADWIDTH, "Espessura Cabeça");
}

void CheckAdvanced(std::vector<std::string>& out, const CUserDefine& ud)
{
    if (ud.DPINumPerM > L::kMaxDotsPerMetre)
        out.push_back("Pixel por 1000mm: o valor máximo é " + std::to_string(L::kMaxDotsPerMetre) + ".");
    // The step total itself is clamped; what reaches the controller must be the product.
    const long long step = static_cast<long long>(ud.JetPrintHead) * ud.EdStepB;
    if (step > INT_MAX || step < INT_MIN)
        out.push_back("Y-Step Values: o valor multiplicado pela quantidade de cartuchos excede o limite.");
}

void CheckPlotting(std::vector<std::string>& out, const CUserDefine& ud)
{
    // The load recomputes the left margin as whole millimetres times the resolution in int.
    const bool finite = std::isfinite(ud.EdLeftValue);
    if (!finite || std::fabs(std::trunc(static_cast<double>(ud.EdLeftValue))) * ud.DPINumPerM > INT_MAX)
        out.push_back("Origin Point: o valor em pontos excede o limite.");
    CheckScale(out, ud.XSCALE_T, ud.XSCALE_R, ud.m_fRatioX, "X");
    CheckScale(out, ud.YSCALE_T, ud.YSCALE_R, ud.m_fRatioY, "Y");
}

// A task folder the system can name: config.ini keeps it on one line, and the system limits a path and
// each of its names.
void CheckOthers(std::vector<std::string>& out, const CUserDefine& ud)
{
    const std::string& path = ud.WORKPATH;
    constexpr std::size_t kMaxName = 255;
    bool usable = path.size() <= kMaxWorkPath && path.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
    for (std::size_t start = 0; usable && start < path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        usable = end - start <= kMaxName;
        start = end + 1;
    }
    if (!usable)
        out.push_back("Selecione o diretório de trabalho: o sistema não aceita este caminho (no máximo " +
                      std::to_string(kMaxWorkPath) + " bytes, " + std::to_string(kMaxName) +
                      " por nome, numa só linha).");
}

}  // namespace

std::vector<std::string> CSettingsCheck::Check(const CUserDefine& ud)
{
    std::vector<std::string> out;
    CheckSystem(out, ud);
    CheckAdvanced(out, ud);
    CheckPlotting(out, ud);
    CheckOthers(out, ud);
    return out;
}

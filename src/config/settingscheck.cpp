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

void Add(std::vector<std::string>& out, const QString& text)
{
    out.push_back(text.toStdString());
}

void CheckOffset(std::vector<std::string>& out, int value, const QString& label)
{
    if (std::llabs(static_cast<long long>(value)) > L::kMaxColumnOffset)
        Add(out, CSettingsCheck::tr("%1: o valor deve estar entre -%2 e %2 HPP.")
                     .arg(label, QString::number(L::kMaxColumnOffset)));
}

bool ValidLength(float value)
{
    return std::isfinite(value) && value > 0.0f;
}

// A calibration pair: both lengths positive, and their ratio a usable scale factor.
void CheckScale(std::vector<std::string>& out, float plotted, float real, float ratio, const QString& t,
                const QString& r)
{
    if (!ValidLength(plotted))
        Add(out, CSettingsCheck::tr("%1: o comprimento deve ser um número positivo.").arg(t));
    if (!ValidLength(real))
        Add(out, CSettingsCheck::tr("%1: o comprimento deve ser um número positivo.").arg(r));
    if (ValidLength(plotted) && ValidLength(real) && !ValidLength(ratio))
        Add(out, CSettingsCheck::tr("%1 / %2: a escala resultante é inválida.").arg(t, r));
}

void CheckSystem(std::vector<std::string>& out, const CUserDefine& ud)
{
    if (ud.ELineWidth < L::kMinLineWidth || ud.ELineWidth > L::kMaxLineWidth)
        Add(out, CSettingsCheck::tr("Espessura Linha: o valor deve estar entre %1 e %2 HPP.")
                     .arg(QString::number(L::kMinLineWidth), QString::number(L::kMaxLineWidth)));
    for (int k = 0; k < 4; ++k) {
        CheckOffset(out, ud.JetPrintHeadValueX[2 * k], CSettingsCheck::tr("Offset No.%1").arg(k + 1));
        CheckOffset(out, ud.JetPrintHeadValueY[2 * k], CSettingsCheck::tr("OffsetCorrect No.%1").arg(k + 1));
    }
    CheckOffset(out, ud.JETPRINTHEADWIDTH, CSettingsCheck::tr("Espessura Cabeça"));
}

void CheckAdvanced(std::vector<std::string>& out, const CUserDefine& ud)
{
    if (ud.DPINumPerM > L::kMaxDotsPerMetre)
        Add(out, CSettingsCheck::tr("Pixel por 1000mm: o valor máximo é %1.").arg(L::kMaxDotsPerMetre));
    // The step total itself is clamped; what reaches the controller must be the product.
    const long long step = static_cast<long long>(ud.JetPrintHead) * ud.EdStepB;
    if (step > INT_MAX || step < INT_MIN)
        Add(out, CSettingsCheck::tr(
                     "Y-Step Values: o valor multiplicado pela quantidade de cartuchos excede o limite."));
}

void CheckPlotting(std::vector<std::string>& out, const CUserDefine& ud)
{
    // The load recomputes the left margin as whole millimetres times the resolution in int.
    const bool finite = std::isfinite(ud.EdLeftValue);
    if (!finite || std::fabs(std::trunc(static_cast<double>(ud.EdLeftValue))) * ud.DPINumPerM > INT_MAX)
        Add(out, CSettingsCheck::tr("Origin Point: o valor em pontos excede o limite."));
    CheckScale(out, ud.XSCALE_T, ud.XSCALE_R, ud.m_fRatioX, CSettingsCheck::tr("X-Plotado"),
               CSettingsCheck::tr("X-Real"));
    CheckScale(out, ud.YSCALE_T, ud.YSCALE_R, ud.m_fRatioY, CSettingsCheck::tr("Y-Plotado"),
               CSettingsCheck::tr("Y-Real"));
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
        Add(out, CSettingsCheck::tr("Selecione o diretório de trabalho: o sistema não aceita este caminho "
                                    "(no máximo %1 bytes, %2 por nome, numa só linha).")
                     .arg(QString::number(kMaxWorkPath), QString::number(kMaxName)));
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

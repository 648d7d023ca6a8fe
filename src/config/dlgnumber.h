// Number texts of the settings dialog: the C library's conversions, independent of the process locale.
#pragma once

#include <QString>

// Longest text a box hands to a conversion.
constexpr int kDlgTextMax = 98;

// atoi over the first 98 characters; values beyond the int range are clamped to it.
int DlgAtoi(const QString& text);
// atof over the first 98 characters.
double DlgAtof(const QString& text);

// printf "%d".
QString DlgFormatInt(int value);
// printf "%0.<decimals>f".
QString DlgFormatFixed(double value, int decimals);

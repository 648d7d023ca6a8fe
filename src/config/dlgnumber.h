// Number texts of the settings dialog, read and written as config.ini holds them (decimal point,
// whatever the operator's locale).
#pragma once

#include <QString>

// Longest text a box hands to a conversion.
constexpr int kDlgTextMax = 98;

// atoi over the first 98 characters; values beyond the int range are clamped to it.
int DlgAtoi(const QString& text);
// atof over the first 98 characters, as a float; 0 for text that is no finite float.
float DlgAtof(const QString& text);

// printf "%d".
QString DlgFormatInt(int value);
// printf "%0.<decimals>f".
QString DlgFormatFixed(float value, int decimals);

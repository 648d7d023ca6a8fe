// Number texts of the settings dialog: the C library's conversions, independent of the process locale.
#include "config/dlgnumber.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <locale.h>

namespace {

// The GUI framework switches the process to the user's locale; the dialog reads and writes
// numbers the way config.ini holds them, with a decimal point.
#ifdef _WIN32
_locale_t CLocale()
{
    static _locale_t loc = _create_locale(LC_ALL, "C");
    return loc;
}
double StrToD(const char* s) { return _strtod_l(s, nullptr, CLocale()); }
#else
locale_t CLocale()
{
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}
double StrToD(const char* s) { return strtod_l(s, nullptr, CLocale()); }
#endif

QByteArray Clip(const QString& text)
{
    return text.left(kDlgTextMax).toUtf8();
}

}  // namespace

int DlgAtoi(const QString& text)
{
    const QByteArray bytes = Clip(text);
    long long v = std::strtoll(bytes.constData(), nullptr, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

double DlgAtof(const QString& text)
{
    const QByteArray bytes = Clip(text);
    return StrToD(bytes.constData());
}

QString DlgFormatInt(int value)
{
    return QString::number(value);
}

QString DlgFormatFixed(double value, int decimals)
{
    // QString::asprintf formats in the C locale.
    return QString::asprintf("%0.*f", decimals, value);
}

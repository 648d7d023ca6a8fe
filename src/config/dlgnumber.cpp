// Number texts of the settings dialog, read and written as config.ini holds them (decimal point,
// whatever the operator's locale).
#include "config/dlgnumber.h"

#include "platform/privateprofile.h"

namespace {
std::string Clip(const QString& text)
{
    return text.left(kDlgTextMax).toStdString();
}
}  // namespace

int DlgAtoi(const QString& text)
{
    return ProfileAtoi(Clip(text));
}

float DlgAtof(const QString& text)
{
    return ProfileAtof(Clip(text));
}

QString DlgFormatInt(int value)
{
    return QString::number(value);
}

QString DlgFormatFixed(float value, int decimals)
{
    return QString::fromStdString(ProfileFormatFixed(value, decimals));
}

// Selection of the plotter back-end.
#include "app/plotterselect.h"

#include <algorithm>
#include <cctype>

#include "link/libusbadapter.h"
#include "settings/userdefine.h"
#include "sim/virtualplotter.h"

bool IsVirtualDevice(const std::string& device)
{
    const std::string name = "VIRTUAL";
    return device.size() == name.size() &&
           std::equal(device.begin(), device.end(), name.begin(),
                      [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
}

std::unique_ptr<CUsbAdapter> OpenPlotter(const CUserDefine& settings, bool wantVirtual, const CFaultSchedule& faults)
{
    if (wantVirtual || IsVirtualDevice(settings.m_Link.DEVICE))
        return std::make_unique<CVirtualPlotter>(settings, faults);
#ifdef TESSALINE_HAVE_LIBUSB
    return CreateLibUsbAdapter(settings.m_Link);
#else
    return nullptr;
#endif
}

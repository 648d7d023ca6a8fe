// Which plotter is at the far end of the link: the built-in virtual plotter or the real board.
#pragma once

#include <memory>
#include <string>

#include "platform/usbadapter.h"
#include "sim/faultschedule.h"

class CUserDefine;

// [LINK] DEVICE names the virtual plotter ("VIRTUAL", in any case).
bool IsVirtualDevice(const std::string& device);

// The virtual plotter when asked for or configured, else the real board. Null when this build has no
// back-end for a real plotter.
std::unique_ptr<CUsbAdapter> OpenPlotter(const CUserDefine& settings, bool wantVirtual,
                                         const CFaultSchedule& faults = CFaultSchedule());

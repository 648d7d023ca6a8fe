// The virtual plotter: a controller that speaks the plotter protocol behind the USB adapter interface.
#pragma once

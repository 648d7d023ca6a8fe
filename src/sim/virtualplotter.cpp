// Placeholder until the virtual plotter lands.
#include "sim/virtualplotter.h"

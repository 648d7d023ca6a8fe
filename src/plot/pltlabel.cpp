// Label strokes of the plot reader; placeholder until the outline font service lands.
#include "plot/pltfiledata.h"

void CPltFileData::AddLabel(const std::string&, int, int, int, std::string_view, float) {}

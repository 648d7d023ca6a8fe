// Placeholder until the job geometry lands.
#include "plot/jobgeometry.h"

#include "plot/pltfiledata.h"

void CJobGeometry::ComputeSize(PltInfo&, bool, float, uint8_t&) {}

void CJobGeometry::FoldWideJob(PltInfo&) {}

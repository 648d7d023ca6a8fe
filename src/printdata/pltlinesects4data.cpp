// Placeholder until the line sections land.
#include "printdata/pltlinesects4data.h"

CPltLineSectS4Data::~CPltLineSectS4Data()
{
    FreeSections();
}

bool CPltLineSectS4Data::CountFragments(PltInfo&)
{
    return false;
}

bool CPltLineSectS4Data::FillFragments(PltInfo&)
{
    return false;
}

void CPltLineSectS4Data::FreeSections() {}

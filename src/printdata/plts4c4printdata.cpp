// Placeholder until the head raster data lands.
#include "printdata/plts4c4printdata.h"

CPltS4C4PrintData::~CPltS4C4PrintData()
{
    FreeBuffers();
}

bool CPltS4C4PrintData::AllocBuffers()
{
    return false;
}

void CPltS4C4PrintData::FreeBuffers() {}
void CPltS4C4PrintData::ClearRows() {}
void CPltS4C4PrintData::ClearWords() {}
void CPltS4C4PrintData::FillSpan(int, int, int) {}
void CPltS4C4PrintData::DrawLine(float, float, float, float) {}
void CPltS4C4PrintData::RasterizeSection(const LineSection*, int) {}
void CPltS4C4PrintData::BuildFiringWords() {}
int CPltS4C4PrintData::NozzleToSlot1(int) { return 0; }
int CPltS4C4PrintData::NozzleToSlot2(int) { return 0; }
int CPltS4C4PrintData::SlotToNozzle1(int) { return 0; }
int CPltS4C4PrintData::SlotToNozzle2(int) { return 0; }

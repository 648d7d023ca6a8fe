// Placeholder until the segment packer lands.
#include "printdata/segmentpacker.h"

bool CSegmentPacker::MakeSegment(CPltS4C4PrintData&, CJobLayout&, CPltLineSectS4Data&, const CUserDefine&, int,
                                 bool, const std::function<void()>&)
{
    return false;
}

bool CSegmentPacker::CompressAndChecksum(CPltS4C4PrintData&, CJobLayout&, bool, const std::function<void()>&)
{
    return false;
}

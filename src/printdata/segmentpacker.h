// Builds print segments (two or four passes, or the colour bar) and finishes them for sending.
#pragma once

#include <functional>

class CJobLayout;
class CPltLineSectS4Data;
class CPltS4C4PrintData;
class CUserDefine;

class CSegmentPacker {
public:
    // Header plus the passes of sections cursor.. (or the colour-bar pattern). False when the job
    // has nothing to print or cursor is past the last section.
    static bool MakeSegment(CPltS4C4PrintData& data, CJobLayout& layout, CPltLineSectS4Data& sections,
                            const CUserDefine& settings, int cursor, bool colorBar,
                            const std::function<void()>& poll);
    // Backup copy, exchange step, optional compression, sent-word count and checksum.
    // The caller holds the print-data lock.
    static bool CompressAndChecksum(CPltS4C4PrintData& data, CJobLayout& layout, bool compress,
                                    const std::function<void()>& poll);
};

// Small markers for the soak, each drawn from the random generator, and the page a fault-free print of
// one must give: the union of its section bitmaps, rasterised by a document of its own.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "document/marquelldoc.h"
#include "sim/pageimage.h"

// A rectangle with a few strokes across it (no two markers alike), sometimes a label.
inline std::string MakeMarker(std::mt19937& rng)
{
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int length = pick(1200, 6400);  // along the file's X, which becomes the feed
    const int width = pick(400, 2400);
    std::string plt = "IN;SP1;PU0,0;PD" + std::to_string(length) + ",0," + std::to_string(length) + "," +
                      std::to_string(width) + ",0," + std::to_string(width) + ",0,0;";
    for (int i = pick(1, 4); i > 0; --i)
        plt += "PU" + std::to_string(pick(0, length)) + "," + std::to_string(pick(0, width)) + ";PD" +
               std::to_string(pick(0, length)) + "," + std::to_string(pick(0, width)) + ";";
    if (pick(0, 3) == 0 && width >= 600)
        plt += "SI0.25,0.3;PU" + std::to_string(pick(40, length / 2)) + "," + std::to_string(pick(40, width - 500)) +
               ";LBT" + std::to_string(pick(1, 999)) + (pick(0, 1) ? "\xD6\xD0" : "") + "\x03";
    return plt + "PU;\n";
}

// What a file in the task folder may hold besides a marker: what a failed CAD export or a wrong file leaves.
enum class EContent { Marker, Empty, Garbage, NoDrawing };

// A file of that kind (a marker when kind is Marker).
inline std::string MakeContent(std::mt19937& rng, EContent kind)
{
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    switch (kind) {
    case EContent::Marker: return MakeMarker(rng);
    case EContent::Empty: {
        const int blanks = pick(0, 1) ? 0 : pick(1, 40);
        return std::string(size_t(blanks), pick(0, 1) ? ' ' : '\n');
    }
    case EContent::Garbage: {
        // Bytes of a binary file, with a NUL among them as every binary format has.
        std::string bytes(size_t(pick(1, 3000)), '\0');
        for (char& c : bytes)
            c = char(pick(0, 255));
        bytes[size_t(pick(0, int(bytes.size()) - 1))] = '\0';
        return bytes;
    }
    case EContent::NoDrawing: {
        const int x = pick(0, 4000);
        return "IN;SP1;PU" + std::to_string(x) + "," + std::to_string(pick(0, 2000)) + ";PU;\n";
    }
    }
    return std::string();
}

struct CReferencePage {
    int columns = 0;
    int rowBytes = 0;
    int rowsPerSection = 0;
    int sections = 0;
    int passes = 1;
    std::vector<uint8_t> bits;  // sections * rowsPerSection rows of rowBytes

    int Segments() const { return (sections + passes - 1) / passes; }
    const uint8_t* Row(int y) const { return bits.data() + size_t(y) * size_t(rowBytes); }

    // The page of a print that got through its first `segments` segments: those rows as here, the rest
    // blank paper. Empty when it matches, else where it first differs.
    std::string Compare(const CPageImage& page, int segments) const
    {
        if (page.Width() != columns)
            return "page width " + std::to_string(page.Width()) + " dots, expected " + std::to_string(columns);
        const int printed = std::min(sections, segments * passes) * rowsPerSection;
        if (page.Height() < printed)
            return "page has " + std::to_string(page.Height()) + " rows, expected at least " + std::to_string(printed);
        for (int y = 0; y < page.Height(); ++y) {
            const uint8_t* got = page.Row(y);
            if (!got)
                return "row " + std::to_string(y) + " not kept";
            for (int b = 0; b < page.RowBytes(); ++b) {
                const uint8_t want = y < printed && b < rowBytes ? Row(y)[b] : 0;
                if (got[b] != want)
                    return "row " + std::to_string(y) + " (section " + std::to_string(y / rowsPerSection) +
                           ") differs at byte " + std::to_string(b);
            }
        }
        return std::string();
    }
};

// Prepares the file in the print slot of doc, as a job start does, and rasterises every section.
inline bool MakeReferencePage(CMarquellDoc& doc, const std::string& path, CReferencePage& ref)
{
    doc.m_strSlotPath[SlotPrint] = path;
    if (!doc.PrepareJob(SlotPrint) || !doc.AllocPrintBuffers())
        return false;
    const CJobLayout& layout = doc.m_Layout[SlotPrint];
    CPltS4C4PrintData& data = doc.m_PrintData[SlotPrint];
    const CPltLineSectS4Data& cut = doc.m_Sections[SlotPrint];
    ref.columns = layout.m_nColumns;
    ref.rowBytes = layout.m_nRowBytes;
    ref.rowsPerSection = doc.m_UserDefine.m_nTotalNozzles;
    ref.sections = layout.m_nSectionCount;
    ref.passes = layout.m_nPassesPerSegment;
    ref.bits.assign(size_t(ref.sections) * size_t(ref.rowsPerSection) * size_t(ref.rowBytes), 0);
    for (int j = 0; j < ref.sections; ++j) {
        data.RasterizeSection(&cut.m_pSections[j], j);
        for (int i = 0; i < ref.rowsPerSection; ++i)
            std::copy(data.m_pRows[i], data.m_pRows[i] + ref.rowBytes,
                      ref.bits.begin() + (ptrdiff_t(j) * ref.rowsPerSection + i) * ref.rowBytes);
    }
    return ref.sections > 0;
}

// What a plot file holds before it prints: its size and fold, its counts, the protocol's time for it, and
// what would go wrong with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/dryrun.h"
#include "plot/pltfiledata.h"

class CMarquellDoc;

enum class EFinding {
    Unhandled,      // instructions the reader ignores (PltReadNotes::m_Unhandled)
    MissingGlyphs,  // label characters the outline face lacks, drawn as its missing-glyph shape
    OutsideWidth,   // records beyond the printable width (MAXWIDTH), left of it, or before the paper's start
    RightEdge,      // the right edge is more than the controller takes: the job would be refused
    TooLarge,       // the drawing or its print data is beyond what a job may hold
    Empty,          // nothing but blanks in the file
    NotPlotFile,    // no instruction of a plot file
    NoDrawing,      // a plot file that draws nothing (on the paper)
    Message,        // a message the preparation would show (the head configuration, a font)
};

struct CFinding {
    EFinding m_eKind;
    bool m_bStops = false;  // the job would not print (the task list holds it, the command line refuses it)
    std::string m_strText;  // the message's text (UTF-8), for EFinding::Message
};

class CJobReport {
public:
    // Reads file into doc's print slot as a job start does and inspects it; a job that would print is then
    // run dry for its time (see CDryRun, whose conditions hold here too) unless dryRun is false. False, with
    // m_strError in the operator's words, when the file cannot be read at all.
    bool Inspect(CMarquellDoc& doc, const std::string& file, bool dryRun = true);
    // No finding stops printing.
    bool Printable() const;
    const CFinding* Find(EFinding kind) const;

    std::string m_strError;
    float m_fMaxX = 0, m_fMaxY = 0;        // print frame extent, plotter units
    float m_fWidthM = 0, m_fLengthM = 0;   // across and along the paper, as the task list shows them
    bool m_bFold = false;
    uint32_t m_nRecords = 0;       // the job's records, fold marks included
    uint32_t m_nDrawnRecords = 0;  // those the file drew
    int m_nSections = 0;
    int m_nSegments = 0;           // colour bar not counted
    PltReadNotes m_Notes;
    float m_fMaxWidthM = 0;        // MAXWIDTH in metres
    uint32_t m_nOutsideRight = 0, m_nOutsideLeft = 0, m_nBeforeStart = 0;  // records reaching there
    int64_t m_nRightDots = 0;      // the right edge the job asks of the controller
    bool m_bDryRun = false;        // m_DryRun holds a run
    DryRunResult m_DryRun;
    std::vector<CFinding> m_Findings;

private:
    void CountOutside(const PltInfo& model, float maxWidthUnits);
    void AddNotes();
    void Add(EFinding kind, bool stops, const std::string& text = std::string());
};

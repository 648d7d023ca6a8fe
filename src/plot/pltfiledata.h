// The plot reader and its vector model: a flat array of straight lines in plotter units (0.025 mm).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct FixedPoint;

struct PltLine {
    float x1, y1, x2, y2;
};

// The block handed to the sizing, folding, layout and section stages; they read and extend it in place.
struct PltInfo {
    // No model may hold more records than this (512 MB of records): a few bytes of dashed line
    // with a tiny pattern length would otherwise ask for billions of them.
    static constexpr uint32_t kMaxLines = 1u << 25;

    uint32_t m_nLineCount = 0;
    float m_fMaxX = 0.0f;
    float m_fMaxY = 0.0f;
    float m_fWidthM = 0.0f;
    float m_fLengthM = 0.0f;
    PltLine* m_pLines = nullptr;  // malloc'ed, m_nCapacity records
    uint32_t m_nCapacity = 0;
    uint32_t m_nMaxLines = kMaxLines;
    // Set when a record could not be appended (limit reached or memory exhausted).
    bool m_bLinesExhausted = false;

    // Appends one record, growing the array when it is full; false when the limit is reached or
    // memory is exhausted (m_bLinesExhausted is then set and the record is dropped).
    bool AppendLine(float x1, float y1, float x2, float y2)
    {
        if ((m_nLineCount >= m_nCapacity || m_nLineCount >= m_nMaxLines) && !Grow())
            return false;
        m_pLines[m_nLineCount++] = PltLine{x1, y1, x2, y2};
        return true;
    }

private:
    bool Grow();
};

// What the reader passed over without a word, for the file report: instructions it does not handle and label
// characters the outline face lacks. Every Load starts it afresh.
struct PltReadNotes {
    static constexpr size_t kMaxMissingCodes = 16;

    // Ignored instructions by their mnemonic as written ("CI", "pd"); "other" for those that do not start
    // with two letters (device control sequences, stray bytes).
    std::map<std::string, uint32_t> m_Unhandled;
    uint32_t m_nLabels = 0;
    uint32_t m_nLabelsMissing = 0;  // labels with at least one character the face lacks
    uint32_t m_nMissingChars = 0;
    std::vector<unsigned> m_MissingCodes;  // those character codes, each once, the first kMaxMissingCodes

    void CharMissing(unsigned code);
};

// Why the last Load failed.
enum class ELoadError {
    None,
    Missing,      // no such file (or no path)
    Unreadable,   // it exists but cannot be opened or read
    Empty,        // nothing but blanks and line ends
    TooLarge,     // beyond the record limit or the memory at hand
    NotPlotFile,  // no drawing and no instruction of a plot file: binary data or some other text
};
// The reason in the operator's words ("the file was not found").
const char* LoadErrorText(ELoadError error);

class CPltFileData : public PltInfo {
public:
    // Instruction buffer: a longer instruction wraps around inside it.
    static constexpr int kInstructionSize = 16384;
    static constexpr int kMaxTokens = 4096;
    static constexpr int kMaxPageArg = 40;
    static constexpr uint32_t kSpareLines = 400000;
    static constexpr uint32_t kMaxAllocLines = 8388607;

    CPltFileData();
    ~CPltFileData();
    CPltFileData(const CPltFileData&) = delete;
    CPltFileData& operator=(const CPltFileData&) = delete;

    void SetCharSize(int n) { m_nCharSize = n; }
    void SetScale(float x, float y)
    {
        m_fScaleX = x;
        m_fScaleY = y;
    }
    void SetFlipY(uint8_t b) { m_bFlipY = b; }
    void SetRotate(uint8_t b) { m_bRotate90 = b; }
    uint8_t GetRotate() const { return m_bRotate90; }
    void SetMirror(uint8_t b) { m_bMirror = b; }
    uint8_t GetMirror() const { return m_bMirror; }

    // False when the file could not be read into a model; LastError() then says why.
    bool Load(const char* path);
    ELoadError LastError() const { return m_eLastError; }
    // The reason of the last failed Load in the operator's words, with the system's when there is one.
    std::string LastErrorText() const;
    void FreeLines();

    void Mirror();
    void Rotate90();

    // Appends the outline strokes of one label at (x, y) in the file's frame.
    void AddLabel(const std::string& face, int height, int x, int y, std::string_view text, float angle);
    // Adds the records of one curve of a glyph outline, drawing splines as their control polygons;
    // (fCurX, fCurY) is the current point, moved along.
    void AddGlyphCurve(int nType, const FixedPoint* pPoints, size_t nCount, int64_t x, int64_t y, float& fCurX,
                       float& fCurY, int height);

    std::string m_strPath;
    FILE* m_file = nullptr;
    float m_fScaleX = 0.0f;
    float m_fScaleY = 0.0f;
    int m_nCharSize = 0;
    uint8_t m_bFlipY = 1;
    uint8_t m_bRotate90 = 0;
    uint8_t m_bMirror = 0;
    uint8_t m_bLoaded = 0;
    float m_fLabelAngle = 0.0f;  // label direction in degrees from the last DI of the file
    // Records the file itself drew, before any geometry step added its own (fold marks).
    uint32_t m_nDrawnLines = 0;
    PltReadNotes m_Notes;

private:
    struct ParseState;

    bool Fail(ELoadError error, int sysError = 0);
    // After a read that gave no record: empty, or not a plot file at all.
    ELoadError Classify(const std::string& buffer, int plotInstructions) const;
    void CloseFile();
    // Reads the open file into buffer and returns the record capacity; 0 (the reason recorded) when it
    // cannot be had.
    uint32_t CountCapacity(std::string& buffer);
    bool Parse(const std::string& buffer);
    void Dispatch(ParseState& st, char* ins, int n);
    void PageOffset(ParseState& st, const char* ins, int n);
    void Label(ParseState& st, const char* ins, int n);
    int ReadTokens(ParseState& st, const char* ins, int n);
    void ProcessPairs(ParseState& st, int mnemonic, int tokenCount);
    // One pair of DI, IP, SC, LT or SI; false when the instruction ends after it.
    bool SpecialPair(ParseState& st, int mnemonic, int index, float x, float y);
    void Point(ParseState& st, int mnemonic, float x, float y);
    void EmitDashes(const ParseState& st, float x1, float y1, float x2, float y2);
    void FinishModel();
    // Raises the extent to every line's end points.
    void RaiseExtent();

    ELoadError m_eLastError = ELoadError::None;
    int m_nSysError = 0;  // errno of a failed open or read
};

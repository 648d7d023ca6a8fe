// Turns a received print segment back into dots: run-length expansion, header check, exchange step undone,
// passes unpacked, firing slots mapped to nozzles, head offsets and skew removed, reverse passes unmirrored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CCarriage;
class CPageImage;

struct DecodeResult {
    bool ok = true;           // header and size as expected
    std::string error;        // why not
    int64_t dots = 0;         // dots placed on the page
    int64_t strayBits = 0;    // firing bits that belong to no nozzle, no mounted head or no page column
};

class CSegmentDecoder {
public:
    static constexpr int kHeaderWords = 9;

    explicit CSegmentDecoder(const CCarriage& carriage) : m_Carriage(carriage) {}

    // The job's geometry: firing columns of one pass (X maximum - X minimum) and the head pair selection
    // of the start command.
    void SetJob(int columns, int pairCode);
    int Columns() const { return m_nColumns; }
    // Passes per segment and nozzle rows per pass.
    int Passes() const;
    int RowsPerPass() const;
    // 16-bit words of a whole segment, header included.
    size_t SegmentWords() const;

    // Decodes a segment as received (little-endian words, run-length coded when compressed); pass r lands
    // on page rows (firstPass + r) * RowsPerPass() + nozzle row.
    DecodeResult Decode(const uint8_t* bytes, size_t n, bool compressed, CPageImage& page, int firstPass) const;

    // Expands the run-length form: words 0..8 copied, then (0x0000, L) and (0xFFFF, L) pairs as runs;
    // stops after maxWords words.
    static std::vector<uint16_t> Expand(const uint16_t* words, size_t n, size_t maxWords);

private:
    void DecodeWord(size_t index, uint16_t value, CPageImage& page, int firstPass, DecodeResult& r) const;
    void PlaceDot(int pass, int pos, int column, int c, int slot, CPageImage& page, int firstPass,
                  DecodeResult& r) const;

    const CCarriage& m_Carriage;
    int m_nColumns = 0;
    int m_nPairCode = 0;
};

// Synthetic cutting-room markers for benchmarks: pattern pieces as long PD polylines with notches,
// grain lines and dashed fold lines, laid out along a roll the way CAD systems write them.
#pragma once

#include <cstdint>
#include <string>

struct CMarkerOptions {
    double m_fLengthMm = 20000.0;   // along the roll (the file's X)
    double m_fWidthMm = 1800.0;     // across the roll (the file's Y)
    double m_fPieceLengthMm = 600.0;
    double m_fPieceWidthMm = 300.0;
    double m_fPointSpacingMm = 1.2;  // flattened curves: one polyline point every so many mm
    int m_nPairsPerInstruction = 400;
    uint32_t m_nSeed = 1;
};

struct CMarkerStats {
    int m_nPieces = 0;
    uint64_t m_nSegments = 0;  // solid segments drawn (dashes not counted)
};

class CMarkerGen {
public:
    // The whole plot file as text; deterministic for given options.
    static std::string Generate(const CMarkerOptions& options, CMarkerStats* stats = nullptr);
    static bool WriteFile(const std::string& path, const CMarkerOptions& options, CMarkerStats* stats = nullptr);
};

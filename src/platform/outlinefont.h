// Outline font service: glyph outlines and cell advances of a named face at a height and escapement.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A point in 16.16 fixed point, device units (one unit per plotter unit), Y up.
struct FixedPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// Curve record types of the native outline form.
enum GlyphCurveType {
    kCurvePolyline = 1,  // straight lines through every point
    kCurveQSpline = 2,   // quadratic B-spline: control points, the last one on the curve
    kCurveCubic = 3,     // cubic Bezier segments, three points each (PostScript-flavoured faces)
};

struct GlyphCurve {
    int nType = kCurvePolyline;
    std::vector<FixedPoint> points;
};

// A closed contour: it starts and ends at `start`.
struct GlyphContour {
    FixedPoint start;
    std::vector<GlyphCurve> curves;
};

struct GlyphOutline {
    std::vector<GlyphContour> contours;
    // Distance to the next character's origin in whole device units. As on a display device, Y of the
    // increment grows downwards: text that runs upwards has a negative m_nCellIncY.
    int m_nCellIncX = 0;
    int m_nCellIncY = 0;
    // The face has no glyph for the code: the outline is its missing-glyph shape.
    bool m_bMissing = false;
};

class COutlineFont {
public:
    // Heights beyond this would not fit the 16.16 coordinates of the outline.
    static constexpr int kMaxHeight = 16384;

    COutlineFont();
    ~COutlineFont();
    COutlineFont(const COutlineFont&) = delete;
    COutlineFont& operator=(const COutlineFont&) = delete;

    // Opens the face whose em square is `height` device units, with the baseline turned
    // `escapement` tenths of a degree counter-clockwise. "宋体" (or "SimSun") is SimSun where installed,
    // else "AR PL UMing CN"; any face that is not installed falls back to the best Chinese face.
    // False when no outline face can be had or the height is not within 1..kMaxHeight.
    bool Open(const std::string& face, int height, int escapement);
    void Close();
    bool IsOpen() const;
    // Family name of the face actually opened (empty when closed).
    std::string FamilyName() const;

    // Outline of a character code: below 0x100 a single byte, else lead byte × 256 + trail byte of a
    // GBK character. Codes the face lacks give its missing-glyph outline. Rotated by the escapement.
    bool GetGlyphOutline(unsigned nCode, GlyphOutline& glyph);

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

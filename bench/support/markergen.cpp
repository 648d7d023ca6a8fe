// Synthetic cutting-room markers for benchmarks.
#include "support/markergen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr double kUnitsPerMm = 40.0;
constexpr double kPi = 3.14159265358979323846;

// Small deterministic generator, so a marker is the same on every platform.
class CRandom {
public:
    explicit CRandom(uint32_t seed) : m_nState(seed * 2654435761u + 1) {}
    double Next()  // [0, 1)
    {
        m_nState ^= m_nState << 13;
        m_nState ^= m_nState >> 7;
        m_nState ^= m_nState << 17;
        return static_cast<double>(m_nState >> 11) / 9007199254740992.0;
    }

private:
    uint64_t m_nState;
};

struct Point {
    long x, y;
};

class CWriter {
public:
    CWriter(std::string& out, const CMarkerOptions& o, CMarkerStats& stats) : m_out(out), m_o(o), m_stats(stats) {}

    void Add(const char* text) { m_out += text; }

    void Move(Point p)
    {
        char buf[48];
        std::snprintf(buf, sizeof buf, "PU%ld,%ld;\n", p.x, p.y);
        m_out += buf;
    }

    // One polyline from the current point, cut into PD instructions of a bounded number of pairs.
    void Draw(const std::vector<Point>& pts)
    {
        char buf[48];
        for (size_t i = 0; i < pts.size(); i += static_cast<size_t>(m_o.m_nPairsPerInstruction)) {
            m_out += "PD";
            size_t end = std::min(pts.size(), i + static_cast<size_t>(m_o.m_nPairsPerInstruction));
            for (size_t k = i; k < end; ++k) {
                std::snprintf(buf, sizeof buf, k + 1 < end ? "%ld,%ld," : "%ld,%ld;\n", pts[k].x, pts[k].y);
                m_out += buf;
            }
            m_stats.m_nSegments += end - i;
        }
    }

    void Line(Point a, Point b)
    {
        Move(a);
        Draw({b});
    }

private:
    std::string& m_out;
    const CMarkerOptions& m_o;
    CMarkerStats& m_stats;
};

Point At(double xMm, double yMm)
{
    return Point{std::lround(xMm * kUnitsPerMm), std::lround(yMm * kUnitsPerMm)};
}

// A piece outline: a wobbly rounded shape inside its cell, sampled densely like a flattened curve.
std::vector<Point> Outline(double cx, double cy, double rx, double ry, double spacing, CRandom& rnd)
{
    const double p3 = rnd.Next() * 2 * kPi, p5 = rnd.Next() * 2 * kPi, p7 = rnd.Next() * 2 * kPi;
    const double a3 = 0.04 + 0.05 * rnd.Next(), a5 = 0.03 * rnd.Next(), a7 = 0.02 * rnd.Next();
    const double perimeter = kPi * (3 * (rx + ry) - std::sqrt((3 * rx + ry) * (rx + 3 * ry)));
    const int n = std::max(16, static_cast<int>(perimeter / spacing));
    std::vector<Point> pts;
    pts.reserve(static_cast<size_t>(n) + 1);
    for (int i = 0; i <= n; ++i) {
        double t = 2 * kPi * (i % n) / n;
        // A squarish super-ellipse with a few harmonics: straight seams, rounded corners, curves.
        double c = std::cos(t), s = std::sin(t);
        double sq = std::pow(std::pow(std::fabs(c), 4) + std::pow(std::fabs(s), 4), -0.25);
        double r = sq * (1 - a3 - a5 - a7 + a3 * std::sin(3 * t + p3) + a5 * std::sin(5 * t + p5) +
                         a7 * std::sin(7 * t + p7));
        pts.push_back(At(cx + rx * r * c, cy + ry * r * s));
    }
    return pts;
}

void Piece(CWriter& w, double x0, double y0, const CMarkerOptions& o, CRandom& rnd)
{
    const double rx = o.m_fPieceLengthMm / 2 - 10, ry = o.m_fPieceWidthMm / 2 - 10;
    const double cx = x0 + o.m_fPieceLengthMm / 2, cy = y0 + o.m_fPieceWidthMm / 2;
    std::vector<Point> pts = Outline(cx, cy, rx, ry, o.m_fPointSpacingMm, rnd);
    w.Move(pts.back());
    w.Draw(pts);

    // Notches: short cuts into the piece at a few outline points.
    for (int k = 0; k < 8; ++k) {
        const Point& p = pts[(pts.size() - 1) * static_cast<size_t>(k) / 8 + 3];
        double dx = cx * kUnitsPerMm - p.x, dy = cy * kUnitsPerMm - p.y;
        double len = std::hypot(dx, dy);
        w.Line(p, Point{p.x + std::lround(dx / len * 240), p.y + std::lround(dy / len * 240)});
    }
    // Grain line with arrow heads, along the roll.
    const double gl = o.m_fPieceLengthMm * 0.5;
    Point a = At(cx - gl / 2, cy), b = At(cx + gl / 2, cy);
    w.Line(a, b);
    w.Line(b, At(cx + gl / 2 - 12, cy + 5));
    w.Line(b, At(cx + gl / 2 - 12, cy - 5));
    w.Line(a, At(cx - gl / 2 + 12, cy + 5));
    w.Line(a, At(cx - gl / 2 + 12, cy - 5));
    // A dashed fold or stitch line across the piece.
    w.Add("LT2,4;\n");
    w.Line(At(cx - rx * 0.6, cy - ry * 0.5), At(cx + rx * 0.6, cy - ry * 0.5));
    w.Add("LT;\n");
}

}  // namespace

std::string CMarkerGen::Generate(const CMarkerOptions& o, CMarkerStats* stats)
{
    CMarkerStats local;
    CMarkerStats& st = stats ? *stats : local;
    st = CMarkerStats{};
    std::string out;
    CWriter w(out, o, st);
    CRandom rnd(o.m_nSeed);
    w.Add("IN;\nDF;\nPA;\nSP1;\nLT;\n");
    const int columns = static_cast<int>(o.m_fLengthMm / o.m_fPieceLengthMm);
    const int rows = static_cast<int>(o.m_fWidthMm / o.m_fPieceWidthMm);
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            Piece(w, c * o.m_fPieceLengthMm, r * o.m_fPieceWidthMm, o, rnd);
            ++st.m_nPieces;
        }
    }
    // The marker's frame, as CAD systems draw it around the roll.
    w.Move(At(0, 0));
    w.Draw({At(o.m_fLengthMm, 0), At(o.m_fLengthMm, o.m_fWidthMm), At(0, o.m_fWidthMm), At(0, 0)});
    w.Add("PU0,0;\nSP0;\n");
    return out;
}

bool CMarkerGen::WriteFile(const std::string& path, const CMarkerOptions& o, CMarkerStats* stats)
{
    std::string text = Generate(o, stats);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

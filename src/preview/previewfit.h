// How the preview fits a drawing into the window: the scale, the scroll sizes and the mapping of a coordinate.
#pragma once

struct CPreviewFit {
    // Largest scroll size and mapped coordinate; keeps every conversion to int defined.
    static constexpr int kCoordLimit = 1 << 30;

    // Fits a drawing of extent W x H into a client area of w x h pixels at zoom percent.
    // False, and nothing to draw, when the client area is empty.
    static bool Compute(float W, float H, int w, int h, int zoom, CPreviewFit& fit);

    // trunc(trunc(coord) / s * zoom / 100), clamped to +-kCoordLimit; NaN maps to 0.
    int Map(float coord) const
    {
        const int c = static_cast<int>(Clamp(coord, -2147483648.0f, 2147483520.0f));
        return static_cast<int>(Clamp(c / m_fScale * m_nZoom / 100, -kLimitF, kLimitF));
    }

    // The value within [lo, hi], NaN as 0: a float that converts to int without overflow.
    static float Clamp(float v, float lo, float hi)
    {
        v = v == v ? v : 0.0f;
        v = hi < v ? hi : v;
        return v < lo ? lo : v;
    }
    static constexpr float kLimitF = static_cast<float>(kCoordLimit);

    float m_fScale = 1.0f;  // plotter units per pixel at 100 %
    int m_nZoom = 100;
    bool m_bFitHeight = false;
    int m_nScrollX = 0;
    int m_nScrollY = 0;
};

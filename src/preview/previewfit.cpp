// How the preview fits a drawing into the window: the scale, the scroll sizes and the mapping of a coordinate.
#include "preview/previewfit.h"

#include <cmath>

namespace {

bool Usable(float s)
{
    return std::isfinite(s) && s > 0.0f;
}

int ClampTrunc(float v, int lo, int hi)
{
    return static_cast<int>(CPreviewFit::Clamp(v, static_cast<float>(lo), static_cast<float>(hi)));
}

}  // namespace

bool CPreviewFit::Compute(float W, float H, int w, int h, int zoom, CPreviewFit& fit)
{
    if (w <= 0 || h <= 0)
        return false;
    const float sx = W / w;
    const float sy = H / h;
    const int aspect = w / h;  // a 1000 x 700 window counts as 1

    fit.m_nZoom = zoom;
    fit.m_bFitHeight = aspect < W / H;
    fit.m_fScale = fit.m_bFitHeight ? sy : sx;
    // A drawing without extent along the chosen axis is fitted along the other one; one without
    // any extent is shown at one plotter unit per pixel.
    if (!Usable(fit.m_fScale)) {
        fit.m_bFitHeight = !fit.m_bFitHeight;
        fit.m_fScale = fit.m_bFitHeight ? sy : sx;
    }
    if (!Usable(fit.m_fScale)) {
        fit.m_bFitHeight = false;
        fit.m_fScale = 1.0f;
    }

    const float s = fit.m_fScale;
    if (fit.m_bFitHeight) {
        fit.m_nScrollX = ClampTrunc(W / s * zoom / 100 + 500, 0, kCoordLimit);
        fit.m_nScrollY = h * zoom / 100 + 300;
    } else {
        fit.m_nScrollX = w * zoom / 100 + 500;
        fit.m_nScrollY = ClampTrunc(H / s * zoom / 100 + 300, 0, kCoordLimit);
    }
    return true;
}

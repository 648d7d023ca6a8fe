// Size in metres and the fold of plots wider than the plotter.
#pragma once

#include <cstdint>

struct PltInfo;

class CJobGeometry {
public:
    // Sets the width and length in metres; unless previewSlot, decides the fold against maxWidthCm
    // and adjusts the metres of a folded job. foldFlag is left alone for the preview slot.
    static void ComputeSize(PltInfo& info, bool previewSlot, float maxWidthCm, uint8_t& foldFlag);
    // Cuts the plot at half its width and stacks the right half after the left along Y,
    // with cut dashes and registration crosses.
    static void FoldWideJob(PltInfo& info);
};

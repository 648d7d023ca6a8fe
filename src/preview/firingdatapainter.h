// Draws the firing data of the last packed segment as nozzle dashes, one band per pass and head.
#pragma once

#include <QSize>

class CMarquellDoc;
class QPainter;

class CFiringDataPainter {
public:
    static constexpr int kSlots = 154;        // firing slots per column position of the packed words
    static constexpr int kBandHeight = 150;   // pixels per pass and head

    // The scroll sizes of the drawing: (columns + 20, total nozzles x 8). False while no segment
    // has been packed since start-up.
    static bool Extent(const CMarquellDoc& doc, QSize& size);

    // The caller holds the document's print-data lock. Draws nothing while no segment exists.
    static void Draw(QPainter& p, const CMarquellDoc& doc);
};

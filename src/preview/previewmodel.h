// The preview's private copy of a slot's model, turned three quarter turns, kept until the slot changes.
#pragma once

#include <QLine>
#include <QRect>
#include <cstdint>
#include <vector>

#include "plot/pltfiledata.h"
#include "preview/previewfit.h"

class CPreviewModel {
public:
    CPreviewModel() = default;
    CPreviewModel(const CPreviewModel&) = delete;
    CPreviewModel& operator=(const CPreviewModel&) = delete;

    // Brings the copy up to date with the slot's model: a fresh model receives the slot's count,
    // lines and extent and is turned three times. The slot is only read. True when rebuilt.
    bool Sync(const PltInfo& slot);

    const CPltFileData& Turned() const { return m_Turned; }

    // The copy's lines mapped at the fit's scale and zoom, without the lines that map to a single
    // point (a line drawn to its own start point sets no pixel).
    const std::vector<QLine>& MappedLines(const CPreviewFit& fit);
    // The box around the mapped lines of the last MappedLines (empty when there are none).
    const QRect& MappedBounds() const { return m_MappedBounds; }

    void Release();

private:
    struct Stamp {
        uint32_t m_nCount = 0;
        float m_fMaxX = 0.0f;
        float m_fMaxY = 0.0f;
        uint64_t m_nHash = 0;
        bool operator==(const Stamp&) const = default;
    };
    static Stamp StampOf(const PltInfo& info);
    void Rebuild(const PltInfo& slot);

    CPltFileData m_Turned;
    Stamp m_Stamp;
    bool m_bValid = false;

    std::vector<int> m_Coords;
    std::vector<QLine> m_Mapped;
    QRect m_MappedBounds;
    float m_fMappedScale = 0.0f;
    int m_nMappedZoom = 0;
    bool m_bMappedValid = false;
};

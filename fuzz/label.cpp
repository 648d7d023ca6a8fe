// Fuzz target: one label through the label path. The input gives the character height, the
// position and the direction angle (as the reader hands them from SI, the pen point and DI), then
// the label's bytes. The model must stay consistent: every record stored, the extent covering them.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "fuzzsupport.h"
#include "plot/pltfiledata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CFuzzBytes in(data, size);
    // Heights beyond what a face can be opened at only skip the label: keep most inputs useful.
    const int height = (in.Byte() & 0x80) ? in.I32() : static_cast<int>(in.U16() & 0x3FFF);
    const int x = in.I32();
    const int y = in.I32();
    const float angle = in.Float();
    std::string_view text(reinterpret_cast<const char*>(in.Rest()), in.RestSize());

    CPltFileData model;
    model.SetCharSize(height);
    model.AddLabel("宋体", height, x, y, text, angle);

    FUZZ_CHECK(model.m_nLineCount <= model.m_nCapacity);
    FUZZ_CHECK(model.m_nLineCount == 0 || model.m_pLines);
    for (uint32_t i = 0; i < model.m_nLineCount; ++i) {
        const PltLine& l = model.m_pLines[i];
        FUZZ_CHECK(std::isfinite(l.x1) && std::isfinite(l.y1) && std::isfinite(l.x2) && std::isfinite(l.y2));
        FUZZ_CHECK(l.x2 <= model.m_fMaxX && l.y2 <= model.m_fMaxY);
    }
    return 0;
}

// Carriage geometry and the firing order of the nozzles, derived from the interleave the heads use.
#include "sim/carriage.h"

#include "settings/userdefine.h"

namespace {

// The interleave: 22 address groups of 7 slots; nozzle n goes to group (15 n) mod 22, the groups 7 and
// 14 shifted by one slot. The second column fires the same sequence 56 slots later.
int SlotOfNozzle(int column, int n)
{
    int a = (15 * (n % 22)) % 22;
    int slot = 7 * a + n / 22 + ((a == 7 || a == 14) ? 1 : 0);
    return column == 0 ? slot : (slot + 56) % CCarriage::kMaxSlots;
}

}  // namespace

CCarriage::CCarriage(const CUserDefine& s)
{
    m_nHeads = s.JetPrintHead;
    m_nNozzles = s.m_nNozzlesPerHead;
    m_nSlots = s.m_nSlotsPerHead;
    m_bFourPass = m_nHeads < 3;

    auto open = [&](int pos) { return s.JetPrintHeadOpenStatus[2 * pos] == 1; };
    int first = -1;
    switch (m_nHeads) {
    case 1:
        for (int pos = 3; pos >= 0; --pos)
            if (open(pos))
                first = pos;
        break;
    case 2:
        for (int pos = 0; pos < 3 && first < 0; ++pos)
            if (open(pos) && open(pos + 1))
                first = pos;
        break;
    case 3:
        for (int pos = 0; pos < 2 && first < 0; ++pos)
            if (open(pos) && open(pos + 1) && open(pos + 2))
                first = pos;
        break;
    case 4:
        if (open(0) && open(1) && open(2) && open(3))
            first = 0;
        break;
    default: break;
    }
    m_bMounted = first >= 0;
    for (int h = 0; m_bMounted && h < m_nHeads; ++h)
        m_nHeadAt[first + h] = h;

    for (int i = 0; i < 8; ++i)
        m_nOffset[i] = s.JetPrintHeadValueX[i];
    for (int pos = 0; pos < 4; ++pos)
        m_nSkewStep[pos] = s.JetPrintHeadValueY[2 * pos];

    for (int column = 0; column < 2; ++column) {
        for (int slot = 0; slot < kMaxSlots; ++slot)
            m_nSlotNozzle[column][slot] = -1;
        for (int n = 0; n < m_nNozzles && n < 150; ++n)
            m_nSlotNozzle[column][SlotOfNozzle(column, n)] = static_cast<int16_t>(n);
    }
}

int CCarriage::NozzleOfSlot(int column, int s) const
{
    if (column < 0 || column > 1 || s < 0 || s >= kMaxSlots)
        return -1;
    return m_nSlotNozzle[column][s];
}

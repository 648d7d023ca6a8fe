// The virtual plotter's carriage, built as the settings describe it: head type, which positions carry a
// head, the nozzle column offsets and skews, and the firing slot of every nozzle.
#pragma once

#include <cstdint>

class CUserDefine;

class CCarriage {
public:
    static constexpr int kMaxSlots = 154;  // firing slots of one column position in the slot tables

    explicit CCarriage(const CUserDefine& settings);

    // Head mounted at carriage position pos (0..3), or -1.
    int HeadAt(int pos) const { return pos >= 0 && pos < 4 ? m_nHeadAt[pos] : -1; }
    // Nozzle fired by slot s of the first (column 0) or second (column 1) nozzle column, or -1.
    int NozzleOfSlot(int column, int s) const;
    // X offset in dots of a nozzle column of the head at pos.
    int Offset(int pos, int column) const { return m_nOffset[2 * pos + column]; }
    // Displacement in dots of nozzle n of the head at pos (both columns follow the first one).
    int Skew(int pos, int n) const { return static_cast<int>(int64_t{m_nSkewStep[pos]} * n / 150); }

    int m_nHeads = 1;         // heads mounted
    int m_nNozzles = 150;     // nozzles per column
    int m_nSlots = 154;       // firing slots per column position
    bool m_bFourPass = true;  // one or two heads: four passes per segment
    bool m_bMounted = false;  // the open positions match one of the ways heads can be mounted

private:
    int m_nHeadAt[4] = {-1, -1, -1, -1};
    int m_nOffset[8] = {};
    int m_nSkewStep[4] = {};
    int16_t m_nSlotNozzle[2][kMaxSlots] = {};
};

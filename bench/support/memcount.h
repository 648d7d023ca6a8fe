// Heap accounting for benchmarks that report peak memory: every allocation of the process is
// counted by its usable size (allocated, not only touched, so the figure errs on the high side).
#pragma once

#include <cstdint>

class CMemCount {
public:
    static int64_t InUse();
    // The largest InUse() since the last ResetPeak().
    static int64_t Peak();
    static void ResetPeak();
};

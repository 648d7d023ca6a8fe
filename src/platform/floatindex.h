// Float-to-integer conversions of the print path: truncation toward zero that never overflows.
#pragma once

#include <climits>
#include <cmath>
#include <cstdint>

// Truncates toward zero; values beyond the int range saturate and NaN gives 0, so a corrupt drawing
// can never make the conversion undefined.
inline int TruncToInt(float f)
{
    if (std::isnan(f))
        return 0;
    if (f >= 2147483648.0f)
        return INT_MAX;
    if (f <= -2147483648.0f)
        return INT_MIN;
    return static_cast<int>(f);
}

// The same in 64 bits, for counts that may legitimately pass the int range before being checked.
inline int64_t TruncToInt64(float f)
{
    if (std::isnan(f))
        return 0;
    if (f >= 9.2e18f)
        return INT64_MAX;
    if (f <= -9.2e18f)
        return INT64_MIN;
    return static_cast<int64_t>(f);
}

// Dot and row indices: truncation toward zero, saturating well inside the int range so that
// index + length arithmetic cannot overflow.
inline int TruncIndex(float f)
{
    constexpr float kLimit = 1073741824.0f;  // 2^30
    if (std::isnan(f))
        return INT_MIN / 2;  // below zero: dropped by every consumer
    if (f >= kLimit)
        return 1 << 30;
    if (f <= -kLimit)
        return -(1 << 30);
    return static_cast<int>(f);
}

// Shared by the fuzz targets: a byte reader over the input, a scratch folder, virtual time and a
// check that aborts (the targets run in release builds, where assert is gone).
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/clock.h"

#define FUZZ_CHECK(cond)                                                                        \
    do {                                                                                        \
        if (!(cond)) {                                                                          \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);      \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)

// Takes fixed-size values from the front of the input; once it runs dry every value reads as 0.
class CFuzzBytes {
public:
    CFuzzBytes(const uint8_t* data, size_t size) : m_pData(data), m_nSize(size) {}

    uint8_t Byte() { return m_nPos < m_nSize ? m_pData[m_nPos++] : 0; }
    uint16_t U16() { return static_cast<uint16_t>(Byte() | Byte() << 8); }
    uint32_t U32() { return static_cast<uint32_t>(U16()) | static_cast<uint32_t>(U16()) << 16; }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    float Float()
    {
        uint32_t bits = U32();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    // Whatever is left.
    const uint8_t* Rest() const { return m_pData + m_nPos; }
    size_t RestSize() const { return m_nSize - m_nPos; }

private:
    const uint8_t* m_pData;
    size_t m_nSize;
    size_t m_nPos = 0;
};

// A folder of this process for the files a target has to put on disk.
inline const std::filesystem::path& FuzzScratchDir()
{
    static const std::filesystem::path dir = [] {
        std::filesystem::path p =
            std::filesystem::temp_directory_path() / ("tessaline_fuzz_" + std::to_string(::getpid()));
        std::filesystem::create_directories(p);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(FuzzScratchDir(), ec);
        });
        return p;
    }();
    return dir;
}

inline void WriteFuzzFile(const std::filesystem::path& path, const uint8_t* data, size_t size)
{
    FILE* f = std::fopen(path.string().c_str(), "wb");
    FUZZ_CHECK(f);
    FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, f) == size);
    FUZZ_CHECK(std::fclose(f) == 0);
}

// The reader waits for growing files: on virtual time that costs nothing.
inline void UseVirtualTime()
{
    static CVirtualClock clock;
    SetClock(&clock);
}

// Page storage and the 1-bit PNG writer (libpng).
#include "sim/pageimage.h"

#include <png.h>

#include <bit>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

void CPageImage::Reset(int width, bool keep, size_t maxBytes)
{
    m_Bits.clear();
    m_Bits.shrink_to_fit();
    m_nWidth = width > 0 ? width : 0;
    m_nRowBytes = (m_nWidth + 7) / 8;
    m_nHeight = 0;
    m_bKeep = keep;
    m_nMaxBytes = maxBytes;
    m_nLost = 0;
    m_nCounted = 0;
}

void CPageImage::EnsureHeight(int rows)
{
    if (rows <= m_nHeight)
        return;
    m_nHeight = rows;
    if (!m_bKeep || m_nRowBytes == 0)
        return;
    size_t want = static_cast<size_t>(rows) * static_cast<size_t>(m_nRowBytes);
    if (want > m_nMaxBytes)
        want = m_nMaxBytes / static_cast<size_t>(m_nRowBytes) * static_cast<size_t>(m_nRowBytes);
    if (want > m_Bits.size())
        m_Bits.resize(want, 0);
}

bool CPageImage::Set(int x, int y)
{
    if (x < 0 || x >= m_nWidth || y < 0)
        return false;
    EnsureHeight(y + 1);
    if (!m_bKeep) {
        ++m_nCounted;
        return true;
    }
    size_t at = static_cast<size_t>(y) * static_cast<size_t>(m_nRowBytes) + static_cast<size_t>(x / 8);
    if (at >= m_Bits.size()) {
        ++m_nLost;
        return false;
    }
    m_Bits[at] |= static_cast<uint8_t>(1u << (x % 8));
    return true;
}

bool CPageImage::Get(int x, int y) const
{
    const uint8_t* row = (x >= 0 && x < m_nWidth) ? Row(y) : nullptr;
    return row && (row[x / 8] >> (x % 8)) & 1;
}

const uint8_t* CPageImage::Row(int y) const
{
    if (y < 0 || y >= m_nHeight)
        return nullptr;
    size_t at = static_cast<size_t>(y) * static_cast<size_t>(m_nRowBytes);
    return at + static_cast<size_t>(m_nRowBytes) <= m_Bits.size() && m_nRowBytes ? m_Bits.data() + at : nullptr;
}

int64_t CPageImage::DotCount() const
{
    if (!m_bKeep)
        return m_nCounted;
    int64_t n = 0;
    for (uint8_t b : m_Bits)
        n += std::popcount(static_cast<unsigned>(b));
    return n;
}

namespace {

void PngError(png_structp png, png_const_charp message)
{
    auto* pError = static_cast<std::string*>(png_get_error_ptr(png));
    if (pError)
        *pError = message;
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

// Writes the whole image; libpng reports errors by longjmp, so no object with a destructor lives here.
bool WriteImage(png_structp png, png_infop info, FILE* f, const CPageImage& page, const uint8_t* blank)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    const int width = page.Width() > 0 ? page.Width() : 1;
    const int height = page.Height() > 0 ? page.Height() : 1;
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 1, PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_packswap(png);     // dot x lives in bit x mod 8, PNG wants the leftmost pixel in the top bit
    png_set_invert_mono(png);  // a set bit is a black dot, PNG grey 0 is black
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = page.Row(y);
        png_write_row(png, row ? row : blank);
    }
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

bool CPageImage::WritePng(const std::string& path, std::string* pError) const
{
    std::string error;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        if (pError)
            *pError = path + ": " + std::strerror(errno);
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, PngError, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const std::vector<uint8_t> blank(static_cast<size_t>(m_nRowBytes) + 1, 0);
    bool ok = png && info && WriteImage(png, info, f, *this, blank.data());
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        error = std::strerror(errno);
    }
    if (!ok && pError)
        *pError = path + ": " + (error.empty() ? "cannot write the image" : error);
    return ok;
}

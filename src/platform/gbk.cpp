// iconv-based conversions.
#include "platform/gbk.h"

#include <iconv.h>

#include <cerrno>

namespace {

std::string Convert(std::string_view in, const char* to, const char* from, const char* replacement)
{
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == (iconv_t)-1)
        return std::string(in);
    out.reserve(in.size() * 2 + 4);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buf[4096];
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof(buf);
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, dst - buf);
        if (r == (size_t)-1 && errno != E2BIG) {
            // Skip one byte of the invalid or incomplete sequence.
            out += replacement;
            ++src;
            --srcLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8)
{
    return Convert(utf8, "GBK", "UTF-8", "?");
}

std::string GbkToUtf8(std::string_view gbk)
{
    return Convert(gbk, "UTF-8", "GBK", "\xEF\xBF\xBD");
}

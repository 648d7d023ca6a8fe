// Outline font service on FreeType (glyphs) and fontconfig (face lookup); GBK codes through iconv.
#include "platform/outlinefont.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <iconv.h>
#include <strings.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <numbers>

namespace {

struct FaceLocation {
    std::string strFile;
    int nIndex = 0;
    std::string strFamily;
};

bool HasFamily(FcPattern* pFont, const std::string& family)
{
    FcChar8* pName = nullptr;
    for (int i = 0; FcPatternGetString(pFont, FC_FAMILY, i, &pName) == FcResultMatch; ++i) {
        if (!strcasecmp(reinterpret_cast<const char*>(pName), family.c_str()))
            return true;
    }
    return false;
}

// Asks fontconfig for an outline face of `family`; with bExact the answer must carry that family name,
// otherwise the best face for Chinese text is good enough.
bool MatchFace(const std::string& family, bool bExact, FaceLocation& loc)
{
    FcPattern* pPattern = FcPatternCreate();
    if (!pPattern)
        return false;
    if (!family.empty())
        FcPatternAddString(pPattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    if (!bExact)
        FcPatternAddString(pPattern, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
    FcPatternAddBool(pPattern, FC_OUTLINE, FcTrue);
    FcPatternAddInteger(pPattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pPattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pPattern, FcMatchPattern);
    FcDefaultSubstitute(pPattern);
    FcResult result = FcResultNoMatch;
    FcPattern* pFont = FcFontMatch(nullptr, pPattern, &result);
    FcPatternDestroy(pPattern);
    if (!pFont)
        return false;

    bool bOk = false;
    FcBool bOutline = FcFalse;
    FcChar8* pFile = nullptr;
    if (FcPatternGetBool(pFont, FC_OUTLINE, 0, &bOutline) == FcResultMatch && bOutline &&
        FcPatternGetString(pFont, FC_FILE, 0, &pFile) == FcResultMatch && (!bExact || HasFamily(pFont, family))) {
        loc.strFile = reinterpret_cast<const char*>(pFile);
        loc.nIndex = 0;
        FcPatternGetInteger(pFont, FC_INDEX, 0, &loc.nIndex);
        FcChar8* pFamily = nullptr;
        if (FcPatternGetString(pFont, FC_FAMILY, 0, &pFamily) == FcResultMatch)
            loc.strFamily = reinterpret_cast<const char*>(pFamily);
        bOk = true;
    }
    FcPatternDestroy(pFont);
    return bOk;
}

bool IsSongTi(const std::string& face)
{
    return face == "宋体" || !strcasecmp(face.c_str(), "SimSun");
}

bool LocateFace(const std::string& face, FaceLocation& loc)
{
    std::vector<std::string> candidates;
    if (IsSongTi(face))
        candidates = {"SimSun", "宋体", "AR PL UMing CN"};
    else if (!face.empty())
        candidates = {face};
    for (const std::string& family : candidates) {
        if (MatchFace(family, true, loc))
            return true;
    }
    return MatchFace(face, false, loc);
}

// Face lookups are slow compared with a label, so each name is resolved once per process.
bool ResolveFace(const std::string& face, FaceLocation& loc)
{
    static std::mutex mutex;
    static std::map<std::string, FaceLocation> resolved;
    std::lock_guard<std::mutex> lock(mutex);
    auto it = resolved.find(face);
    if (it == resolved.end()) {
        FaceLocation found;
        if (!LocateFace(face, found))
            return false;
        it = resolved.emplace(face, found).first;
    }
    loc = it->second;
    return true;
}

// FreeType objects may not be shared between threads, so each thread keeps its own library, the faces
// it has opened and its GBK converter for as long as it runs.
struct ThreadFonts {
    FT_Library library = nullptr;
    std::map<std::pair<std::string, int>, FT_Face> faces;
    iconv_t gbk = reinterpret_cast<iconv_t>(-1);

    ThreadFonts() = default;
    ThreadFonts(const ThreadFonts&) = delete;
    ThreadFonts& operator=(const ThreadFonts&) = delete;
    ~ThreadFonts()
    {
        for (auto& entry : faces)
            FT_Done_Face(entry.second);
        if (library)
            FT_Done_FreeType(library);
        if (gbk != reinterpret_cast<iconv_t>(-1))
            iconv_close(gbk);
    }

    FT_Face GetFace(const FaceLocation& loc)
    {
        auto key = std::make_pair(loc.strFile, loc.nIndex);
        auto it = faces.find(key);
        if (it != faces.end())
            return it->second;
        if (!library && FT_Init_FreeType(&library))
            return nullptr;
        FT_Face face = nullptr;
        if (FT_New_Face(library, loc.strFile.c_str(), loc.nIndex, &face))
            return nullptr;
        if (!FT_IS_SCALABLE(face)) {
            FT_Done_Face(face);
            return nullptr;
        }
        faces.emplace(key, face);
        return face;
    }

    // Unicode code point of a character code, 0 when it is no valid GBK character.
    uint32_t CodePoint(unsigned nCode)
    {
        if (nCode < 0x80)
            return nCode;
        if (gbk == reinterpret_cast<iconv_t>(-1)) {
            gbk = iconv_open("UTF-32LE", "GBK");
            if (gbk == reinterpret_cast<iconv_t>(-1))
                return 0;
        }
        char in[2];
        size_t inLeft = 0;
        if (nCode >= 0x100)
            in[inLeft++] = static_cast<char>((nCode >> 8) & 0xFF);
        in[inLeft++] = static_cast<char>(nCode & 0xFF);
        unsigned char out[4] = {};
        char* pIn = in;
        char* pOut = reinterpret_cast<char*>(out);
        size_t outLeft = sizeof(out);
        iconv(gbk, nullptr, nullptr, nullptr, nullptr);
        if (iconv(gbk, &pIn, &inLeft, &pOut, &outLeft) == static_cast<size_t>(-1) || inLeft || outLeft)
            return 0;
        return out[0] | out[1] << 8 | out[2] << 16 | static_cast<uint32_t>(out[3]) << 24;
    }
};

thread_local ThreadFonts tFonts;

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
#define TESSALINE_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSALINE_LSAN 1
#endif
#endif
#ifdef TESSALINE_LSAN
// fontconfig 2.14 loses a few bytes while parsing its configuration files; not ours to fix, and it
// would fail every sanitizer run that draws a label. Weak, so that a program-wide list replaces it.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
#endif

struct COutlineFont::Impl {
    FT_Face face = nullptr;
    std::string strFamily;
    double fScale = 0.0;  // device units per font unit
    double fCos = 1.0;
    double fSin = 0.0;

    FixedPoint Transform(const FT_Vector& v) const
    {
        double x = (v.x * fCos - v.y * fSin) * fScale;
        double y = (v.x * fSin + v.y * fCos) * fScale;
        return FixedPoint{ToFixed(x), ToFixed(y)};
    }

    static int32_t ToFixed(double v)
    {
        double fixed = std::clamp(v * 65536.0, -2147483648.0, 2147483647.0);
        return static_cast<int32_t>(std::llround(fixed));
    }

    void AddContour(const FT_Outline& outline, int first, int last, GlyphOutline& glyph) const;
};

namespace {

// Builds the native records of one contour: runs of on-curve points are polylines, conic control
// points end in a quadratic spline record at the next on-curve point, cubic segments are gathered
// into one cubic record. A contour that ends off the curve closes on its start point.
class CContourBuilder {
public:
    explicit CContourBuilder(GlyphContour& contour) : m_contour(contour) {}

    void Add(char tag, const FixedPoint& p)
    {
        switch (FT_CURVE_TAG(tag)) {
        case FT_CURVE_TAG_ON:
            if (!m_bAwaitingEnd && Current() != kCurvePolyline)
                Begin(kCurvePolyline);
            m_contour.curves.back().points.push_back(p);
            if (m_bAwaitingEnd && Current() == kCurveQSpline)
                m_bSplineDone = true;
            m_bAwaitingEnd = false;
            break;
        case FT_CURVE_TAG_CONIC:
            if (!m_bAwaitingEnd || Current() != kCurveQSpline)
                Begin(kCurveQSpline);
            m_contour.curves.back().points.push_back(p);
            m_bAwaitingEnd = true;
            break;
        default:
            if (Current() != kCurveCubic)
                Begin(kCurveCubic);
            m_contour.curves.back().points.push_back(p);
            m_bAwaitingEnd = true;
            break;
        }
    }

    void Finish()
    {
        if (m_bAwaitingEnd)
            m_contour.curves.back().points.push_back(m_contour.start);
    }

private:
    int Current() const
    {
        if (m_contour.curves.empty() || m_bSplineDone)
            return 0;
        return m_contour.curves.back().nType;
    }

    void Begin(int nType)
    {
        m_contour.curves.push_back(GlyphCurve{nType, {}});
        m_bSplineDone = false;
    }

    GlyphContour& m_contour;
    bool m_bAwaitingEnd = false;
    bool m_bSplineDone = false;  // the last spline record ended on the curve: the next one is new
};

}  // namespace

void COutlineFont::Impl::AddContour(const FT_Outline& outline, int first, int last, GlyphOutline& glyph) const
{
    GlyphContour& contour = glyph.contours.emplace_back();
    const FT_Vector* pts = outline.points;
    const char* tags = outline.tags;
    int from = first;
    int to = last;
    if (FT_CURVE_TAG(tags[first]) == FT_CURVE_TAG_ON) {
        contour.start = Transform(pts[first]);
        from = first + 1;
    } else if (FT_CURVE_TAG(tags[last]) == FT_CURVE_TAG_ON) {
        contour.start = Transform(pts[last]);
        to = last - 1;
    } else {
        // Both ends off the curve: the contour starts on the implied point between them.
        FT_Vector mid{(pts[first].x + pts[last].x) / 2, (pts[first].y + pts[last].y) / 2};
        contour.start = Transform(mid);
    }
    CContourBuilder builder(contour);
    for (int i = from; i <= to; ++i)
        builder.Add(tags[i], Transform(pts[i]));
    builder.Finish();
}

COutlineFont::COutlineFont() : m_pImpl(std::make_unique<Impl>()) {}

COutlineFont::~COutlineFont() = default;

bool COutlineFont::Open(const std::string& face, int height, int escapement)
{
    Close();
    if (height < 1 || height > kMaxHeight)
        return false;
    FaceLocation loc;
    if (!ResolveFace(face, loc))
        return false;
    FT_Face ftFace = tFonts.GetFace(loc);
    if (!ftFace || ftFace->units_per_EM == 0)
        return false;
    m_pImpl->face = ftFace;
    m_pImpl->strFamily = loc.strFamily;
    m_pImpl->fScale = static_cast<double>(height) / ftFace->units_per_EM;
    double radians = (escapement % 3600) * std::numbers::pi / 1800.0;
    m_pImpl->fCos = std::cos(radians);
    m_pImpl->fSin = std::sin(radians);
    return true;
}

void COutlineFont::Close()
{
    *m_pImpl = Impl{};
}

bool COutlineFont::IsOpen() const
{
    return m_pImpl->face != nullptr;
}

std::string COutlineFont::FamilyName() const
{
    return m_pImpl->strFamily;
}

bool COutlineFont::GetGlyphOutline(unsigned nCode, GlyphOutline& glyph)
{
    glyph = GlyphOutline{};
    FT_Face face = m_pImpl->face;
    if (!face)
        return false;
    uint32_t codePoint = tFonts.CodePoint(nCode);
    FT_UInt index = codePoint ? FT_Get_Char_Index(face, codePoint) : 0;
    glyph.m_bMissing = index == 0;
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return false;

    const FT_Outline& outline = face->glyph->outline;
    int first = 0;
    for (int c = 0; c < outline.n_contours; ++c) {
        int last = outline.contours[c];
        if (last >= first && last < outline.n_points)
            m_pImpl->AddContour(outline, first, last, glyph);
        first = last + 1;
    }

    double advance = face->glyph->metrics.horiAdvance * m_pImpl->fScale;
    glyph.m_nCellIncX = static_cast<int>(std::lround(advance * m_pImpl->fCos));
    glyph.m_nCellIncY = -static_cast<int>(std::lround(advance * m_pImpl->fSin));
    return true;
}

// The plot reader: instruction framing, dispatch, tokens and pairs, dashes, extent, Y flip,
// and the model's mirror and quarter turn.
#include "plot/pltfiledata.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <system_error>

#include "platform/clock.h"

namespace {

enum Mnemonic { kPU, kPD, kPA, kDI, kIP, kSC, kLT, kSI, kOther };

constexpr int kOnPercent[8] = {0, 0, 50, 70, 80, 70, 50, 70};
const char kLabelFace[] = "宋体";

constexpr int Code(char a, char b) { return (static_cast<unsigned char>(a) << 8) | static_cast<unsigned char>(b); }

Mnemonic PairMnemonic(int code)
{
    switch (code) {
    case Code('P', 'U'): return kPU;
    case Code('P', 'D'): return kPD;
    case Code('P', 'A'): return kPA;
    case Code('D', 'I'): return kDI;
    case Code('I', 'P'): return kIP;
    case Code('S', 'C'): return kSC;
    case Code('L', 'T'): return kLT;
    case Code('S', 'I'): return kSI;
    default: return kOther;
    }
}

// A number read from the file: anything not finite, or beyond the range of a float, reads as 0.
float ToModelFloat(double d)
{
    if (!(std::fabs(d) <= static_cast<double>(FLT_MAX)))
        return 0.0f;
    return static_cast<float>(d);
}

constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Long tokens: strtod on a terminated copy (kept out of line, its buffer off the common path).
[[gnu::noinline]] double SlowTokenValue(const char* tok, int len)
{
    char buf[CPltFileData::kInstructionSize + 1];
    std::memcpy(buf, tok, static_cast<size_t>(len));
    buf[len] = '\0';
    return std::strtod(buf, nullptr);
}

// The decimal prefix of a token made of digits, '.' and '-', exactly as strtod reads it.
// Short tokens take an exact fast path (mantissa below 2^53 over an exact power of ten, one
// correctly rounded division); anything longer goes to strtod itself.
double TokenValue(const char* tok, int len)
{
    int i = 0;
    bool neg = false;
    if (i < len && tok[i] == '-') {
        neg = true;
        ++i;
    }
    uint64_t mant = 0;
    int sigDigits = 0, fracDigits = 0, digits = 0;
    bool dot = false;
    for (; i < len; ++i) {
        char c = tok[i];
        if (c == '.' && !dot) {
            dot = true;
            continue;
        }
        if (c < '0' || c > '9')
            break;
        ++digits;
        if (dot)
            ++fracDigits;
        if (mant == 0 && c == '0')
            continue;
        if (++sigDigits > 15)
            break;
        mant = mant * 10 + static_cast<uint64_t>(c - '0');
    }
    if (digits == 0)
        return 0.0;
    if (sigDigits <= 15 && fracDigits <= 22) {
        double v = static_cast<double>(mant) / kPow10[fracDigits];
        return neg ? -v : v;
    }
    return SlowTokenValue(tok, len);
}

// Truncates toward zero, saturating where the value does not fit an int.
int TruncToInt(float v)
{
    if (!(v > -2147483648.0f))
        return v != v ? 0 : INT32_MIN;
    if (!(v < 2147483648.0f))
        return INT32_MAX;
    return static_cast<int>(v);
}

float DirectionAngle(float run, float rise)
{
    if (run == 0.0f && rise == 0.0f)
        return 0.0f;
    if (rise == 0.0f && run < 0.0f)
        return 180.0f;
    float q = rise / run;
    double angle = std::atan(static_cast<double>(q)) * 180 / 3.14159;
    if (run < 0 && rise > 0)
        angle += 180;
    if (run < 0 && rise < 0)
        angle += 180;
    if (run > 0 && rise < 0)
        angle += 360;
    return static_cast<float>(angle);
}

void Raise(float& extent, float v)
{
    if (v > extent)
        extent = v;
}

// Reflects one axis of every line inside [0, extent] (coordinate c becomes extent - c) and returns the new
// largest coordinate of that axis.
float FlipAxis(PltLine* pLines, uint32_t count, float PltLine::*first, float PltLine::*second, float extent)
{
    float max = 0.0f;
    for (uint32_t i = 0; i < count; ++i) {
        PltLine& l = pLines[i];
        l.*first = extent - l.*first;
        l.*second = extent - l.*second;
        Raise(max, l.*first);
        Raise(max, l.*second);
    }
    return max;
}

int64_t FileSize(const char* path)
{
    struct stat st;
    return ::stat(path, &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
}

// The file may still be arriving (copied into the task folder): wait until it stops growing.
void WaitUntilStable(const char* path)
{
    int64_t size = FileSize(path);
    SleepMs(300);
    int64_t now = FileSize(path);
    while (now > size) {
        size = now;
        SleepMs(300);
        now = FileSize(path);
    }
}

bool IsBlank(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A byte no plot file holds: control codes other than tab, the line ends, ETX and the ESC of device
// control sequences.
bool IsBinary(unsigned char c)
{
    return (c < 0x20 && !IsBlank(c) && c != 0x03 && c != 0x1B) || c == 0x7F;
}

bool IsUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}

bool IsLetter(char c)
{
    return IsUpper(c) || (c >= 'a' && c <= 'z');
}

}  // namespace

const char* LoadErrorText(ELoadError error)
{
    switch (error) {
    case ELoadError::None: return "";
    case ELoadError::Missing: return "the file was not found";
    case ELoadError::Unreadable: return "the file cannot be read";
    case ELoadError::Empty: return "the file is empty: it holds no drawing";
    case ELoadError::TooLarge: return "the file is too large to plot";
    case ELoadError::NotPlotFile: return "not a plot file: it holds no drawing";
    }
    return "";
}

void PltReadNotes::CharMissing(unsigned code)
{
    ++m_nMissingChars;
    if (m_MissingCodes.size() < kMaxMissingCodes &&
        std::find(m_MissingCodes.begin(), m_MissingCodes.end(), code) == m_MissingCodes.end())
        m_MissingCodes.push_back(code);
}

struct CPltFileData::ParseState {
    bool penDown = false;
    bool dashed = false;
    int pattern = 0;
    float patternLength = 0.0f;
    float curX = 0.0f, curY = 0.0f;
    bool pageMode = false;
    int pageOffset = 0;
    float p1x = 0.0f, p1y = 0.0f, p2x = 0.0f, p2y = 0.0f;
    float scXMax = 0.0f;
    float tokens[kMaxTokens];
    char tok[kInstructionSize];
};

bool PltInfo::Grow()
{
    if (m_nLineCount >= m_nMaxLines) {
        m_bLinesExhausted = true;
        return false;
    }
    uint32_t cap = m_nCapacity ? m_nCapacity : 1024;
    cap = cap > m_nMaxLines / 2 ? m_nMaxLines : cap * 2;
    if (cap <= m_nCapacity) {
        m_bLinesExhausted = true;
        return false;
    }
    void* p = std::realloc(m_pLines, sizeof(PltLine) * cap);
    if (!p) {
        m_bLinesExhausted = true;
        return false;
    }
    m_pLines = static_cast<PltLine*>(p);
    m_nCapacity = cap;
    return true;
}

CPltFileData::CPltFileData() = default;

CPltFileData::~CPltFileData()
{
    CloseFile();
    FreeLines();
}

void CPltFileData::CloseFile()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

void CPltFileData::FreeLines()
{
    std::free(m_pLines);
    m_pLines = nullptr;
    m_nCapacity = 0;
    m_nLineCount = 0;
}

bool CPltFileData::Load(const char* path)
{
    m_bLoaded = 0;
    m_eLastError = ELoadError::None;
    m_nSysError = 0;
    m_nDrawnLines = 0;
    m_Notes = PltReadNotes{};
    if (!path || std::strlen(path) < 4)
        return Fail(ELoadError::Missing);
    CloseFile();
    WaitUntilStable(path);
    m_file = std::fopen(path, "rb");
    if (!m_file) {
        const int err = errno;
        return Fail(err == ENOENT || err == ENOTDIR ? ELoadError::Missing : ELoadError::Unreadable, err);
    }
    m_strPath = path;

    FreeLines();
    std::string buffer;
    uint32_t capacity = CountCapacity(buffer);
    if (!capacity)
        return false;
    m_pLines = static_cast<PltLine*>(std::calloc(capacity, sizeof(PltLine)));
    if (!m_pLines)
        return Fail(ELoadError::TooLarge);
    m_nCapacity = capacity;
    return Parse(buffer);
}

bool CPltFileData::Fail(ELoadError error, int sysError)
{
    CloseFile();
    m_eLastError = error;
    m_nSysError = sysError;
    return false;
}

std::string CPltFileData::LastErrorText() const
{
    std::string text = LoadErrorText(m_eLastError);
    if (m_eLastError == ELoadError::Unreadable && m_nSysError)
        text += " (" + std::error_code(m_nSysError, std::generic_category()).message() + ")";
    return text;
}

// A zero-record model is a plot file without a drawing (Load succeeds; the caller decides whether
// that is worth a job), unless there was nothing at all or nothing a plot file holds.
ELoadError CPltFileData::Classify(const std::string& buffer, int plotInstructions) const
{
    const auto* p = reinterpret_cast<const unsigned char*>(buffer.data());
    const auto* end = p + buffer.size();
    if (std::all_of(p, end, IsBlank))
        return ELoadError::Empty;
    if (plotInstructions == 0 || std::any_of(p, end, IsBinary))
        return ELoadError::NotPlotFile;
    return ELoadError::None;
}

// Fails (with the reason recorded) when the file cannot be read whole or needs more records than a
// model may have.
uint32_t CPltFileData::CountCapacity(std::string& buffer)
{
    struct stat st;
    if (::fstat(fileno(m_file), &st) != 0 || st.st_size < 0) {
        Fail(ELoadError::Unreadable, errno);
        return 0;
    }
    size_t size = static_cast<size_t>(st.st_size);
    try {
        buffer.resize(size);
    } catch (...) {
        Fail(ELoadError::TooLarge);
        return 0;
    }
    errno = 0;
    if (size && std::fread(buffer.data(), 1, size, m_file) != size) {
        Fail(ELoadError::Unreadable, errno ? errno : EIO);
        return 0;
    }
    uint64_t separators = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(buffer.data());
    for (size_t done = 0; done < size;) {
        // Chunks keep a 32-bit counter, which the compiler vectorises.
        const size_t chunk = std::min<size_t>(size - done, 1u << 30);
        uint32_t count = 0;
        for (size_t i = 0; i < chunk; ++i)
            count += (p[done + i] == ';') | (p[done + i] == '\r') | (p[done + i] == '\n');
        separators += count;
        done += chunk;
    }
    uint64_t capacity = separators + kSpareLines;
    if (capacity > kMaxAllocLines) {
        Fail(ELoadError::TooLarge);
        return 0;
    }
    return static_cast<uint32_t>(capacity);
}

bool CPltFileData::Parse(const std::string& buffer)
{
    auto st = std::make_unique<ParseState>();
    m_nLineCount = 0;
    m_fMaxX = m_fMaxY = 0.0f;
    m_fLabelAngle = 0.0f;
    m_bLinesExhausted = false;

    const unsigned char* data = reinterpret_cast<const unsigned char*>(buffer.data());
    const size_t len = buffer.size();
    char ins[kInstructionSize];
    size_t pos = 0;
    unsigned char c = 0;
    int plotInstructions = 0;  // instructions shaped as a plot file's: two capital letters
    while (pos < len && !m_bLinesExhausted) {
        int n = 0;
        bool etx = false;
        for (;;) {
            if (pos >= len) {
                // The file ended before a terminator: the byte read last counts once more.
                ++pos;
                if (c != '\r' && c != '\n') {
                    ins[n++] = static_cast<char>(c);
                    if (n == kInstructionSize)
                        n = 0;
                }
                break;
            }
            c = data[pos++];
            if (c == '\r' || c == '\n')
                continue;
            ins[n++] = static_cast<char>(c);
            if (n == kInstructionSize)
                n = 0;
            if (c == ';' || c == 0x03) {
                etx = c == 0x03;
                break;
            }
        }
        if (n < 3)
            continue;
        if (etx)
            ins[n++] = ';';
        plotInstructions += IsUpper(ins[0]) && IsUpper(ins[1]);
        Dispatch(*st, ins, n);
    }
    CloseFile();
    if (m_bLinesExhausted) {
        FreeLines();
        m_fMaxX = m_fMaxY = 0.0f;
        return Fail(ELoadError::TooLarge);
    }
    FinishModel();
    if (m_nLineCount == 0) {
        const ELoadError error = Classify(buffer, plotInstructions);
        if (error != ELoadError::None) {
            m_fMaxX = m_fMaxY = 0.0f;
            return Fail(error);
        }
    }
    m_nDrawnLines = m_nLineCount;
    m_bLoaded = 1;
    return true;
}

void CPltFileData::Dispatch(ParseState& st, char* ins, int n)
{
    if (ins[0] == 'V' && ins[1] == 'S' && ins[2] == '5') {
        st.pageMode = true;
        return;
    }
    int code = Code(ins[0], ins[1]);
    if (code == Code('P', 'G')) {
        PageOffset(st, ins, n);
        return;
    }
    if (code == Code('L', 'B')) {
        if (n > 4)
            Label(st, ins, n);
        return;
    }
    Mnemonic mn = PairMnemonic(code);
    if (mn == kOther) {
        ++m_Notes.m_Unhandled[IsLetter(ins[0]) && IsLetter(ins[1]) ? std::string(ins, 2) : "other"];
        return;
    }
    if (mn == kPU)
        st.penDown = false;
    else if (mn == kPD)
        st.penDown = true;
    else if (mn == kLT && n == 3 && ins[2] == ';') {
        st.dashed = false;
        return;
    }
    if (n < 6)
        return;
    ProcessPairs(st, mn, ReadTokens(st, ins, n));
}

void CPltFileData::PageOffset(ParseState& st, const char* ins, int n)
{
    if (!st.pageMode)
        return;
    char arg[kMaxPageArg + 1];
    int len = n - 3 < kMaxPageArg ? n - 3 : kMaxPageArg;
    std::memcpy(arg, ins + 2, static_cast<size_t>(len));
    arg[len] = '\0';
    double value = std::atof(arg);
    if (!std::isfinite(value))
        value = 0.0;
    double sum = st.pageOffset + value;
    // A sum an int cannot hold leaves the offset as it was.
    if (sum > -2147483649.0 && sum < 2147483648.0)
        st.pageOffset = static_cast<int>(sum);
}

void CPltFileData::Label(ParseState& st, const char* ins, int n)
{
    std::string_view text(ins + 2, static_cast<size_t>(n - 4));
    AddLabel(kLabelFace, m_nCharSize, TruncToInt(st.curX), TruncToInt(st.curY), text, m_fLabelAngle);
}

int CPltFileData::ReadTokens(ParseState& st, const char* ins, int n)
{
    int count = 0, tl = 0;
    for (int i = 2; i < n - 1 && count < kMaxTokens; ++i) {
        char c = ins[i];
        if (c == ',' || c == ' ') {
            if (tl) {
                st.tokens[count++] = ToModelFloat(TokenValue(st.tok, tl));
                tl = 0;
            }
        } else if ((c >= '0' && c <= '9') || c == '.' || c == '-') {
            st.tok[tl++] = c;
        }
    }
    if (tl && count < kMaxTokens)
        st.tokens[count++] = ToModelFloat(TokenValue(st.tok, tl));
    return count;
}

void CPltFileData::ProcessPairs(ParseState& st, int mnemonic, int tokenCount)
{
    const bool special = mnemonic == kDI || mnemonic == kIP || mnemonic == kSC || mnemonic == kLT ||
                         mnemonic == kSI;
    for (int k = 0; 2 * k + 1 < tokenCount; ++k) {
        float x = st.tokens[2 * k];
        float y = st.tokens[2 * k + 1];
        if (st.pageMode)
            x = x + st.pageOffset;
        if (!special)
            Point(st, mnemonic, x, y);
        else if (!SpecialPair(st, mnemonic, k, x, y))
            return;
    }
}

bool CPltFileData::SpecialPair(ParseState& st, int mnemonic, int index, float x, float y)
{
    switch (mnemonic) {
    case kDI:
        m_fLabelAngle = DirectionAngle(x, y);
        return false;
    case kIP:
        if (index == 0) {
            st.p1x = x;
            st.p1y = y;
            Point(st, mnemonic, x, y);
            return true;
        }
        st.p2x = x;
        st.p2y = y;
        return false;
    case kSC:
        if (index == 0) {
            st.scXMax = y;
            Point(st, mnemonic, x, y);
            return true;
        }
        if (st.scXMax >= 0.001 && y >= 0.001 && st.p2x >= 0.001 && st.p2y >= 0.001) {
            m_fScaleX = m_fScaleX * (st.p2x / st.scXMax);
            m_fScaleY = m_fScaleY * (st.p2y / y);
        }
        return false;
    case kLT:
        // Pattern numbers outside the table draw solid.
        st.dashed = x > -1.0f && x < 8.0f;
        st.pattern = st.dashed ? static_cast<int>(x) : 0;
        st.patternLength = y;
        return false;
    default: {  // SI: a height in centimetres
        float units = y * 10 * 40;
        if (units > -2147483648.0f && units < 2147483648.0f)
            m_nCharSize = static_cast<int>(units);
        return false;
    }
    }
}

void CPltFileData::Point(ParseState& st, int mnemonic, float x, float y)
{
    x = x * m_fScaleX;
    y = y * m_fScaleY;
    if (!std::isfinite(x))
        x = 0.0f;
    if (!std::isfinite(y))
        y = 0.0f;
    if ((mnemonic == kPD || mnemonic == kPA) && st.penDown) {
        if (st.dashed)
            EmitDashes(st, st.curX, st.curY, x, y);
        else
            AppendLine(st.curX, st.curY, x, y);
    }
    Raise(m_fMaxX, x);
    Raise(m_fMaxY, y);
    st.curX = x;
    st.curY = y;
}

void CPltFileData::EmitDashes(const ParseState& st, float x1, float y1, float x2, float y2)
{
    const float length = st.patternLength;
    if (!(length > 0))
        return;
    float dx = x2 - x1;
    float dy = y2 - y1;
    float len = std::sqrt(dx * dx + dy * dy);
    float periods = len / (length * 8);
    // More dashes than the model may hold (or an overflowing length): the model is exhausted.
    float room = static_cast<float>(m_nMaxLines - (m_nLineCount < m_nMaxLines ? m_nLineCount : m_nMaxLines));
    if (!(periods < room)) {
        m_bLinesExhausted = true;
        return;
    }
    int n = static_cast<int>(periods);
    float sx = 0.0f, sy = 0.0f;
    if (n >= 1) {
        sx = dx / n;
        sy = dy / n;
    }
    const int on = kOnPercent[st.pattern];
    for (int i = 0; i < n; ++i) {
        float ax = x1 + i * sx;
        float ay = y1 + i * sy;
        if (!AppendLine(ax, ay, ax + sx * on / 100, ay + sy * on / 100))
            return;
    }
    AppendLine(x1 + n * sx, y1 + n * sy, x2, y2);
}

void CPltFileData::RaiseExtent()
{
    for (uint32_t i = 0; i < m_nLineCount; ++i) {
        const PltLine& l = m_pLines[i];
        Raise(m_fMaxX, l.x1);
        Raise(m_fMaxX, l.x2);
        Raise(m_fMaxY, l.y1);
        Raise(m_fMaxY, l.y2);
    }
}

void CPltFileData::FinishModel()
{
    RaiseExtent();
    if (m_bFlipY)
        m_fMaxY = FlipAxis(m_pLines, m_nLineCount, &PltLine::y1, &PltLine::y2, m_fMaxY);
}

void CPltFileData::Mirror()
{
    if (m_bMirror)
        m_fMaxX = FlipAxis(m_pLines, m_nLineCount, &PltLine::x1, &PltLine::x2, m_fMaxX);
}

void CPltFileData::Rotate90()
{
    RaiseExtent();
    if (!m_bRotate90)
        return;
    if (!m_bMirror) {
        // (x, y) -> (H - y, x)
        const float h = m_fMaxY;
        std::swap(m_fMaxX, m_fMaxY);
        for (uint32_t i = 0; i < m_nLineCount; ++i) {
            PltLine& l = m_pLines[i];
            l = PltLine{h - l.y1, l.x1, h - l.y2, l.x2};
        }
    } else {
        // (x, y) -> (y, W - x): the opposite turn, so mirror-then-turn equals turn-then-mirror.
        const float w = m_fMaxX;
        std::swap(m_fMaxX, m_fMaxY);
        for (uint32_t i = 0; i < m_nLineCount; ++i) {
            PltLine& l = m_pLines[i];
            l = PltLine{l.y1, w - l.x1, l.y2, w - l.x2};
        }
    }
}

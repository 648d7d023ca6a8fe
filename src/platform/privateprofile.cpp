// Private-profile (INI) file access: parse once, edit single lines, write the whole file back.
#include "platform/privateprofile.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <strings.h>

namespace {

const char kWhite[] = " \t\r\n\v\f";
const char kBom[] = "\xEF\xBB\xBF";

std::string Trim(const std::string& s)
{
    std::size_t b = s.find_first_not_of(kWhite);
    if (b == std::string::npos)
        return std::string();
    std::size_t e = s.find_last_not_of(kWhite);
    return s.substr(b, e - b + 1);
}

std::string Unquote(std::string v)
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

// Text up to the first line break: a value must not spill into further lines of the file.
std::string FirstLine(const std::string& s)
{
    return s.substr(0, s.find_first_of("\r\n"));
}

// Writes the whole text; false with the reason when the file could not be written.
bool WriteWhole(const std::string& path, const std::string& text, std::string& error)
{
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out.fail())
        return true;
    error = errno ? std::generic_category().message(errno) : "the file could not be written";
    return false;
}

} // namespace

CPrivateProfile::CPrivateProfile(std::string path) : m_strPath(std::move(path))
{
    std::error_code ec;
    m_bExists = std::filesystem::exists(m_strPath, ec);
    errno = 0;
    std::ifstream in(m_strPath, std::ios::binary);
    std::ostringstream text;
    if (in)
        text << in.rdbuf();
    if (m_bExists && std::filesystem::is_directory(m_strPath, ec))
        m_strError = std::generic_category().message(EISDIR);
    else if (m_bExists && (!in || in.bad()))
        m_strError = errno ? std::generic_category().message(errno) : "the file could not be read";
    Parse(text.str());
}

bool CPrivateProfile::HasSection(const std::string& name) const
{
    for (const Section& sec : m_Sections)
        if (sec.hasHeader && SameName(sec.name, name))
            return true;
    return false;
}

void CPrivateProfile::Parse(const std::string& text)
{
    m_Sections.assign(1, Section());
    std::size_t pos = 0;
    if (text.compare(0, 3, kBom) == 0) {
        m_strBom = kBom;
        pos = 3;
    }
    bool newlineKnown = false;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        std::string raw = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        if (end == std::string::npos) {
            pos = text.size();
        } else {
            bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
            if (!newlineKnown) {
                m_strNewline = crlf ? "\r\n" : "\n";
                newlineKnown = true;
            }
            pos = end + (crlf ? 2 : 1);
        }

        std::string trimmed = Trim(raw);
        if (!trimmed.empty() && trimmed[0] == '[') {
            Section sec;
            sec.name = Trim(trimmed.substr(1, trimmed.find(']') - 1));
            sec.hasHeader = true;
            sec.header = std::move(raw);
            m_Sections.push_back(std::move(sec));
            continue;
        }
        Line line;
        std::size_t eq = raw.find('=');
        bool comment = !trimmed.empty() && (trimmed[0] == ';' || trimmed[0] == '#');
        if (!comment && eq != std::string::npos) {
            line.key = Trim(raw.substr(0, eq));
            if (!line.key.empty())
                line.value = Unquote(Trim(raw.substr(eq + 1)));
        }
        line.text = std::move(raw);
        m_Sections.back().lines.push_back(std::move(line));
    }
}

const CPrivateProfile::Section* CPrivateProfile::FindSection(const std::string& name) const
{
    for (const Section& sec : m_Sections)
        if (sec.hasHeader && SameName(sec.name, name))
            return &sec;
    return nullptr;
}

CPrivateProfile::Section* CPrivateProfile::FindSection(const std::string& name)
{
    return const_cast<Section*>(static_cast<const CPrivateProfile*>(this)->FindSection(name));
}

const std::string* CPrivateProfile::Find(const std::string& section, const std::string& key) const
{
    const Section* sec = FindSection(section);
    if (!sec)
        return nullptr;
    for (const Line& line : sec->lines)
        if (!line.key.empty() && SameName(line.key, key))
            return &line.value;
    return nullptr;
}

int CPrivateProfile::GetInt(const std::string& section, const std::string& key, int def) const
{
    const std::string* value = Find(section, key);
    return value ? ProfileAtoi(*value) : def;
}

std::string CPrivateProfile::GetString(const std::string& section, const std::string& key,
                                       const std::string& def, std::size_t bufferSize) const
{
    const std::string* value = Find(section, key);
    const std::string& text = value ? *value : def;
    std::size_t limit = bufferSize > 0 ? bufferSize - 1 : 0;
    return text.substr(0, limit);
}

void CPrivateProfile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    const std::string name = Trim(FirstLine(section));
    const std::string keyName = Trim(FirstLine(key));
    const std::string text = FirstLine(value);
    m_bDirty = true;

    Section* sec = FindSection(name);
    if (!sec) {
        Section& last = m_Sections.back();
        bool fileEmpty = m_Sections.size() == 1 && last.lines.empty();
        if (!fileEmpty && !(last.lines.empty() ? Trim(last.header) : Trim(last.lines.back().text)).empty())
            last.lines.push_back(Line());  // a blank line between sections
        Section added;
        added.name = name;
        added.hasHeader = true;
        added.header = "[" + name + "]";
        m_Sections.push_back(std::move(added));
        sec = &m_Sections.back();
    }

    for (Line& line : sec->lines) {
        if (!line.key.empty() && SameName(line.key, keyName)) {
            line.text = line.key + "=" + text;
            line.value = Unquote(Trim(text));
            return;
        }
    }
    // After the section's last non-blank line, so blank lines before the next header stay there.
    std::size_t at = sec->lines.size();
    while (at > 0 && Trim(sec->lines[at - 1].text).empty())
        --at;
    Line line;
    line.key = keyName;
    line.value = Unquote(Trim(text));
    line.text = keyName + "=" + text;
    sec->lines.insert(sec->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

std::string CPrivateProfile::Serialize() const
{
    std::string out = m_strBom;
    for (const Section& sec : m_Sections) {
        if (sec.hasHeader)
            out += sec.header + m_strNewline;
        for (const Line& line : sec.lines)
            out += line.text + m_strNewline;
    }
    return out;
}

bool CPrivateProfile::Flush()
{
    if (!m_bDirty)
        return true;
    const std::string text = Serialize();
    // Write beside the file and rename, so a crash mid-write never leaves half a config.ini.
    const std::string tmp = m_strPath + ".tmp";
    std::error_code ec;
    std::string error;
    if (WriteWhole(tmp, text, error)) {
        std::filesystem::rename(tmp, m_strPath, ec);
        if (!ec) {
            m_bDirty = false;
            m_strError.clear();
            return true;
        }
    }
    std::filesystem::remove(tmp, ec);
    // A folder where no new file may be made can still hold a writable config.ini.
    error.clear();
    if (!WriteWhole(m_strPath, text, error)) {
        m_strError = error;
        return false;
    }
    m_bDirty = false;
    m_strError.clear();
    return true;
}

std::string ProfileQuote(const std::string& value)
{
    return Unquote(Trim(value)) == value ? value : "\"" + value + "\"";
}

int ProfileAtoi(const std::string& text)
{
    long long v = std::strtoll(text.c_str(), nullptr, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

// from_chars, unlike strtod, ignores the process locale: the desktop program runs under the
// operator's locale, where a decimal comma would turn "17.45" into 17.
float ProfileAtof(const std::string& text)
{
    std::size_t i = text.find_first_not_of(kWhite);
    if (i == std::string::npos)
        return 0.0f;
    if (text[i] == '+' && i + 1 < text.size() && text[i + 1] != '-')
        ++i;
    double v = 0.0;
    std::from_chars_result r = std::from_chars(text.data() + i, text.data() + text.size(), v);
    if (r.ec != std::errc() || !std::isfinite(v) || std::fabs(v) > FLT_MAX)
        return 0.0f;
    return static_cast<float>(v);
}

std::string ProfileFormatFixed(float value, int decimals)
{
    char buf[64];
    std::to_chars_result r =
        std::to_chars(buf, buf + sizeof buf, static_cast<double>(value), std::chars_format::fixed, decimals);
    return r.ec == std::errc() ? std::string(buf, r.ptr) : std::string("0");
}

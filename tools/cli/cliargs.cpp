// Option parsing and JSON output shared by the tessaline-cli commands.
#include "cliargs.h"

#include <algorithm>
#include <cmath>

CCliArgs::CCliArgs(std::vector<std::string> valued, std::vector<std::string> flags)
    : m_valued(std::move(valued)), m_flags(std::move(flags))
{
}

bool CCliArgs::Parse(const std::vector<std::string>& args)
{
    auto known = [](const std::vector<std::string>& list, const std::string& name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() < 2 || a.compare(0, 2, "--") != 0 || a == "--") {
            m_positional.push_back(a);
        } else if (known(m_flags, a)) {
            m_options.emplace_back(a, std::string());
        } else if (known(m_valued, a)) {
            if (i + 1 >= args.size()) {
                m_strError = "option " + a + " needs a value";
                return false;
            }
            m_options.emplace_back(a, args[++i]);
        } else {
            m_strError = "unknown option " + a;
            return false;
        }
    }
    return true;
}

bool CCliArgs::Has(const std::string& name) const
{
    return std::any_of(m_options.begin(), m_options.end(), [&](const auto& o) { return o.first == name; });
}

std::string CCliArgs::Value(const std::string& name, const std::string& def) const
{
    std::vector<std::string> all = Values(name);
    return all.empty() ? def : all.back();
}

std::vector<std::string> CCliArgs::Values(const std::string& name) const
{
    std::vector<std::string> all;
    for (const auto& o : m_options)
        if (o.first == name)
            all.push_back(o.second);
    return all;
}

void CJsonWriter::Raw(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), m_out);
}

void CJsonWriter::BeforeValue()
{
    if (m_bAfterKey) {
        m_bAfterKey = false;
        return;
    }
    if (!m_firstInLevel.empty()) {
        if (!m_firstInLevel.back())
            Raw(",");
        m_firstInLevel.back() = false;
    }
}

void CJsonWriter::Open(char c)
{
    BeforeValue();
    std::fputc(c, m_out);
    m_firstInLevel.push_back(true);
}

void CJsonWriter::Close(char c)
{
    m_firstInLevel.pop_back();
    std::fputc(c, m_out);
    if (m_firstInLevel.empty())
        std::fputc('\n', m_out);
}

void CJsonWriter::BeginObject() { Open('{'); }
void CJsonWriter::EndObject() { Close('}'); }
void CJsonWriter::BeginArray() { Open('['); }
void CJsonWriter::EndArray() { Close(']'); }

CJsonWriter& CJsonWriter::Key(std::string_view key)
{
    String(key);
    Raw(":");
    m_bAfterKey = true;
    return *this;
}

void CJsonWriter::Int(int64_t v)
{
    BeforeValue();
    std::fprintf(m_out, "%lld", static_cast<long long>(v));
}

void CJsonWriter::Float(float v)
{
    if (!std::isfinite(v)) {
        Null();
        return;
    }
    BeforeValue();
    std::fprintf(m_out, "%.9g", static_cast<double>(v));
}

void CJsonWriter::Bool(bool v)
{
    BeforeValue();
    Raw(v ? "true" : "false");
}

void CJsonWriter::Null()
{
    BeforeValue();
    Raw("null");
}

void CJsonWriter::String(std::string_view v)
{
    BeforeValue();
    std::fputc('"', m_out);
    for (char ch : v) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\')
            std::fprintf(m_out, "\\%c", c);
        else if (c < 0x20)
            std::fprintf(m_out, "\\u%04x", c);
        else
            std::fputc(c, m_out);
    }
    std::fputc('"', m_out);
}

int UsageError(const char* command, const char* usage, const std::string& message)
{
    std::fprintf(stderr, "tessaline-cli %s: %s\n%s", command, message.c_str(), usage);
    return 2;
}

int ParseFileCommand(CCliArgs& cli, const std::vector<std::string>& args, const char* command, const char* usage)
{
    if (!cli.Parse(args))
        return UsageError(command, usage, cli.m_strError);
    if (cli.Has("--help")) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (cli.Positional().size() != 1)
        return UsageError(command, usage, "expected one plot file");
    return -1;
}

// Option parsing and JSON output shared by the tessaline-cli commands.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Positional arguments and "--name" options; valued options take the next argument and may repeat.
class CCliArgs {
public:
    CCliArgs(std::vector<std::string> valued, std::vector<std::string> flags);

    // False, with m_strError set, on an unknown option or an option missing its value.
    bool Parse(const std::vector<std::string>& args);

    bool Has(const std::string& name) const;
    // The last value given for a valued option, or def.
    std::string Value(const std::string& name, const std::string& def = std::string()) const;
    // Every value given for a valued option, in order.
    std::vector<std::string> Values(const std::string& name) const;
    const std::vector<std::string>& Positional() const { return m_positional; }

    std::string m_strError;

private:
    std::vector<std::string> m_valued;
    std::vector<std::string> m_flags;
    std::vector<std::pair<std::string, std::string>> m_options;
    std::vector<std::string> m_positional;
};

// Says on stderr what was wrong with the command's arguments, then its usage; the exit status of bad input.
int UsageError(const char* command, const char* usage, const std::string& message);
// The arguments of a command that takes one plot file: -1 when the command goes on with the file as
// cli.Positional()[0]; else the exit status, 0 after printing the usage for --help, 2 after a usage error.
int ParseFileCommand(CCliArgs& cli, const std::vector<std::string>& args, const char* command, const char* usage);

// Streams one JSON document: commas and nesting are tracked, floats print as %.9g so that they read
// back as the same 32-bit float.
class CJsonWriter {
public:
    explicit CJsonWriter(FILE* out) : m_out(out) {}
    CJsonWriter(const CJsonWriter&) = delete;
    CJsonWriter& operator=(const CJsonWriter&) = delete;

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // Names the next value of the enclosing object.
    CJsonWriter& Key(std::string_view key);

    void Int(int64_t v);
    void Float(float v);
    void Bool(bool v);
    void String(std::string_view v);
    void Null();

    void Field(std::string_view key, int64_t v) { Key(key).Int(v); }
    void Field(std::string_view key, int v) { Key(key).Int(v); }
    void Field(std::string_view key, uint32_t v) { Key(key).Int(v); }
    void Field(std::string_view key, float v) { Key(key).Float(v); }
    void Field(std::string_view key, bool v) { Key(key).Bool(v); }
    void Field(std::string_view key, std::string_view v) { Key(key).String(v); }
    void Field(std::string_view key, const char* v) { Key(key).String(v); }

private:
    void BeforeValue();
    void Open(char c);
    void Close(char c);
    void Raw(std::string_view text);

    FILE* m_out;
    std::vector<bool> m_firstInLevel;
    bool m_bAfterKey = false;
};

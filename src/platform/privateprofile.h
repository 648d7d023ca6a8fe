// Private-profile (INI) file access with the rules config.ini relies on: case-insensitive names, defaults
// for absent keys, in-place replacement, unknown keys and comments kept.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// One INI file held in memory: reads answer from the text loaded at construction, writes change
// only the lines they concern and reach the disk with Flush. Section and key names match without
// regard to case; the first of duplicate sections or keys wins. Lines that are not keys of the
// form "key=value" (comments, garbage) are kept as they are.
//
// Line breaks: CR LF, LF and a lone CR all end a line. Flush writes the break of the file's first
// line (CR LF or LF) everywhere; a new file gets LF.
class CPrivateProfile {
public:
    // Reads the file; a missing or unreadable file reads as empty (Error tells which).
    explicit CPrivateProfile(std::string path);

    // The file was there when it was read.
    bool Exists() const { return m_bExists; }
    // Why the last read or write of the file failed, in the system's words; empty after success.
    const std::string& Error() const { return m_strError; }
    // A section of this name (any case) stands in the file.
    bool HasSection(const std::string& name) const;

    // The value of a key, white space trimmed and one pair of matching quotes removed;
    // nullptr when the key is absent.
    const std::string* Find(const std::string& section, const std::string& key) const;

    // Absent key: def. Present key: its leading decimal number (clamped to the int range),
    // 0 when it has none (empty or not a number).
    int GetInt(const std::string& section, const std::string& key, int def) const;

    // The value, or def for an absent key, cut to bufferSize - 1 characters as a C buffer of
    // bufferSize bytes would hold it.
    std::string GetString(const std::string& section, const std::string& key, const std::string& def,
                          std::size_t bufferSize = 100) const;

    // Replaces the value of an existing key in place, appends a missing key after the last line of
    // its section and a missing section at the end of the file. A line break in the value ends it.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

    // Writes the file (created when missing) if anything was written since loading. False when the
    // file could not be written.
    bool Flush();

private:
    struct Line {
        std::string text;  // the line as in the file, without its line break
        std::string key;   // trimmed key name; empty when the line is no key
        std::string value; // trimmed value with quotes removed
    };
    struct Section {
        std::string name;  // trimmed name; the lines before the first header form a nameless section
        bool hasHeader = false;
        std::string header;
        std::vector<Line> lines;
    };

    void Parse(const std::string& text);
    const Section* FindSection(const std::string& name) const;
    Section* FindSection(const std::string& name);
    std::string Serialize() const;

    std::string m_strPath;
    std::string m_strBom;      // a UTF-8 byte order mark in front of the first line, kept on write
    std::string m_strNewline = "\n";
    std::vector<Section> m_Sections;
    bool m_bDirty = false;
    bool m_bExists = false;
    std::string m_strError;
};

// The text to write for a value so that a read gives the value back: the value itself, or the value
// in double quotes when white space at either end or enclosing quotes of its own would be lost.
std::string ProfileQuote(const std::string& value);

// Leading decimal number of a text as atoi reads it (white space, sign, digits), clamped to the
// int range; 0 when the text does not begin with a number.
int ProfileAtoi(const std::string& text);

// Decimal number of a text as atof reads it, stored as float; 0 when the text does not begin with
// a number or the number does not fit a finite float. The decimal point is always '.'.
float ProfileAtof(const std::string& text);

// The value with a fixed number of decimals, as "%0.*f" prints it in the C locale.
std::string ProfileFormatFixed(float value, int decimals);

// What the program writes to its log, captured through the trace sink while the object lives.
#pragma once

#include <mutex>
#include <string>
#include <string_view>

#include "platform/logwriter.h"

class CLogText {
public:
    CLogText()
    {
        Clear();
        SetTraceSink(&Sink);
    }
    ~CLogText() { SetTraceSink(nullptr); }
    CLogText(const CLogText&) = delete;
    CLogText& operator=(const CLogText&) = delete;

    std::string Text() const
    {
        std::lock_guard<std::mutex> lock(Lock());
        return Buffer();
    }
    // How often what stands in the log so far.
    int Count(const std::string& what) const
    {
        const std::string text = Text();
        int n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(Lock());
        Buffer().clear();
    }

private:
    static void Sink(std::string_view text)
    {
        std::lock_guard<std::mutex> lock(Lock());
        Buffer().append(text);
    }
    static std::mutex& Lock()
    {
        static std::mutex lock;
        return lock;
    }
    static std::string& Buffer()
    {
        static std::string buffer;
        return buffer;
    }
};

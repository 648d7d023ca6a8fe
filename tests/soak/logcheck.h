// Follows the log entry by entry and checks it line by line: every line is one the program writes (GBK
// intact), job lines appear only between a job's start and end lines, and starts and ends pair up.
#pragma once

#include <cctype>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gbk.h"

class CLogCheck {
public:
    // One entry as WriteLog receives it (any thread; the writer's lock orders them).
    void Entry(std::string_view bytes)
    {
        m_nBytes += bytes.size();
        m_strLine.append(bytes);
        for (size_t end; (end = m_strLine.find("\r\n")) != std::string::npos;) {
            Line(m_strLine.substr(0, end));
            m_strLine.erase(0, end + 2);
        }
    }

    // Finish handshakes logged ("向下位机发送打印结束命令!").
    int PrintEnds() const { return m_nPrintEnds; }
    // Jobs ended without one, their plotter out of reach after an abort.
    int GiveUps() const { return m_nGiveUps; }
    bool InJob() const { return m_bInJob; }
    // How often the task queue wrote this line (its own lines: "Plotted ...", "Kept ...", "Cannot ...").
    int Count(const std::string& line) const
    {
        auto it = m_QueueLines.find(line);
        return it == m_QueueLines.end() ? 0 : it->second;
    }
    uint64_t Bytes() const { return m_nBytes; }
    const std::vector<std::string>& Errors() const { return m_Errors; }
    // The last lines, for failure reports.
    std::string Tail() const
    {
        std::string text;
        for (const std::string& l : m_Tail)
            text += "  | " + l + "\n";
        return text;
    }

    // A pattern matches whole lines: %d a decimal number, %X eight upper-case hex digits, %s any text.
    static bool Matches(std::string_view pattern, std::string_view line)
    {
        size_t p = 0, l = 0;
        while (p < pattern.size()) {
            if (pattern[p] == '%' && p + 1 < pattern.size()) {
                const char kind = pattern[p + 1];
                p += 2;
                if (kind == 's')
                    return true;
                size_t start = l;
                if (kind == 'd') {
                    if (l < line.size() && line[l] == '-')
                        ++l;
                    while (l < line.size() && std::isdigit(static_cast<unsigned char>(line[l])))
                        ++l;
                    if (l == start || line[l - 1] == '-')
                        return false;
                } else {
                    while (l < line.size() && l - start < 8 && std::isxdigit(static_cast<unsigned char>(line[l])) &&
                           !std::islower(static_cast<unsigned char>(line[l])))
                        ++l;
                    if (l - start != 8)
                        return false;
                }
                continue;
            }
            if (l >= line.size() || line[l] != pattern[p])
                return false;
            ++p;
            ++l;
        }
        return l == line.size();
    }

private:
    static constexpr const char* kGiveUp = "Link: the plotter cannot be reached; the job ends without its print end";
    enum Where { Anywhere, InJobOnly, OutsideJob, JobStart, JobEnd };
    struct Known {
        const char* pattern;
        Where where;
    };

    void Line(const std::string& gbk)
    {
        const std::string text = GbkToUtf8(gbk);
        if (m_Tail.size() == 40)
            m_Tail.pop_front();
        m_Tail.push_back(text);
        ++m_nLines;
        if (Utf8ToGbk(text) != gbk) {
            Error("line " + std::to_string(m_nLines) + " is not intact GBK: " + text);
            return;
        }
        const Known* pKnown = Find(text);
        if (!pKnown) {
            Error("line " + std::to_string(m_nLines) + " is no line of the program: " + text);
            return;
        }
        switch (pKnown->where) {
        case JobStart:
            if (m_bInJob)
                Error("line " + std::to_string(m_nLines) + ": a job starts before the last one ended");
            m_bInJob = true;
            break;
        case JobEnd:
            if (!m_bInJob)
                Error("line " + std::to_string(m_nLines) + ": a job ends that never started");
            m_bInJob = false;
            break;
        case InJobOnly:
            if (!m_bInJob)
                Error("line " + std::to_string(m_nLines) + " comes from a job after its end: " + text);
            break;
        case OutsideJob:
            if (m_bInJob)
                Error("line " + std::to_string(m_nLines) + " comes between a job's start and end: " + text);
            break;
        case Anywhere: break;
        }
        if (text == "向下位机发送打印结束命令!")
            ++m_nPrintEnds;
        if (text == kGiveUp)
            ++m_nGiveUps;
        for (const char* prefix : {"Plotted ", "Kept ", "Removed ", "Cannot ", "Held "})
            if (text.rfind(prefix, 0) == 0)
                ++m_QueueLines[text];
    }

    static const Known* Find(const std::string& text)
    {
        static const Known kKnown[] = {
            {"开始打印(CheckPrintTaskAndProc())!", JobStart},
            {"CheckPrintTaskAndProc", JobEnd},
            {"发送打印参数设置信息!", OutsideJob},
            {"gPrinterStatus.m_EventCotrol.Bits.SetXMin==1", OutsideJob},
            {"gPrinterStatus.m_EventCotrol.Bits.SetXMax==1", OutsideJob},
            {"gPrinterStatus.m_EventCotrol.Bits.SetYStepLen==1", OutsideJob},
            {"gPrinterStatus.m_EventCotrol.Bits.SetCrcVerify==1", OutsideJob},
            {"gPrinterStatus.m_EventCotrol.Bits.SetMMPer1000Dpi==1", OutsideJob},
            {"gPrinterStatus.m_EventCotrol.Bits.SetSpeed==1", OutsideJob},
            {"CheckEventCotrolAndProc", OutsideJob},
            {"Error:UsbConnect Fail . . . . . . . .", Anywhere},
            {"用打印预览显示模式查看任务列表中的一个文件!", Anywhere},
            {"Cannot %s", Anywhere},
            {"Held %s", Anywhere},
            {"Kept %s", Anywhere},
            {"Plotted %s", Anywhere},
            {"Removed %s", Anywhere},
            {"Queue state%s", Anywhere},
            {"The task folder %s", Anywhere},
            {"Nothing to print: the job is not sent", InJobOnly},
            {kGiveUp, Anywhere},
            {"Link: Offline at %s", Anywhere},
            {"Link: Online at %s", Anywhere},
            {"生成色带数据!!!", InJobOnly},
            {"向下位机发送开始打印命令!", InJobOnly},
            {"Inf: WaitPrint", InJobOnly},
            {"下位机请求色条数据-- %d --", InJobOnly},
            {"下位机请求数据段数-- %d --", InJobOnly},
            {"收到下位机有效请求数据命令!", InJobOnly},
            {"上位机处理好段数:%X,下位机请求段数:%X！！", InJobOnly},
            {"收到下位机无效数据请求命令!不予处理", InJobOnly},
            {"处理下位机打印色带!", InJobOnly},
            {"处理下位机请求数据命令!", InJobOnly},
            {"向下位机下发数据开始命令", InJobOnly},
            {"清除下位机打印命令模式成功OK!!!!", InJobOnly},
            {"清除下位机数据请求命令模式成功OK!!!!", InJobOnly},
            {"清除下位机色条开始传送命令模式成功OK!!!!", InJobOnly},
            {"清除下位机发送数据开始命令模式成功OK!!!!", InJobOnly},
            {"清除下位机数据发送完毕命令模式成功OK!!!!", InJobOnly},
            {"清除下位机停止命令模式成功OK!!!!", InJobOnly},
            {"清除下位机校验和命令模式成功OK!!!!", InJobOnly},
            {"清除下位机数据错误命令模式成功OK!!!!", InJobOnly},
            {"清除下位机暂停命令模式成功OK!!!!", InJobOnly},
            {"清除下位机继续命令模式成功OK!!!!", InJobOnly},
            {"处理数据下发开始", InJobOnly},
            {"调整了来回校验值!", InJobOnly},
            {"向逻辑发送DMA数据!!!!", InJobOnly},
            {"执行OutDataToUsb()!!!!", InJobOnly},
            {"OutDataToUsb()--End %d Of %d--", InJobOnly},
            {"PC自己计算的校验和:%X,收到的DMA校验和:%X, DRAM校验和:%X！！", InJobOnly},
            {"打印完毕第%d段数据,共%d段！", InJobOnly},
            {"退出错误！", InJobOnly},
            {"继续重试！", InJobOnly},
            {"当前打印第%d段数据出现错误！", InJobOnly},
            {"Error: OutDMADataToUsbAgin=%d,PackegMun=%d", InJobOnly},
            {"处理下位机停止打印命令!", InJobOnly},
            {"处理完毕下发数据", InJobOnly},
            {"收到下位机暂停请求命令!", InJobOnly},
            {"收到下位机继续打印命令!", InJobOnly},
            {"收到下位机请求停机!", InJobOnly},
            {"处理完毕下位机暂停请求!", InJobOnly},
            {"处理完毕打印继续", InJobOnly},
            {"退出打印循环!!!!", InJobOnly},
            {"停机!", InJobOnly},
            {"处理完毕文件打印完毕", InJobOnly},
            {"向下位机发送打印结束命令!", InJobOnly},
        };
        for (const Known& k : kKnown)
            if (Matches(k.pattern, text))
                return &k;
        // Adding a file logs source and target without a line end, so they run into the closing line.
        static const std::string kAdded = "添加一个文件到打印任务列表中!";
        static const Known kAddedLine = {"", Anywhere};
        if (text.size() >= kAdded.size() && text.compare(text.size() - kAdded.size(), kAdded.size(), kAdded) == 0)
            return &kAddedLine;
        return nullptr;
    }

    void Error(const std::string& text)
    {
        if (m_Errors.size() < 20)
            m_Errors.push_back(text);
    }

    std::string m_strLine;
    std::deque<std::string> m_Tail;
    std::vector<std::string> m_Errors;
    std::map<std::string, int> m_QueueLines;
    uint64_t m_nBytes = 0;
    int64_t m_nLines = 0;
    int m_nPrintEnds = 0;
    int m_nGiveUps = 0;
    bool m_bInJob = false;
};

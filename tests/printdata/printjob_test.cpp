// The print slot of the document: buffers, job-done test, segments of a whole job, the lock.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <vector>

#include "document/marquelldoc.h"
#include "link/workerflags.h"
#include "platform/clock.h"
#include "printdata/segmentpacker.h"
#include "printtestsupport.h"
#include "segmentdecoder.h"
#include "support/processstate.h"

namespace {

// A document without config.ini whose print slot holds an in-memory drawing, prepared as
// PrepareJob does after loading.
class PrintJobTest : public ProcessStateTest {
protected:
    void SetUp() override
    {
        ProcessStateTest::SetUp();
        SetClock(&m_Clock);  // the reader's growth wait
        m_Dir = std::filesystem::temp_directory_path() / ("tessaline-printjob-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_Dir);
        m_pDoc = std::make_unique<CMarquellDoc>(m_Dir.string());
        m_pDoc->m_UserDefine = MakeSettings(1, {0});
    }
    void TearDown() override
    {
        EndProcessState();
        m_pDoc.reset();
        std::filesystem::remove_all(m_Dir);
    }

    void Prepare(const std::vector<PltLine>& lines, float maxX, float maxY)
    {
        CMarquellDoc& doc = *m_pDoc;
        CPltFileData& model = doc.m_PltData[SlotPrint];
        model.FreeLines();
        for (const PltLine& l : lines)
            model.AppendLine(l.x1, l.y1, l.x2, l.y2);
        model.m_fMaxX = maxX;
        model.m_fMaxY = maxY;
        doc.m_Layout[SlotPrint].Reset();
        doc.m_Layout[SlotPrint].Setup(&doc.m_UserDefine, model);
        doc.m_Sections[SlotPrint].m_pLayout = &doc.m_Layout[SlotPrint];
        doc.m_Sections[SlotPrint].CountFragments(model);
        doc.m_Sections[SlotPrint].FillFragments(model);
    }

    std::set<std::pair<int, int>> Raster(int index)
    {
        CMarquellDoc& doc = *m_pDoc;
        CPltS4C4PrintData& data = doc.m_PrintData[SlotPrint];
        const CJobLayout& layout = doc.m_Layout[SlotPrint];
        data.RasterizeSection(&doc.m_Sections[SlotPrint].m_pSections[index], index);
        std::set<std::pair<int, int>> dots;
        for (int r = 0; r < data.RowCount(); ++r)
            for (int x = 0; x < 8 * layout.m_nRowBytes; ++x)
                if (data.m_pRows[r][x / 8] >> (x % 8) & 1)
                    dots.insert({r, x});
        return dots;
    }

    CVirtualClock m_Clock;
    std::filesystem::path m_Dir;
    std::unique_ptr<CMarquellDoc> m_pDoc;
};

}  // namespace

TEST_F(PrintJobTest, EverySegmentOfAJobCarriesItsSections)
{
    CMarquellDoc& doc = *m_pDoc;
    CUserDefine& ud = doc.m_UserDefine;
    ud.JetPrintHeadValueX[0] = 3;
    ud.JetPrintHeadValueX[1] = 32;
    ud.JetPrintHeadValueY[0] = 4;
    // A rectangle, a diagonal and a circle-like polygon across several bands.
    std::vector<PltLine> lines = {{100, 100, 3900, 100}, {3900, 100, 3900, 6000}, {3900, 6000, 100, 6000},
                                  {100, 6000, 100, 100}, {200, 200, 3000, 5800}};
    for (int i = 0; i < 36; ++i) {
        float a = i * 0.1745329f, b = (i + 1) * 0.1745329f;
        lines.push_back({2000 + 1500 * std::cos(a), 3000 + 1500 * std::sin(a), 2000 + 1500 * std::cos(b),
                         3000 + 1500 * std::sin(b)});
    }
    Prepare(lines, 4000.0f, 6000.0f);
    int polls = 0;
    doc.m_fnPoll = [&polls] { ++polls; };
    ASSERT_TRUE(doc.AllocPrintBuffers());
    CJobLayout& layout = doc.m_Layout[SlotPrint];
    CPltS4C4PrintData& data = doc.m_PrintData[SlotPrint];
    ASSERT_EQ(layout.m_nPassesPerSegment, 4);
    ASSERT_EQ(layout.m_nSectionCount, 20);

    int segments = 0;
    for (; !doc.IsJobDone(); layout.m_nSectionCursor += layout.m_nPassesPerSegment, ++segments) {
        const int cursor = layout.m_nSectionCursor;
        ud.DATACOMPRESS = segments % 2 == 1;
        ASSERT_TRUE(doc.MakeSegment(cursor, false));
        ASSERT_TRUE(doc.CompressAndChecksum());
        std::vector<uint16_t> sent(data.m_pSegment, data.m_pSegment + layout.m_nSentWords);
        EXPECT_EQ(data.m_nChecksum, CSegmentPacker::Checksum(sent.data(), static_cast<int>(sent.size())));
        if (ud.DATACOMPRESS)
            sent = DecodeRuns(sent.data(), sent.size());
        ASSERT_EQ(sent.size(), static_cast<size_t>(layout.m_nSegmentWords));
        for (int r = 0; r < 4; ++r) {
            std::set<std::pair<int, int>> dots = Raster(cursor + r);
            if (cursor + r < 9) {
                EXPECT_FALSE(dots.empty()) << "section " << cursor + r;
            }
            for (int column = 0; column < 2; ++column)
                EXPECT_EQ(DecodePass(sent.data(), layout, ud, r, column), dots)
                    << "segment " << segments << " pass " << r << " column " << column;
        }
    }
    EXPECT_EQ(segments, 5);
    EXPECT_EQ(polls, 5 * (8 + 1));
}

TEST_F(PrintJobTest, PrepareJobCutsTheSlotsSections)
{
    CMarquellDoc& doc = *m_pDoc;
    auto write = [this](const char* name, const char* text) {
        std::string path = (m_Dir / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    };
    // 1500 units long after the base turn: three bands, twelve sections.
    doc.m_strSlotPath[SlotPrint] = write("print.plt", "IN;PU0,0;PD1500,0,1500,900;");
    doc.m_strSlotPath[SlotPreview] = write("preview.plt", "IN;PU0,0;PD8000,0;");
    ASSERT_TRUE(doc.PrepareJob(SlotPrint));
    ASSERT_TRUE(doc.PrepareJob(SlotPreview));
    EXPECT_EQ(doc.m_pCurLayout, &doc.m_Layout[SlotPreview]);

    const CJobLayout& print = doc.m_Layout[SlotPrint];
    const CPltLineSectS4Data& sections = doc.m_Sections[SlotPrint];
    EXPECT_EQ(print.m_nBandHeight, 698);
    EXPECT_EQ(print.m_nSectionCount, 12);
    EXPECT_EQ(print.m_nLineCount, 2);
    ASSERT_EQ(sections.m_nSectionCount, 12u);
    EXPECT_EQ(sections.m_pLayout, &print);
    unsigned fragments = 0;
    for (unsigned j = 0; j < 12; ++j)
        fragments += sections.m_pSections[j].count;
    EXPECT_EQ(fragments, 4u) << "one record within a band, one crossing two edges";
    EXPECT_EQ(doc.m_Layout[SlotPreview].m_nSectionCount, 20);

    // A file that cannot be read: the layout is reset, the sections stay as they were.
    doc.m_strSlotPath[SlotPrint] = (m_Dir / "missing.plt").string();
    EXPECT_FALSE(doc.PrepareJob(SlotPrint));
    EXPECT_EQ(print.m_nSectionCount, 0);
    EXPECT_EQ(sections.m_nSectionCount, 12u);
}

TEST_F(PrintJobTest, ColourBarWhilePending)
{
    CMarquellDoc& doc = *m_pDoc;
    Prepare({{0, 0, 1000, 1000}}, 4000.0f, 1000.0f);
    ASSERT_TRUE(doc.AllocPrintBuffers());
    CJobLayout& layout = doc.m_Layout[SlotPrint];
    CPltS4C4PrintData& data = doc.m_PrintData[SlotPrint];

    ASSERT_TRUE(doc.MakeSegment(0, true));
    std::vector<uint16_t> bar(data.m_pSegment, data.m_pSegment + layout.m_nSegmentWords);
    ASSERT_TRUE(doc.MakeSegment(0, false));
    EXPECT_FALSE(WordsEqual(bar, data.m_pSegment, bar.size()));
    CSegmentPacker::MakeSegment(data, layout, doc.m_Sections[SlotPrint], doc.m_UserDefine, 4, true, nullptr);
    EXPECT_TRUE(WordsEqual(bar, data.m_pSegment, bar.size()));
}

TEST_F(PrintJobTest, JobDoneCases)
{
    CMarquellDoc& doc = *m_pDoc;
    CJobLayout& layout = doc.m_Layout[SlotPrint];
    Prepare({}, 0.0f, 0.0f);
    ASSERT_TRUE(doc.AllocPrintBuffers());
    EXPECT_TRUE(doc.IsJobDone()) << "an empty drawing";
    EXPECT_FALSE(doc.MakeSegment(0, false));

    Prepare({{0, 0, 100, 100}}, 100.0f, 100.0f);
    ASSERT_TRUE(doc.AllocPrintBuffers());
    EXPECT_FALSE(doc.IsJobDone());
    layout.m_nSectionCursor = layout.m_nSectionCount.load();
    EXPECT_TRUE(doc.IsJobDone());
}

TEST_F(PrintJobTest, OversizedJobIsRefusedWithAMessage)
{
    CRecordingBridge bridge;
    CMarquellDoc& doc = *m_pDoc;
    Prepare({{0, 0, 100, 100}}, 100.0f, 100.0f);
    ASSERT_TRUE(doc.AllocPrintBuffers());
    Prepare({{0, 0, 1e30f, 100}}, 1e30f, 100.0f);
    EXPECT_FALSE(doc.AllocPrintBuffers());
    EXPECT_EQ(bridge.m_Messages, std::vector<std::string>{kPrintSizeMessage});
    EXPECT_EQ(doc.m_PrintData[SlotPrint].m_pSegment, nullptr) << "the previous job's buffers are gone";
    EXPECT_FALSE(doc.MakeSegment(0, false));
    EXPECT_FALSE(doc.CompressAndChecksum());
    EXPECT_EQ(doc.m_Layout[SlotPrint].m_nSentWords, 0) << "nothing to send";
}

TEST_F(PrintJobTest, DrawingTooLargeToCutIntoBandsIsRefused)
{
    CRecordingBridge bridge;
    CMarquellDoc& doc = *m_pDoc;
    CPltFileData& model = doc.m_PltData[SlotPrint];
    model.m_nMaxLines = 100;  // room for 200 fragments
    // Ten records crossing about 1000 bands each: 10000 fragments.
    std::vector<PltLine> lines(10, PltLine{50, 0, 50, 698000});
    Prepare(lines, 100.0f, 698000.0f);
    EXPECT_EQ(doc.m_Sections[SlotPrint].m_pSections, nullptr);
    EXPECT_FALSE(doc.AllocPrintBuffers()) << "the job would print blank";
    EXPECT_EQ(bridge.m_Messages, std::vector<std::string>{kPrintSizeMessage});

    lines.resize(2);  // 2002 fragments
    model.m_nMaxLines = 1001;
    Prepare(lines, 100.0f, 698000.0f);
    ASSERT_NE(doc.m_Sections[SlotPrint].m_pSections, nullptr);
    EXPECT_EQ(doc.m_Sections[SlotPrint].m_pSections[500].count, 2u);
    EXPECT_TRUE(doc.AllocPrintBuffers());
}

TEST_F(PrintJobTest, FinishingHoldsThePrintDataLock)
{
    CMarquellDoc& doc = *m_pDoc;
    Prepare({{0, 0, 100, 100}}, 100.0f, 100.0f);
    ASSERT_TRUE(doc.AllocPrintBuffers());
    ASSERT_TRUE(doc.MakeSegment(0, false));
    bool lockedDuringPoll = false;
    doc.m_fnPoll = [&] {
        lockedDuringPoll = !doc.m_PrintDataLock.try_lock();
        if (!lockedDuringPoll)
            doc.m_PrintDataLock.unlock();
    };
    ASSERT_TRUE(doc.CompressAndChecksum());
    EXPECT_TRUE(lockedDuringPoll);
    EXPECT_TRUE(doc.m_PrintDataLock.try_lock()) << "released afterwards";
    doc.m_PrintDataLock.unlock();
}

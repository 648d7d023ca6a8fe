// A document published as gpDoc whose print slot holds a hand-made segment, for transfer tests.
#pragma once

#include <memory>
#include <vector>

#include "document/marquelldoc.h"
#include "link/linkfixture.h"
#include "link/usbbulk.h"
#include "printdata/segmentpacker.h"

class JobTest : public LinkTest {
protected:
    void SetUp() override
    {
        LinkTest::SetUp();
        m_pDoc = std::make_unique<CMarquellDoc>(testing::TempDir() + "tessaline-no-config");
        gpDoc = m_pDoc.get();
    }
    void TearDown() override
    {
        // A held segment belongs to the test, not to the document's buffers.
        if (m_pDoc && !m_Segment.empty() && m_pDoc->m_PrintData[SlotPrint].m_pSegment == m_Segment.data())
            m_pDoc->m_PrintData[SlotPrint].m_pSegment = nullptr;
        gpDoc = nullptr;
        m_pDoc.reset();
        LinkTest::TearDown();
    }

    // The segment the document would have prepared, for a job of `sections` sections.
    void HoldSegment(std::vector<uint16_t> words, int sections, int passes = 4)
    {
        m_Segment = std::move(words);
        CPltS4C4PrintData& data = m_pDoc->m_PrintData[SlotPrint];
        data.m_pSegment = m_Segment.data();
        data.m_nChecksum = Checksum(m_Segment);
        Layout().m_nSentWords = static_cast<int>(m_Segment.size());
        Layout().m_nSegmentWords = static_cast<int>(m_Segment.size());
        Layout().m_nSectionCount = sections;
        Layout().m_nPassesPerSegment = passes;
    }
    static std::vector<uint8_t> AsBytes(const std::vector<uint16_t>& words)
    {
        std::vector<uint8_t> bytes;
        for (uint16_t w : words) {
            bytes.push_back(uint8_t(w & 0xFF));
            bytes.push_back(uint8_t(w >> 8));
        }
        return bytes;
    }
    static std::vector<uint16_t> Pattern(size_t n)
    {
        std::vector<uint16_t> w(n);
        for (size_t i = 0; i < n; ++i)
            w[i] = uint16_t(i * 2654435761u >> 7);
        return w;
    }
    static uint32_t Checksum(const std::vector<uint16_t>& words)
    {
        return CSegmentPacker::Checksum(words.data(), static_cast<int>(words.size()));
    }
    CJobLayout& Layout() { return m_pDoc->m_Layout[SlotPrint]; }
    CUserDefine& Settings() { return m_pDoc->m_UserDefine; }

    std::unique_ptr<CMarquellDoc> m_pDoc;
    std::vector<uint16_t> m_Segment;
};

// Fault texts: what is accepted, what each part means, and how counting picks the faulty exchange.
#include <gtest/gtest.h>

#include "sim/faultschedule.h"

TEST(FaultSchedule, ParsesEveryForm)
{
    struct Case {
        const char* text;
        FaultKind kind;
        int at, count, code;
        int64_t ms;
        bool during = false, repeat = false;
    };
    const Case cases[] = {
        {"reject-cmd", FaultKind::RejectCommand, 1, 1, -1, 0},
        {"reject-cmd@3x2/0x45", FaultKind::RejectCommand, 3, 2, 0x45, 0},
        {"no-reply@2/0x0E", FaultKind::NoReply, 2, 1, 0x0E, 0},
        {"reject-data@7x3", FaultKind::RejectData, 7, 3, -1, 0},
        {"bad-dram@bar", FaultKind::BadDram, CFaultSchedule::kColorBar, 1, -1, 0},
        {"bad-dram@4x5", FaultKind::BadDram, 4, 5, -1, 0},
        {"link-lost@2", FaultKind::LinkLost, 2, 1, -1, 2000},
        {"link-lost@start+500", FaultKind::LinkLost, CFaultSchedule::kAtStart, 1, -1, 500},
        {"link-lost@0+never", FaultKind::LinkLost, 0, 1, -1, CFaultSchedule::kNever},
        {"out-of-order@1", FaultKind::OutOfOrder, 1, 1, -1, 0},
        {"no-print-end", FaultKind::NoPrintEnd, 1, 1, -1, 0},
        {"pause@2", FaultKind::Pause, 2, 1, -1, 3000},
        {"pause@2+800", FaultKind::Pause, 2, 1, -1, 800},
        {"continue@0", FaultKind::Continue, 0, 1, -1, 0},
        {"stop@5", FaultKind::Stop, 5, 1, -1, 0},
        {"pause@3/during", FaultKind::Pause, 3, 1, -1, 3000, true},
        {"pause@3+500/during+repeat", FaultKind::Pause, 3, 1, -1, 500, true, true},
        {"continue@1/during", FaultKind::Continue, 1, 1, -1, 0, true},
        {"stop@2/during+repeat", FaultKind::Stop, 2, 1, -1, 0, true, true},
        {"unplug", FaultKind::Unplug, 1, 1, -1, 2000},
        {"unplug@3+never/0x19", FaultKind::Unplug, 3, 1, 0x19, CFaultSchedule::kNever},
    };
    for (const Case& c : cases) {
        CFaultSchedule s;
        std::string error;
        ASSERT_TRUE(s.Add(c.text, &error)) << c.text << ": " << error;
        const CFaultSchedule::Fault& f = s.Faults().at(0);
        EXPECT_EQ(f.kind, c.kind) << c.text;
        EXPECT_EQ(f.at, c.at) << c.text;
        EXPECT_EQ(f.count, c.count) << c.text;
        EXPECT_EQ(f.code, c.code) << c.text;
        EXPECT_EQ(f.ms, c.ms) << c.text;
        EXPECT_EQ(f.during, c.during) << c.text;
        EXPECT_EQ(f.repeat, c.repeat) << c.text;
    }
}

TEST(FaultSchedule, RejectsMalformedTexts)
{
    for (const char* text : {"", "reject", "reject-cmd@0", "reject-cmd@", "reject-cmd@2x", "reject-cmd@2x0",
                             "reject-data/0x45", "bad-dram", "bad-dram@start", "stop@bar", "pause@1x2",
                             "no-print-end@1", "no-reply/0x100", "link-lost@2+", "stop@3 ", "Stop@3",
                             "stop@2/during+", "stop@2/duringrepeat", "pause@2/0x45", "stop/during",
                             "reject-cmd@2/during", "unplug@1x2", "unplug@0"}) {
        CFaultSchedule s;
        std::string error;
        EXPECT_FALSE(s.Add(text, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_TRUE(s.Empty()) << text;
    }
}

TEST(FaultSchedule, CountsPickTheSameExchangesEveryRun)
{
    CFaultSchedule s;
    ASSERT_TRUE(s.Add("reject-cmd@2x2/0x45"));
    ASSERT_TRUE(s.Add("bad-dram@1x2"));
    std::vector<bool> rejected;
    for (int code : {0x45, 0x21, 0x45, 0x45, 0x45})
        rejected.push_back(s.RejectCommand(code));
    EXPECT_EQ(rejected, (std::vector<bool>{false, false, true, true, false}));

    EXPECT_FALSE(s.BadDram(0));
    EXPECT_TRUE(s.BadDram(1));
    EXPECT_TRUE(s.BadDram(1));
    EXPECT_FALSE(s.BadDram(1));
}

TEST(FaultSchedule, SegmentEventsFireOnceInTheirOrder)
{
    CFaultSchedule s;
    ASSERT_TRUE(s.Add("stop@3"));
    ASSERT_TRUE(s.Add("pause@3+100"));
    ASSERT_TRUE(s.Add("continue@4"));
    EXPECT_TRUE(s.TakeSegmentEvents(2).empty());
    auto events = s.TakeSegmentEvents(3);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, FaultKind::Stop);
    EXPECT_EQ(events[1].kind, FaultKind::Pause);
    EXPECT_EQ(events[1].ms, 100);
    EXPECT_TRUE(s.TakeSegmentEvents(3).empty());
}

TEST(FaultSchedule, KeysDuringATransferAreTakenApartFromTheSegmentEvents)
{
    CFaultSchedule s;
    ASSERT_TRUE(s.Add("pause@2"));
    ASSERT_TRUE(s.Add("stop@2/during"));
    ASSERT_TRUE(s.Add("continue@2/during+repeat"));
    auto events = s.TakeSegmentEvents(2);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, FaultKind::Pause);
    CFaultSchedule::Fault f;
    EXPECT_FALSE(s.TakeDuringKey(1, &f));
    ASSERT_TRUE(s.TakeDuringKey(2, &f));
    EXPECT_EQ(f.kind, FaultKind::Stop);
    ASSERT_TRUE(s.TakeDuringKey(2, &f));
    EXPECT_EQ(f.kind, FaultKind::Continue);
    EXPECT_TRUE(f.repeat);
    EXPECT_FALSE(s.TakeDuringKey(2, &f));
}

TEST(FaultSchedule, UnplugHitsTheNthCommandOfItsCodeOnce)
{
    CFaultSchedule s;
    ASSERT_TRUE(s.Add("unplug@2+700/0x19"));
    int64_t ms = 0;
    std::vector<bool> hits;
    for (int code : {0x19, 0x45, 0x19, 0x19})
        hits.push_back(s.Unplug(code, &ms));
    EXPECT_EQ(hits, (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(ms, 700);
}

TEST(FaultSchedule, SyntaxNamesEveryKind)
{
    const std::string syntax = CFaultSchedule::Syntax();
    for (const char* form : {"reject-cmd", "reject-data", "no-reply", "bad-dram", "link-lost", "out-of-order",
                             "no-print-end", "pause@S", "continue@S", "stop@S", "/during[+repeat]", "unplug@N"})
        EXPECT_NE(syntax.find(form), std::string::npos) << form;
}

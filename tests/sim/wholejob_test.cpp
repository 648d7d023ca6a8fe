// Whole jobs through the print worker against the virtual plotter: what it prints, and how the faults end.
#include "jobharness.h"

TEST_F(JobHarness, PrintedPageIsTheUnionOfTheSections)
{
    PrintJob(Fixture("small.plt"));
    ExpectNoPlotterProblems();
    ExpectPageIsUnionOfSections();
}

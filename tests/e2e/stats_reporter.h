#pragma once
// For long runs of the test build: when PARVELLE_TEST_STATS names a file, a
// thread appends what the process holds to it every
// PARVELLE_TEST_STATS_SECONDS (default 60) seconds, one line each:
//   <seconds since start> heap=<bytes> handles=<n> gdi=<n> committed=<bytes>
// The shipped program has no such thread.
void StartStatsReporterFromEnvironment();

#pragma once
// What the benchmarks share: a sample of timings summarised, and the summary rows that
// bench/run gathers into one table at the end.

#include <string>
#include <string_view>
#include <vector>

namespace bench {

// Sorted copies: a percentile is the nearest-rank value, the median the mean of the middle two.
double median(std::vector<double> values);
double percentile(std::vector<double> values, double p);
double minimum(const std::vector<double>& values);

// One figure of the summary: printed now, and appended to the file named by
// $QUILLON_BENCH_SUMMARY (tab-separated) when that is set, for bench/run's combined table.
struct Row {
    std::string bench;
    std::string figure;
    double value = 0;
    std::string unit;
    std::string target;  // empty: no target, just a figure
};

void printTable(std::string_view title, const std::vector<Row>& rows);

}  // namespace bench

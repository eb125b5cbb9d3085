#include "bench_support.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace bench {

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const double rank = std::ceil(p / 100.0 * static_cast<double>(values.size()));
    const std::size_t i = rank < 1 ? 0 : static_cast<std::size_t>(rank) - 1;
    return values[std::min(i, values.size() - 1)];
}

double minimum(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

void printTable(std::string_view title, const std::vector<Row>& rows) {
    std::printf("\n%.*s\n", static_cast<int>(title.size()), title.data());
    std::printf("  %-44s %12s  %-6s %s\n", "figure", "value", "unit", "target");
    for (const Row& r : rows)
        std::printf("  %-44s %12.3f  %-6s %s\n", r.figure.c_str(), r.value, r.unit.c_str(), r.target.c_str());
    std::fflush(stdout);

    const char* path = std::getenv("QUILLON_BENCH_SUMMARY");
    if (!path || !*path) return;
    if (std::FILE* f = std::fopen(path, "a")) {
        for (const Row& r : rows)
            std::fprintf(f, "%s\t%s\t%.3f\t%s\t%s\n", r.bench.c_str(), r.figure.c_str(), r.value, r.unit.c_str(),
                         r.target.c_str());
        std::fclose(f);
    }
}

}  // namespace bench

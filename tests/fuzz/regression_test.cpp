// Replays files through both decoders with the fuzzers' checks: every input a fuzzer once
// stopped on lives in regressions/ and must come back as an error or a sound picture.
//
//   fuzz_regression FILE...
//
// Exits 0 when every file passed; a broken check or a sanitizer report ends it otherwise.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "decoder_checks.h"

// Allocations larger than the fuzzers allow (-rss_limit_mb=2048) are failures here too,
// rather than a machine brought to its knees.
extern "C" const char* __asan_default_options() { return "max_allocation_size_mb=2048"; }

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE...\n", argv[0]);
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 2;
        }
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::fprintf(stderr, "replaying %s (%zu bytes)\n", argv[i], bytes.size());
        quillon::fuzz::checkJpeg(bytes);
        quillon::fuzz::checkPng(bytes);
        quillon::fuzz::checkSniffed(bytes);
    }
    return 0;
}

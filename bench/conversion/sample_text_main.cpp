// Writes the benchmark sample text: lumo-sample-text [MEGABYTES] > file
#include "bench/conversion/sample_text.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char **argv)
{
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 1.0;
    if (argc > 2 || !(megabytes > 0 && megabytes <= 4096)) {
        std::fputs("usage: lumo-sample-text [MEGABYTES]\n", stderr);
        return 2;
    }
    const std::string text = lumo::bench::SampleChineseText(static_cast<std::size_t>(megabytes * 1e6));
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0 ? 0
                                                                                                       : 1;
}

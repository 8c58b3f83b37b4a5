// lumo-s2twgen CHAIN DATA_DIR OUTPUT: writes the compiled Simplified-to-Taiwan-Traditional table
// from the data that CHAIN (zhconv/chain.lock) pins, found under DATA_DIR. Run by the build, after
// every file of the chain has been checked against its hash.

#include "tools/generated_file.h"
#include "tools/s2twgen/tablebuilder.h"
#include "zhconv/engine.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: lumo-s2twgen CHAIN DATA_DIR OUTPUT\n");
        return 2;
    }
    const std::string chainPath = argv[1], dataDir = argv[2];
    return lumo::platform::detail::WriteGeneratedFile("lumo-s2twgen", argv[3], [&] {
        std::string table = lumo::zhconv::BuildTable(lumo::zhconv::Chain(chainPath, dataDir));
        // The engine must accept what we write; it reads the table in place, so align a copy.
        std::string aligned(table.size() + 16, '\0');
        auto *start = reinterpret_cast<unsigned char *>(
            (reinterpret_cast<std::uintptr_t>(aligned.data()) + 15) / 16 * 16);
        std::copy(table.begin(), table.end(), start);
        lumo::zhconv::Engine engine;
        std::string error;
        if (!engine.Open({start, table.size()}, error))
            throw std::runtime_error(error);
        return table;
    });
}

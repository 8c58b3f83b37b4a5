// lumo-scripttable DICTIONARY_DIR OUTPUT: writes the compiled Simplified-to-Taiwan-Traditional
// table. Run by the build.

#include "platform/text/scriptengine.h"
#include "platform/text/tablegen/generated_file.h"
#include "platform/text/tablegen/tablebuilder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: lumo-scripttable DICTIONARY_DIR OUTPUT\n");
        return 2;
    }
    const std::string dictDir = argv[1];
    return lumo::platform::detail::WriteGeneratedFile("lumo-scripttable", argv[2], [&dictDir] {
        std::string table = lumo::platform::detail::BuildScriptTable(dictDir);
        // The engine must accept what we write; it reads the table in place, so align a copy.
        std::string aligned(table.size() + 16, '\0');
        auto *start = reinterpret_cast<unsigned char *>(
            (reinterpret_cast<std::uintptr_t>(aligned.data()) + 15) / 16 * 16);
        std::copy(table.begin(), table.end(), start);
        lumo::platform::detail::ScriptEngine engine;
        std::string error;
        if (!engine.Open({start, table.size()}, error))
            throw std::runtime_error(error);
        return table;
    });
}

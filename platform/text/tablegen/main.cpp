// lumo-scripttable DICTIONARY_DIR OUTPUT: writes the compiled Simplified-to-Taiwan-Traditional
// table. Run by the build; the output appears whole or not at all.

#include "platform/text/scriptengine.h"
#include "platform/text/tablegen/tablebuilder.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: lumo-scripttable DICTIONARY_DIR OUTPUT\n");
        return 2;
    }
    const std::filesystem::path output = argv[2];
    const std::filesystem::path partial = output.string() + ".partial";
    try {
        const std::string table = lumo::platform::detail::BuildScriptTable(argv[1]);
        // The engine must accept what we write; it reads the table in place, so align a copy.
        std::string aligned(table.size() + 16, '\0');
        auto *start = reinterpret_cast<unsigned char *>(
            (reinterpret_cast<std::uintptr_t>(aligned.data()) + 15) / 16 * 16);
        std::copy(table.begin(), table.end(), start);
        lumo::platform::detail::ScriptEngine engine;
        std::string error;
        if (!engine.Open({start, table.size()}, error))
            throw std::runtime_error(error);

        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(table.data(), static_cast<std::streamsize>(table.size()));
        out.close();
        if (!out)
            throw std::runtime_error("cannot write " + partial.string());
        std::filesystem::rename(partial, output);
    } catch (const std::exception &e) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        std::fprintf(stderr, "lumo-scripttable: %s\n", e.what());
        return 1;
    }
    return 0;
}

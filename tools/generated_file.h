#pragma once

// Build time only: how the table generators write their output.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>

namespace lumo::platform::detail {

/// Writes what `produce` returns to `output` through a temporary file that is renamed when it is
/// complete, so the output appears whole or not at all. An exception becomes a message on standard
/// error under the program's name. Returns the exit status for main().
inline int WriteGeneratedFile(const char *program, const std::filesystem::path &output,
                              const std::function<std::string()> &produce)
{
    const std::filesystem::path partial = output.string() + ".partial";
    try {
        const std::string content = produce();
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (!out)
            throw std::runtime_error("cannot write " + partial.string());
        std::filesystem::rename(partial, output);
    } catch (const std::exception &e) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        std::fprintf(stderr, "%s: %s\n", program, e.what());
        return 1;
    }
    return 0;
}

} // namespace lumo::platform::detail

#include "platform/text/scriptmap.h"

#include "zhconv/engine.h"

#include <limits>
#include <string>

namespace lumo::platform {
namespace {

thread_local std::string lastError;

struct CompiledEngine {
    zhconv::Engine engine;
    std::string error; // why the table could not be read; empty when it could
    bool ok = false;
    CompiledEngine() { ok = engine.Open(zhconv::CompiledTable(), error); }
};

// Opened on first use; nothing is read or built, the table is used where it lies.
const zhconv::Engine *Engine()
{
    static const CompiledEngine compiled;
    if (!compiled.ok) {
        lastError = compiled.error;
        return nullptr;
    }
    return &compiled.engine;
}

int Fail(std::string message)
{
    lastError = std::move(message);
    return 0;
}

} // namespace

int LCMapStringA(std::uint32_t locale, std::uint32_t flags, const char *src, int srcCount, char *dest,
                 int destCapacity)
{
    lastError.clear();
    if (locale != kLocaleChinesePrc)
        return Fail("unsupported locale " + std::to_string(locale) + "; only 2052 is mapped");
    if (flags != LCMAP_TRADITIONAL_CHINESE)
        return Fail("unsupported mapping flags " + std::to_string(flags) +
                    "; only LCMAP_TRADITIONAL_CHINESE is mapped");
    if (src == nullptr || srcCount < -1 || destCapacity < 0 || (dest == nullptr && destCapacity > 0))
        return Fail("invalid parameter");
    const std::size_t count = srcCount == -1 ? std::char_traits<char>::length(src) + 1 : srcCount;
    if (count == 0)
        return Fail("the source is empty");
    if (count > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return Fail("the source is too long"); // its length would not fit the result
    // The mapped text always has as many bytes as the source.
    if (destCapacity == 0)
        return static_cast<int>(count);
    if (static_cast<std::size_t>(destCapacity) < count)
        return Fail("the destination holds " + std::to_string(destCapacity) + " bytes, the mapping needs " +
                    std::to_string(count));
    if (dest != src && dest < src + count && src < dest + count)
        return Fail("source and destination overlap");
    const zhconv::Engine *engine = Engine();
    if (engine == nullptr)
        return 0;
    engine->Map(src, count, dest);
    return static_cast<int>(count);
}

std::string ScriptMapError()
{
    return lastError;
}

bool PreloadScriptMap()
{
    lastError.clear();
    return Engine() != nullptr;
}

} // namespace lumo::platform

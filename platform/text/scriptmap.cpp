#include "platform/text/scriptmap.h"

#include "platform/text/scriptengine.h"

#include <atomic>
#include <filesystem>
#include <limits>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace lumo::platform {
namespace {

thread_local std::string lastError;

// The engine is loaded once per process, on first use, and never freed while the process runs:
// threads hold plain pointers to it. A failed load is remembered too, so a missing dictionary
// costs one attempt, not one per call.
struct LoadState {
    std::atomic<const detail::ScriptEngine *> ready{nullptr}; // set once loaded: the lock-free path
    std::mutex mutex;
    std::string dataDir = LUMO_OPENCC_DATA_DIR;
    bool attempted = false;
    std::string error;
    std::vector<std::unique_ptr<const detail::ScriptEngine>> loaded;
};

LoadState &State()
{
    static LoadState state;
    return state;
}

const detail::ScriptEngine *Engine()
{
    LoadState &state = State();
    if (const detail::ScriptEngine *engine = state.ready.load(std::memory_order_acquire))
        return engine;
    std::lock_guard lock(state.mutex);
    if (!state.attempted) {
        state.attempted = true;
        try {
            state.loaded.push_back(detail::ScriptEngine::Load(state.dataDir));
            state.ready.store(state.loaded.back().get(), std::memory_order_release);
        } catch (const std::exception &e) {
            state.error = e.what();
        }
    }
    const detail::ScriptEngine *engine = state.ready.load(std::memory_order_relaxed);
    if (engine == nullptr)
        lastError = state.error;
    return engine;
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
    const detail::ScriptEngine *engine = Engine();
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

void SetScriptMapDataDirForTesting(const std::string &dataDir)
{
    LoadState &state = State();
    std::lock_guard lock(state.mutex);
    state.dataDir = dataDir.empty() ? std::string(LUMO_OPENCC_DATA_DIR)
                                    : std::filesystem::absolute(dataDir).lexically_normal().string();
    state.attempted = false;
    state.ready.store(nullptr, std::memory_order_release);
    state.error.clear();
}

} // namespace lumo::platform

// Preloaded into a program by startup.sh (LD_PRELOAD) to see, from inside it, when its first
// top-level window is mapped and when the first painted frame goes to the X server. Qt's xcb
// backing store sends every frame with one of the two image requests wrapped here, so the first
// of them after the map is the first time the window shows anything of its own.
//
// At the first frame it writes "<map> <frame>" (CLOCK_REALTIME, nanoseconds) to the file named
// by LUMO_FRAME_PROBE_OUT. Nothing else in the program changes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>

namespace {

struct Cookie {
    unsigned int sequence;
};

std::int64_t Now()
{
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

std::int64_t g_mapped = 0;
bool g_written = false;

void FramePushed()
{
    if (g_mapped == 0 || g_written)
        return;
    g_written = true;
    const std::int64_t frame = Now();
    if (const char *path = std::getenv("LUMO_FRAME_PROBE_OUT")) {
        if (std::FILE *out = std::fopen(path, "w")) {
            std::fprintf(out, "%lld %lld\n", static_cast<long long>(g_mapped), static_cast<long long>(frame));
            std::fclose(out);
        }
    }
}

// The xcb libraries come in with Qt's platform plugin, opened with RTLD_LOCAL, so they are not
// in the global scope that RTLD_NEXT searches: look in the loaded library itself.
template <typename Function> Function Next(const char *library, const char *name)
{
    if (void *symbol = dlsym(RTLD_NEXT, name))
        return reinterpret_cast<Function>(symbol);
    void *handle = dlopen(library, RTLD_LAZY | RTLD_NOLOAD);
    return handle ? reinterpret_cast<Function>(dlsym(handle, name)) : nullptr;
}

} // namespace

extern "C" {

Cookie xcb_map_window(void *connection, std::uint32_t window)
{
    static const auto next = Next<Cookie (*)(void *, std::uint32_t)>("libxcb.so.1", "xcb_map_window");
    if (g_mapped == 0)
        g_mapped = Now();
    return next(connection, window);
}

Cookie xcb_put_image(void *connection, std::uint8_t format, std::uint32_t drawable, std::uint32_t gc,
                     std::uint16_t width, std::uint16_t height, std::int16_t x, std::int16_t y,
                     std::uint8_t leftPad, std::uint8_t depth, std::uint32_t length, const std::uint8_t *data)
{
    static const auto next =
        Next<Cookie (*)(void *, std::uint8_t, std::uint32_t, std::uint32_t, std::uint16_t, std::uint16_t,
                        std::int16_t, std::int16_t, std::uint8_t, std::uint8_t, std::uint32_t,
                        const std::uint8_t *)>("libxcb.so.1", "xcb_put_image");
    FramePushed();
    return next(connection, format, drawable, gc, width, height, x, y, leftPad, depth, length, data);
}

Cookie xcb_shm_put_image(void *connection, std::uint32_t drawable, std::uint32_t gc, std::uint16_t totalWidth,
                         std::uint16_t totalHeight, std::uint16_t srcX, std::uint16_t srcY,
                         std::uint16_t srcWidth, std::uint16_t srcHeight, std::int16_t dstX,
                         std::int16_t dstY, std::uint8_t depth, std::uint8_t format, std::uint8_t sendEvent,
                         std::uint32_t segment, std::uint32_t offset)
{
    static const auto next =
        Next<Cookie (*)(void *, std::uint32_t, std::uint32_t, std::uint16_t, std::uint16_t, std::uint16_t,
                        std::uint16_t, std::uint16_t, std::uint16_t, std::int16_t, std::int16_t, std::uint8_t,
                        std::uint8_t, std::uint8_t, std::uint32_t, std::uint32_t)>("libxcb-shm.so.0",
                                                                                   "xcb_shm_put_image");
    FramePushed();
    return next(connection, drawable, gc, totalWidth, totalHeight, srcX, srcY, srcWidth, srcHeight, dstX,
                dstY, depth, format, sendEvent, segment, offset);
}

} // extern "C"

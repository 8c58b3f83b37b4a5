// Throughput of the code page passes and the script mapping, beside OpenCC's own s2tw converter,
// on the same megabyte of Simplified Chinese text.
//
//   cmake --build build --target platform_text_bench && build/bench/platform_text/platform_text_bench

#include "platform/text/codepage.h"
#include "platform/text/scriptmap.h"
#include "platform/text/utf8.h"

#include <array>
#include <benchmark/benchmark.h>
#include <opencc/SimpleConverter.hpp>
#include <random>
#include <string>
#include <string_view>

namespace lp = lumo::platform;

namespace {

// clang-format off
constexpr std::array<std::string_view, 6> kSentences{
    "为了让头发长得更快，她以后每天晚上都会用温水洗头，然后在里面的房间里吹干。",
    "这家公司去年发布了三款新产品，其中一款是他们自己发明的咖啡机，可以一次冲好几杯咖啡。",
    "我们在会议上讨论了下一个季度的计划，老板说必须在十月以前把系统的问题全部解决。",
    "后来他才明白，生活里发生的很多事情并不是只靠努力就能改变的，还需要一点运气。",
    "皇后站在宫殿前面，看着远处的山和云，心里想着那些已经离开的人。",
    "小区门口的面馆开了十几年，老板的手艺很好，面条又细又长，汤也特别香。",
};
constexpr std::array<std::string_view, 8> kExtras{
    "2010年", "，", "。", "“你好！”", "ABC", "（第3次）", "\n", "……",
};
// clang-format on

std::string SampleUtf8(std::size_t bytes)
{
    std::string text;
    std::mt19937 rng(936);
    while (text.size() < bytes) {
        text += kSentences[rng() % kSentences.size()];
        if (rng() % 3 == 0)
            text += kExtras[rng() % kExtras.size()];
    }
    return text;
}

std::u16string ToUtf16(std::string_view s)
{
    std::u16string out;
    std::size_t offset = 0;
    lumo::platform::DecodeUtf8(s, out, offset);
    return out;
}

const std::string &Utf8Text()
{
    static const std::string text = SampleUtf8(1 << 20);
    return text;
}

const std::u16string &Utf16Text()
{
    static const std::u16string text = ToUtf16(Utf8Text());
    return text;
}

void OpenCCS2tw(benchmark::State &state)
{
    const opencc::SimpleConverter converter(std::string(LUMO_OPENCC_DATA_DIR) + "/s2tw.json");
    for (auto _ : state)
        benchmark::DoNotOptimize(converter.Convert(Utf8Text()));
    state.SetBytesProcessed(state.iterations() * Utf8Text().size());
}

void EncodeAnsi(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(lp::EncodeAnsi(Utf16Text()));
    state.SetBytesProcessed(state.iterations() * Utf8Text().size());
}

void DecodeAnsi(benchmark::State &state)
{
    const std::string bytes = lp::EncodeAnsi(Utf16Text());
    for (auto _ : state)
        benchmark::DoNotOptimize(lp::DecodeAnsi(bytes));
    state.SetBytesProcessed(state.iterations() * Utf8Text().size());
}

void MapOnly(benchmark::State &state)
{
    const std::string bytes = lp::EncodeAnsi(Utf16Text());
    std::string dest(bytes.size(), ' ');
    lp::PreloadScriptMap();
    for (auto _ : state)
        benchmark::DoNotOptimize(lp::LCMapStringA(lp::kLocaleChinesePrc, lp::LCMAP_TRADITIONAL_CHINESE,
                                                  bytes.data(), static_cast<int>(bytes.size()), dest.data(),
                                                  static_cast<int>(dest.size())));
    state.SetBytesProcessed(state.iterations() * Utf8Text().size());
}

// Encode, map and decode: what the conversion does around its table pass.
void EncodeMapDecode(benchmark::State &state)
{
    lp::PreloadScriptMap();
    for (auto _ : state) {
        const std::string bytes = lp::EncodeAnsi(Utf16Text());
        std::string dest(bytes.size(), ' ');
        lp::LCMapStringA(lp::kLocaleChinesePrc, lp::LCMAP_TRADITIONAL_CHINESE, bytes.data(),
                         static_cast<int>(bytes.size()), dest.data(), static_cast<int>(dest.size()));
        benchmark::DoNotOptimize(lp::DecodeAnsi(dest));
    }
    state.SetBytesProcessed(state.iterations() * Utf8Text().size());
}

void LoadOpenCC(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(opencc::SimpleConverter(std::string(LUMO_OPENCC_DATA_DIR) + "/s2tw.json"));
}

// Our table is compiled in: opening it only checks its header.
void OpenScriptTable(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(lp::PreloadScriptMap());
}

} // namespace

// Bytes processed are counted in UTF-8 input bytes throughout, so the rates compare directly.
BENCHMARK(OpenCCS2tw)->Unit(benchmark::kMillisecond);
BENCHMARK(EncodeMapDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(MapOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(EncodeAnsi)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeAnsi)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadOpenCC)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenScriptTable)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

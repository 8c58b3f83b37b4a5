// The look-alike table pass and the whole conversion, beside OpenCC's own s2tw.
//   build/bench/conversion/bench_conversion --benchmark_min_time=2
#include "bench/conversion/sample_text.h"
#include "conversion/conversion.h"
#include "conversion/personalised_table.h"
#include "platform/text/utf8.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <opencc/SimpleConverter.hpp>
#include <string>

namespace {

using namespace lumo::conversion;
using lumo::platform::DecodeUtf8;
using lumo::platform::EncodeUtf8;

constexpr const char *kOpenccConfig = LUMO_OPENCC_DATA_DIR "/s2tw.json";

std::u16string Utf16(const std::string &utf8)
{
    std::u16string text;
    std::size_t offset = 0;
    if (!DecodeUtf8(utf8, text, offset))
        std::abort();
    return text;
}

// 1 MB of UTF-8 Simplified Chinese.
const std::string &SimplifiedUtf8()
{
    static const std::string text = lumo::bench::SampleChineseText(1'000'000);
    return text;
}

// The table runs on Traditional text: 1 MB of UTF-16 of it.
const std::u16string &TraditionalUtf16()
{
    static const std::u16string text = [] {
        const opencc::SimpleConverter converter(kOpenccConfig);
        std::u16string t = Utf16(converter.Convert(lumo::bench::SampleChineseText(1'600'000)));
        t.resize(500'000);
        return t;
    }();
    return text;
}

void BM_TableOnePass(benchmark::State &state)
{
    const std::u16string &text = TraditionalUtf16();
    for (auto _ : state)
        benchmark::DoNotOptimize(ApplyPersonalisedTable(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size() * 2));
}
BENCHMARK(BM_TableOnePass)->Unit(benchmark::kMillisecond);

void BM_TableRowByRow(benchmark::State &state)
{
    const std::u16string &text = TraditionalUtf16();
    for (auto _ : state)
        benchmark::DoNotOptimize(ApplyPersonalisedTableRowByRow(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size() * 2));
}
BENCHMARK(BM_TableRowByRow)->Unit(benchmark::kMillisecond);

// Throughputs below count the same 1 MB of UTF-8, so the figures compare directly.
void BM_OpenccS2tw(benchmark::State &state)
{
    const opencc::SimpleConverter converter(kOpenccConfig);
    const std::string &text = SimplifiedUtf8();
    for (auto _ : state)
        benchmark::DoNotOptimize(converter.Convert(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_OpenccS2tw)->Unit(benchmark::kMillisecond);

void ConvertBench(benchmark::State &state, bool personalisedOff)
{
    const std::u16string text = Utf16(SimplifiedUtf8());
    ConversionVariables vars;
    if (!ConvertText(u"预热", personalisedOff, vars).ok) {
        state.SkipWithError("the conversion failed");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(ConvertText(text, personalisedOff, vars));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * SimplifiedUtf8().size()));
}
void BM_ConvertText(benchmark::State &state)
{
    ConvertBench(state, false);
}
void BM_ConvertTextPlain(benchmark::State &state)
{
    ConvertBench(state, true);
}
BENCHMARK(BM_ConvertText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertTextPlain)->Unit(benchmark::kMillisecond);

// What lumo-convert does per chunk: UTF-8 in, conversion, UTF-8 out.
void BM_ConvertTextFromUtf8(benchmark::State &state)
{
    const std::string &utf8 = SimplifiedUtf8();
    ConversionVariables vars;
    for (auto _ : state) {
        std::u16string text;
        std::size_t offset = 0;
        DecodeUtf8(utf8, text, offset);
        std::string out;
        EncodeUtf8(ConvertText(text, false, vars).text, out);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * utf8.size()));
}
BENCHMARK(BM_ConvertTextFromUtf8)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

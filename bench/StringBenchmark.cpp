#include "Utilities/Storage/StringT.h"

#include <benchmark/benchmark.h>

#include <codecvt>
#include <locale>
#include <string>

namespace {

const wchar_t* const kSentence = L"Firmware image sent to the Halvista display, block by block, with progress";
const char* const kUtf8Sentence = "Fïrmwäre ímage → Halvista 表示 装置 ✓ with progress and a longer tail of ASCII text";

void ZVStringCopy(benchmark::State& state)
{
    const ZV::WideString source(kSentence);
    for (auto _ : state) {
        ZV::WideString copy(source);
        benchmark::DoNotOptimize(copy.GetData());
    }
}
BENCHMARK(ZVStringCopy);

void StdWStringCopy(benchmark::State& state)
{
    const std::wstring source(kSentence);
    for (auto _ : state) {
        std::wstring copy(source);
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(StdWStringCopy);

void ZVStringAppend(benchmark::State& state)
{
    const ZV::WideString piece(L"block ");
    for (auto _ : state) {
        ZV::WideString text;
        for (int i = 0; i < 64; ++i) {
            text += piece;
        }
        benchmark::DoNotOptimize(text.GetData());
    }
}
BENCHMARK(ZVStringAppend);

void StdWStringAppend(benchmark::State& state)
{
    const std::wstring piece(L"block ");
    for (auto _ : state) {
        std::wstring text;
        for (int i = 0; i < 64; ++i) {
            text += piece;
        }
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(StdWStringAppend);

void ZVStringFromUTF8(benchmark::State& state)
{
    for (auto _ : state) {
        ZV::WideString text;
        text.AssignFromUTF8(kUtf8Sentence, -1);
        benchmark::DoNotOptimize(text.GetData());
    }
}
BENCHMARK(ZVStringFromUTF8);

void ZVStringToUTF8(benchmark::State& state)
{
    ZV::WideString text;
    text.AssignFromUTF8(kUtf8Sentence, -1);
    for (auto _ : state) {
        ZV::NarrowString utf8 = text.ToUTF8();
        benchmark::DoNotOptimize(utf8.GetData());
    }
}
BENCHMARK(ZVStringToUTF8);

// The standard library's own UTF-8 <-> UTF-16 facet, deprecated but still the standard's only converter.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
using Utf16Converter = std::wstring_convert<std::codecvt_utf8_utf16<char16_t>, char16_t>;

void StdStringFromUTF8(benchmark::State& state)
{
    Utf16Converter converter;
    for (auto _ : state) {
        std::u16string text = converter.from_bytes(kUtf8Sentence);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(StdStringFromUTF8);

void StdStringToUTF8(benchmark::State& state)
{
    Utf16Converter converter;
    const std::u16string text = converter.from_bytes(kUtf8Sentence);
    for (auto _ : state) {
        std::string utf8 = converter.to_bytes(text);
        benchmark::DoNotOptimize(utf8.data());
    }
}
BENCHMARK(StdStringToUTF8);
#pragma GCC diagnostic pop

}  // namespace

#include "SideBySide.h"
#include "Utilities/Storage/StringT.h"

#include <benchmark/benchmark.h>

#include <codecvt>
#include <locale>
#include <string>

namespace {

const wchar_t* const kSentence = L"Firmware image sent to the Halvista display, block by block, with progress";
const char* const kUtf8Sentence = "Fïrmwäre ímage → Halvista 表示 装置 ✓ with progress and a longer tail of ASCII text";
constexpr int kPieces = 64;

void StringCopy(benchmark::State& state)
{
    const ZV::WideString ours(kSentence);
    const std::wstring standard(kSentence);
    bench::RunSideBySide(
        state,
        [&] {
            ZV::WideString copy(ours);
            benchmark::DoNotOptimize(copy.GetData());
        },
        [&] {
            std::wstring copy(standard);
            benchmark::DoNotOptimize(copy.data());
        });
}
BENCHMARK(StringCopy);

void StringAppend64Pieces(benchmark::State& state)
{
    const ZV::WideString ourPiece(L"block ");
    const std::wstring standardPiece(L"block ");
    bench::RunSideBySide(
        state,
        [&] {
            ZV::WideString text;
            for (int i = 0; i < kPieces; ++i) {
                text += ourPiece;
            }
            benchmark::DoNotOptimize(text.GetData());
        },
        [&] {
            std::wstring text;
            for (int i = 0; i < kPieces; ++i) {
                text += standardPiece;
            }
            benchmark::DoNotOptimize(text.data());
        });
}
BENCHMARK(StringAppend64Pieces);

void StringAppend64Characters(benchmark::State& state)
{
    bench::RunSideBySide(
        state,
        [] {
            ZV::WideString text;
            for (int i = 0; i < kPieces; ++i) {
                text.AppendChar(L'a' + i % 26);
            }
            benchmark::DoNotOptimize(text.GetData());
        },
        [] {
            std::wstring text;
            for (int i = 0; i < kPieces; ++i) {
                text.push_back(L'a' + i % 26);
            }
            benchmark::DoNotOptimize(text.data());
        });
}
BENCHMARK(StringAppend64Characters);

void StringMid(benchmark::State& state)
{
    const ZV::WideString ours(kSentence);
    const std::wstring standard(kSentence);
    bench::RunSideBySide(
        state,
        [&] {
            ZV::WideString part = ours.Mid(9, 40);
            benchmark::DoNotOptimize(part.GetData());
        },
        [&] {
            std::wstring part = standard.substr(9, 40);
            benchmark::DoNotOptimize(part.data());
        });
}
BENCHMARK(StringMid);

// The standard library's own UTF-8 <-> UTF-16 facet, deprecated but still the standard's only converter.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
using Utf16Converter = std::wstring_convert<std::codecvt_utf8_utf16<char16_t>, char16_t>;

void StringFromUTF8(benchmark::State& state)
{
    Utf16Converter converter;
    bench::RunSideBySide(
        state,
        [] {
            ZV::WideString text;
            (void)text.AssignFromUTF8(kUtf8Sentence, -1);
            benchmark::DoNotOptimize(text.GetData());
        },
        [&] {
            std::u16string text = converter.from_bytes(kUtf8Sentence);
            benchmark::DoNotOptimize(text.data());
        });
}
BENCHMARK(StringFromUTF8);

void StringToUTF8(benchmark::State& state)
{
    Utf16Converter converter;
    ZV::WideString ours;
    (void)ours.AssignFromUTF8(kUtf8Sentence, -1);
    const std::u16string standard = converter.from_bytes(kUtf8Sentence);
    bench::RunSideBySide(
        state,
        [&] {
            ZV::NarrowString utf8 = ours.ToUTF8();
            benchmark::DoNotOptimize(utf8.GetData());
        },
        [&] {
            std::string utf8 = converter.to_bytes(standard);
            benchmark::DoNotOptimize(utf8.data());
        });
}
BENCHMARK(StringToUTF8);
#pragma GCC diagnostic pop

}  // namespace

// Expanding a packed 640 x 480 24-bit bitmap with flat areas, beside a memcpy of the same
// size as the reference (the floor of any expander). Target: under 10 ms for this bitmap,
// larger than every sprite of data.qda together, since the sprites are expanded once while
// the saver starts. Also prints the packed size as a share of the original for that bitmap
// and for random bytes, and the packer's time for the bitmap (the build packs the data).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "data/qda.h"
#include "data/qda_writer.h"
#include "data/test_inputs.h"

namespace {

const std::vector<std::uint8_t>& Bitmap() {
  static const auto bitmap = data_test::BitmapLike(640, 480);
  return bitmap;
}

const std::vector<std::uint8_t>& PackedBitmap() {
  static const auto packed = data::QDAPack(Bitmap());
  return packed;
}

void BM_QDAExpandBitmap(benchmark::State& state) {
  const auto size = static_cast<std::uint32_t>(Bitmap().size());
  for (auto _ : state) {
    data::MemoryStream in(PackedBitmap());
    data::MemoryStream out = data::QDAExpand(in, size);
    benchmark::DoNotOptimize(out.Data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * size);
}

void BM_MemcpyBitmap(benchmark::State& state) {
  std::vector<std::uint8_t> out(Bitmap().size());
  for (auto _ : state) {
    std::memcpy(out.data(), Bitmap().data(), out.size());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * out.size());
}

void BM_QDAPackBitmap(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(data::QDAPack(Bitmap()).data());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * Bitmap().size());
}

BENCHMARK(BM_QDAExpandBitmap)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_MemcpyBitmap)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_QDAPackBitmap)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void PrintShare(const char* name, const std::vector<std::uint8_t>& input) {
  const std::size_t packed = data::QDAPack(input).size();
  std::printf("packed share, %s: %zu of %zu bytes = %.2f%%\n", name, packed, input.size(),
              100.0 * static_cast<double>(packed) / static_cast<double>(input.size()));
}

}  // namespace

int main(int argc, char** argv) {
  PrintShare("640x480x24 bitmap with flat areas", Bitmap());
  PrintShare("random bytes", data_test::RandomBytes(Bitmap().size(), 1));
  std::fflush(stdout);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

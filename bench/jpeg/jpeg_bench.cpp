// A 6000 x 4000 camera photo as wallpaper: decoded for the 640 x 480 frame (libjpeg scales
// it down while decoding) beside the full-size decode as the reference. Each run reports
// its time and, as the counter peak_MB, the growth of the peak resident memory over the
// decode, measured in a child process of its own so that one run's peak cannot hide
// another's. Also a flat file of a few hundred KB that claims the largest accepted size.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "jpeg/jpeg.h"

namespace {

// A photo-like picture: smooth shading with fine detail, so the file has a photo's size.
std::vector<std::uint8_t> Photo(int width, int height) {
  jpeg::Image image{width, height, std::vector<std::uint32_t>(std::size_t(width) * height)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const unsigned r = (x * 255u / width) ^ ((x * 7u + y * 3u) & 15u);
      const unsigned g = (y * 255u / height) ^ ((x * 5u ^ y * 11u) & 31u);
      const unsigned b = ((x + y) * 255u / (width + height)) ^ ((x * y) & 7u);
      image.pixels[std::size_t(y) * width + x] = 0xFF000000u | r << 16 | g << 8 | b;
    }
  }
  return jpeg::EncodeJpeg(image, 90);
}

const std::vector<std::uint8_t>& CameraPhoto() {
  static const std::vector<std::uint8_t> bytes = Photo(6000, 4000);
  return bytes;
}

// A flat 8192 x 6144 picture: a few dozen KB that ask for the largest accepted size.
const std::vector<std::uint8_t>& ClaimedGiant() {
  static const std::vector<std::uint8_t> bytes = [] {
    jpeg::Image image{8192, 6144, std::vector<std::uint32_t>(8192u * 6144u, 0xFF336699u)};
    return jpeg::EncodeJpeg(image, 50);
  }();
  return bytes;
}

long PeakKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

// Decodes in a child; returns the peak's growth in MB (negative when the decode failed).
double PeakGrowthMb(const std::vector<std::uint8_t>& bytes, jpeg::ShownSize shown) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    // Free memory kept from earlier runs would be reused without growing the peak.
    ::malloc_trim(0);
    const long before = PeakKilobytes();
    const jpeg::DecodeResult result = jpeg::DecodeJpeg(bytes, shown);
    const double growth = result.ok() ? (PeakKilobytes() - before) / 1024.0 : -1;
    (void)!::write(pipeEnds[1], &growth, sizeof growth);
    ::_exit(0);
  }
  double growth = -1;
  ::close(pipeEnds[1]);
  (void)!::read(pipeEnds[0], &growth, sizeof growth);
  ::close(pipeEnds[0]);
  ::waitpid(child, nullptr, 0);
  return growth;
}

void Decode(benchmark::State& state, const std::vector<std::uint8_t>& bytes,
            jpeg::ShownSize shown) {
  for (auto _ : state) {
    const jpeg::DecodeResult result = jpeg::DecodeJpeg(bytes, shown);
    if (!result.ok()) state.SkipWithError(result.error.c_str());
    benchmark::DoNotOptimize(result.image.pixels.data());
  }
  state.counters["peak_MB"] = PeakGrowthMb(bytes, shown);
  state.counters["file_KB"] = bytes.size() / 1024.0;
}

void BM_PhotoForTheFrame(benchmark::State& state) { Decode(state, CameraPhoto(), {640, 480}); }
void BM_PhotoFullSize(benchmark::State& state) { Decode(state, CameraPhoto(), {}); }
void BM_ClaimedGiantForTheFrame(benchmark::State& state) {
  Decode(state, ClaimedGiant(), {640, 480});
}
void BM_ClaimedGiantFullSize(benchmark::State& state) { Decode(state, ClaimedGiant(), {}); }

BENCHMARK(BM_PhotoForTheFrame)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PhotoFullSize)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ClaimedGiantForTheFrame)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ClaimedGiantFullSize)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();

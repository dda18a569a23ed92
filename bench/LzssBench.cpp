// LZSS compression of device pages packed at 2 bits per pixel, beside zlib's compress2 at level 6
// on the same bytes: a dithered photograph and a page of line art.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "wolf/Lzss.h"

namespace {

constexpr int kWidth = 600, kHeight = 800;

// Packs a page of 2-bit levels (0 black .. 3 white), four pixels to a byte, leftmost pixel high.
std::string Pack(const std::vector<uint8_t>& levels) {
  std::string packed;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; x += 4) {
      const uint8_t* p = &levels[static_cast<size_t>(y) * kWidth + x];
      packed.push_back(static_cast<char>(p[0] << 6 | p[1] << 4 | p[2] << 2 | p[3]));
    }
  return packed;
}

// A smooth photograph-like scene with grain, reduced to the four greys 0, 128, 192, 255 with
// Floyd-Steinberg error diffusion.
std::string DitheredPhoto() {
  std::vector<float> grey(kWidth * kHeight);
  std::mt19937 rng(7);
  std::normal_distribution<float> grain(0.0f, 6.0f);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const float sky = 230.0f - 0.15f * y;
      const float hills = 60.0f * std::sin(x * 0.013f) * std::cos(y * 0.007f);
      const float dx = x - 380.0f, dy = y - 300.0f;
      const float sun = 90.0f * std::exp(-(dx * dx + dy * dy) / 9000.0f);
      grey[y * kWidth + x] = sky + hills + sun - (y > 520 ? 90.0f : 0.0f) + grain(rng);
    }
  const float values[] = {0, 128, 192, 255};
  std::vector<uint8_t> levels(grey.size());
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const float g = grey[y * kWidth + x];
      int best = 0;
      for (int l = 1; l < 4; ++l)
        if (std::fabs(g - values[l]) < std::fabs(g - values[best])) best = l;
      levels[y * kWidth + x] = static_cast<uint8_t>(best);
      const float e = g - values[best];
      auto spread = [&](int xx, int yy, float w) {
        if (xx >= 0 && xx < kWidth && yy < kHeight) grey[yy * kWidth + xx] += e * w;
      };
      spread(x + 1, y, 7 / 16.0f);
      spread(x - 1, y + 1, 3 / 16.0f);
      spread(x, y + 1, 5 / 16.0f);
      spread(x + 1, y + 1, 1 / 16.0f);
    }
  return Pack(levels);
}

// A white page with a frame, boxes, diagonals, circles, a grey panel and rows of small marks that
// stand for lettering.
std::string LineArt() {
  std::vector<uint8_t> levels(kWidth * kHeight, 3);
  auto set = [&](int x, int y, uint8_t l) {
    if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) levels[y * kWidth + x] = l;
  };
  for (int x = 20; x < 580; ++x)
    for (int t = 0; t < 3; ++t) set(x, 20 + t, 0), set(x, 777 + t, 0);
  for (int y = 20; y < 780; ++y)
    for (int t = 0; t < 3; ++t) set(20 + t, y, 0), set(577 + t, y, 0);
  for (int i = 0; i < 6; ++i)
    for (int x = 60 + 40 * i; x < 200 + 40 * i; ++x) set(x, 80 + 30 * i, 0), set(x, 180 + 30 * i, 0);
  for (int t = 0; t < 500; ++t) set(50 + t, 250 + t / 2, 0), set(550 - t, 250 + t / 2, 1);
  for (int c = 0; c < 4; ++c)
    for (int a = 0; a < 2000; ++a) {
      const double phi = a * 2 * M_PI / 2000;
      set(150 + 100 * c + static_cast<int>(40 * std::cos(phi)), 420 + static_cast<int>(40 * std::sin(phi)),
          0);
    }
  for (int y = 480; y < 560; ++y)
    for (int x = 80; x < 520; ++x) set(x, y, 2);
  std::mt19937 rng(3);
  for (int line = 0; line < 12; ++line)
    for (int x = 60; x < 540; x += 8)
      if (rng() % 6 != 0)
        for (int y = 600 + 14 * line; y < 609 + 14 * line; ++y)
          for (int dx = 0; dx < 5; ++dx)
            if ((rng() & 3) == 0) set(x + dx, y, 0);
  return Pack(levels);
}

const std::string& Page(int64_t which) {
  static const std::string photo = DitheredPhoto(), art = LineArt();
  return which == 0 ? photo : art;
}

const char* PageName(int64_t which) { return which == 0 ? "dithered photo" : "line art"; }

void BM_Lzss(benchmark::State& state) {
  const std::string& page = Page(state.range(0));
  size_t compressed = 0;
  for (auto _ : state) {
    size_t at = 0;
    compressed = 0;
    bookloom::LzssEncode(
        [&](uint8_t* buffer) {
          const size_t n = std::min(page.size() - at, bookloom::kLzssBufferSize);
          std::memcpy(buffer, page.data() + at, n);
          at += n;
          return n;
        },
        [&](const uint8_t*, size_t n) { compressed += n; });
    benchmark::DoNotOptimize(compressed);
  }
  state.SetLabel(PageName(state.range(0)));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
  state.counters["ratio"] = static_cast<double>(compressed) / page.size();
}

void BM_Zlib(benchmark::State& state) {
  const std::string& page = Page(state.range(0));
  std::vector<Bytef> out(compressBound(page.size()));
  uLongf compressed = 0;
  for (auto _ : state) {
    compressed = out.size();
    compress2(out.data(), &compressed, reinterpret_cast<const Bytef*>(page.data()), page.size(), 6);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetLabel(PageName(state.range(0)));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
  state.counters["ratio"] = static_cast<double>(compressed) / page.size();
}

BENCHMARK(BM_Lzss)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Zlib)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// Decoding speed of the formats Bookloom reads itself: a large PackBits Photoshop picture, a large
// LZ77 Paint Shop Pro picture, and the rendering of a sample metafile.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "BenchRuntime.h"
#include "decoders/EmfDecoder.h"
#include "decoders/PsdDecoder.h"
#include "decoders/PspDecoder.h"
#include "platform/LittleEndian.h"

namespace bookloom {
namespace {

constexpr int kSide = 2000;

void AppendBE(std::string& s, uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A kSide x kSide RGB picture of gradients, its rows packed as runs of 8 equal bytes.
std::string MakePsd() {
  std::string f = "8BPS";
  AppendBE(f, 1, 2);
  f += std::string(6, '\0');
  AppendBE(f, 3, 2);
  AppendBE(f, kSide, 4);
  AppendBE(f, kSide, 4);
  AppendBE(f, 8, 2);
  AppendBE(f, 3, 2);
  AppendBE(f, 0, 4);
  AppendBE(f, 0, 4);
  AppendBE(f, 0, 4);
  AppendBE(f, 1, 2);
  std::string counts, data;
  for (int c = 0; c < 3; ++c)
    for (int y = 0; y < kSide; ++y) {
      std::string row;
      for (int x = 0; x < kSide; x += 8)
        row += std::string(1, static_cast<char>(-7)) + static_cast<char>(x + y * c);
      AppendBE(counts, static_cast<uint32_t>(row.size()), 2);
      data += row;
    }
  return f + counts + data;
}

std::string PspBlock(uint16_t id, const std::string& info, const std::string& rest = "") {
  std::string b("~BK\0", 4);
  AppendU16(b, id);
  AppendU32(b, static_cast<uint32_t>(info.size()));
  AppendU32(b, static_cast<uint32_t>(info.size() + rest.size()));
  return b + info + rest;
}

// A format-3 file with one kSide x kSide layer whose channels are LZ77 compressed.
std::string MakePsp() {
  std::string attrs;
  AppendU32(attrs, kSide);
  AppendU32(attrs, kSide);
  attrs += std::string(9, '\0');
  AppendU16(attrs, 2);
  AppendU16(attrs, 24);
  attrs += std::string(6 + 1 + 4 + 4, '\0');
  AppendU16(attrs, 1);
  std::string info(257, '\0');
  for (int v : {0, 0, kSide, kSide, 0, 0, kSide, kSide}) AppendU32(info, v);
  info += std::string("\xFF\0\x01", 3) + std::string(80, '\0');
  std::string channels;
  for (int c = 1; c <= 3; ++c) {
    std::string plain(static_cast<size_t>(kSide) * kSide, '\0');
    for (size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<char>((i * c) / 7);
    uLongf size = compressBound(plain.size());
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(plain.data()),
             plain.size());
    packed.resize(size);
    std::string channelInfo;
    AppendU32(channelInfo, static_cast<uint32_t>(packed.size()));
    AppendU32(channelInfo, static_cast<uint32_t>(plain.size()));
    AppendU16(channelInfo, 0);
    AppendU16(channelInfo, static_cast<uint16_t>(c));
    channels += PspBlock(5, channelInfo, packed);
  }
  const std::string layer = PspBlock(4, info, channels);
  std::string bank("~BK\0", 4);
  AppendU16(bank, 3);
  AppendU32(bank, 0);
  AppendU32(bank, static_cast<uint32_t>(layer.size()));
  std::string file("Paint Shop Pro Image File\n\x1a\0\0\0\0\0", 32);
  AppendU16(file, 3);
  AppendU16(file, 0);
  return file + PspBlock(0, attrs) + bank + layer;
}

void BM_PsdPackBits(benchmark::State& state) {
  const std::string file = MakePsd();
  for (auto _ : state) benchmark::DoNotOptimize(DecodePsd(file, u"bench.psd"));
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_PsdPackBits)->Unit(benchmark::kMillisecond);

void BM_PspLz77(benchmark::State& state) {
  const std::string file = MakePsp();
  for (auto _ : state) benchmark::DoNotOptimize(DecodePsp(file, u"bench.psp"));
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_PspLz77)->Unit(benchmark::kMillisecond);

void BM_EmfSample(benchmark::State& state) {
  const std::filesystem::path path = std::filesystem::path(BOOKLOOM_TESTDATA) / "pictures/emf/fulltest.emf";
  std::ifstream in(path, std::ios::binary);
  if (!in) return state.SkipWithError("no shared test data");
  std::stringstream s;
  s << in.rdbuf();
  const std::string file = s.str();
  for (auto _ : state) benchmark::DoNotOptimize(DecodeEmf(bench::BenchRuntime(), file, u"fulltest.emf"));
}
BENCHMARK(BM_EmfSample)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bookloom

int main(int argc, char** argv) { return bookloom::bench::RunWithUnits(argc, argv); }

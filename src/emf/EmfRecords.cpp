#include "emf/EmfRecords.h"

#include <string>

#include "platform/Exception.h"

namespace bookloom::emf {

namespace {

constexpr int kMaxRecords = 2'000'000;  // records after these are not played

}  // namespace

void ForEachRecord(ByteReader& in, size_t first, const std::function<void(uint32_t, ByteReader&)>& play) {
  in.Seek(first);
  bool ended = false;
  for (int n = 1; !ended && n < kMaxRecords; ++n) {
    if (in.Remaining() < 8) in.Fail("the metafile ends before its end record");
    const size_t start = in.Pos();
    const uint32_t type = in.U32LE(), size = in.U32LE();
    if (size < 8 || size % 4 || size > in.Size() - start)
      in.Fail("record " + std::to_string(n) + " has a wrong size");
    ByteReader record(in.All().substr(start, size), in.FileName());
    record.Seek(8);
    try {
      play(type, record);
    } catch (const DecodeError&) {
      in.Fail("record " + std::to_string(n) + " (type " + std::to_string(type) + ") is damaged");
    }
    in.Seek(start + size);
    ended = type == kEof;
  }
}

Point ReadPoint(ByteReader& r, bool shortPoints) {
  if (shortPoints) {
    const double x = r.I16LE();
    return {x, static_cast<double>(r.I16LE())};
  }
  const double x = r.I32LE();
  return {x, static_cast<double>(r.I32LE())};
}

std::vector<Point> ReadPoints(ByteReader& r, uint32_t count, bool shortPoints) {
  if (count > r.Remaining() / (shortPoints ? 4 : 8)) r.Fail("a record holds fewer points than it counts");
  std::vector<Point> points(count);
  for (auto& p : points) p = ReadPoint(r, shortPoints);
  return points;
}

}  // namespace bookloom::emf

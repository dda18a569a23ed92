#include "decoders/emf/EmfRecords.h"

namespace bookloom::emf {

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

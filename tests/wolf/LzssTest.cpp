#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "wolf/Lzss.h"

namespace bookloom {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

struct Compressed {
  std::string bytes;
  std::vector<size_t> writes;  // the count of every Write call
  int reads = 0;               // the number of Read calls
};

// Compresses data, handing it to the compressor `chunk` bytes per Read call.
Compressed Compress(const std::string& data, size_t chunk = kLzssBufferSize) {
  Compressed c;
  size_t at = 0;
  LzssEncode(
      [&](uint8_t* buffer) {
        ++c.reads;
        const size_t n = std::min(chunk, data.size() - at);
        std::memcpy(buffer, data.data() + at, n);
        at += n;
        return n;
      },
      [&](const uint8_t* d, size_t n) {
        c.bytes.append(reinterpret_cast<const char*>(d), n);
        c.writes.push_back(n);
      });
  return c;
}

// A direct transcription of the compression rules with plain loops and no buffering tricks: it
// checks the fast encoder byte for byte and counts the insertions long enough to splay.
class ReferenceEncoder {
 public:
  std::string Encode(const std::string& in) {
    std::fill(std::begin(window_), std::end(window_), 0);
    std::fill(std::begin(parent_), std::end(parent_), kNil);
    std::fill(std::begin(right_), std::end(right_), kNil);
    size_t at = 0;
    auto next = [&]() -> int { return at < in.size() ? static_cast<uint8_t>(in[at++]) : -1; };
    std::string out;
    int s = 0, r = kN - kF, len = 0;
    for (int c; len < kF && (c = next()) >= 0; ++len) window_[r + len] = static_cast<uint8_t>(c);
    if (len == 0) return out;
    std::string group(1, '\0');
    int mask = 1;
    Insert(r);
    while (len > 0) {
      if (matchLen_ > len) matchLen_ = len;
      if (matchLen_ <= 2) {
        matchLen_ = 1;
        group[0] = static_cast<char>(group[0] | mask);
        group.push_back(static_cast<char>(window_[r]));
      } else {
        group.push_back(static_cast<char>(matchPos_ & 0xFF));
        group.push_back(static_cast<char>(((matchPos_ >> 8) << 4) + matchLen_ - 3));
      }
      mask = (mask << 1) & 0xFF;
      if (mask == 0) {
        out += group;
        group.assign(1, '\0');
        mask = 1;
      }
      const int last = matchLen_;
      int i = 0;
      for (int c; i < last && (c = next()) >= 0; ++i) {
        Delete(s);
        window_[s] = static_cast<uint8_t>(c);
        if (s < kF - 1) window_[s + kN] = static_cast<uint8_t>(c);
        s = (s + 1) % kN;
        r = (r + 1) % kN;
        Insert(r);
      }
      for (; i < last; ++i) {
        Delete(s);
        s = (s + 1) % kN;
        r = (r + 1) % kN;
        if (--len != 0) Insert(r);
      }
    }
    return out + group;
  }

  int deepInsertions = 0;

 private:
  static constexpr int kN = 4096, kF = 18, kNil = kN;

  void Insert(int r) {
    int cmp = 1, p = kN + 1 + window_[r], steps = 0;
    right_[r] = left_[r] = kNil;
    matchLen_ = 0;
    for (;;) {
      ++steps;
      int& child = cmp >= 0 ? right_[p] : left_[p];
      if (child == kNil) {
        child = r;
        parent_[r] = p;
        break;
      }
      p = child;
      int i = 1;
      for (; i < kF; ++i)
        if ((cmp = window_[r + i] - window_[p + i]) != 0) break;
      if (i > matchLen_) {
        matchPos_ = p;
        matchLen_ = i;
        if (i >= kF) {
          parent_[r] = parent_[p];
          left_[r] = left_[p];
          parent_[left_[p]] = r;
          right_[r] = right_[p];
          parent_[right_[p]] = r;
          ChildLink(parent_[p], p) = r;
          parent_[p] = kNil;
          break;
        }
      }
    }
    if (steps >= 30) {
      ++deepInsertions;
      Splay(r);
    }
  }

  int& ChildLink(int parent, int child) { return right_[parent] == child ? right_[parent] : left_[parent]; }

  void Splay(int x) {
    for (;;) {
      const int y = parent_[x];
      if (y > kN) return;
      const int z = parent_[y];
      if (z > kN) {
        const int moved = left_[y] == x ? right_[x] : left_[x];
        if (left_[y] == x) {
          left_[y] = moved;
          right_[x] = y;
        } else {
          right_[y] = moved;
          left_[x] = y;
        }
        parent_[moved] = y;
        right_[z] = x;
        parent_[y] = x;
        parent_[x] = z;
        return;
      }
      const int w = parent_[z];
      // Mirror images swap the roles of the two link arrays.
      const bool xRight = right_[y] == x, yRight = right_[z] == y;
      int* a = xRight ? right_ : left_;  // the side x hangs on
      int* b = xRight ? left_ : right_;
      if (xRight == yRight) {  // zig-zig
        a[z] = b[y], parent_[b[y]] = z;
        a[y] = b[x], parent_[b[x]] = y;
        b[y] = z, b[x] = y, parent_[z] = y, parent_[y] = x;
      } else {  // zig-zag
        b[z] = a[x], parent_[a[x]] = z;
        a[y] = b[x], parent_[b[x]] = y;
        a[x] = z, b[x] = y, parent_[y] = x, parent_[z] = x;
      }
      if (w > kN)
        right_[w] = x;
      else
        ChildLink(w, z) = x;
      parent_[x] = w;
    }
  }

  void Delete(int p) {
    if (parent_[p] == kNil) return;
    int q;
    if (right_[p] == kNil) {
      q = left_[p];
    } else if (left_[p] == kNil) {
      q = right_[p];
    } else {
      q = left_[p];
      if (right_[q] != kNil) {
        while (right_[q] != kNil) q = right_[q];
        right_[parent_[q]] = left_[q];
        parent_[left_[q]] = parent_[q];
        left_[q] = left_[p];
        parent_[left_[p]] = q;
      }
      right_[q] = right_[p];
      parent_[right_[p]] = q;
    }
    parent_[q] = parent_[p];
    ChildLink(parent_[p], p) = q;
    parent_[p] = kNil;
  }

  uint8_t window_[kN + kF - 1];
  int left_[kN + 1], right_[kN + 257], parent_[kN + 1];
  int matchPos_ = 0, matchLen_ = 0;
};

std::string RandomBytes(size_t n, int alphabet, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(rng() % alphabet);
  return s;
}

// Lines of words drawn from a small vocabulary, as in a text.
std::string TextLike(size_t n, unsigned seed) {
  static const char* const words[] = {"the ",   "whale ", "and ", "of ", "sea ", "ship ", "Ahab ",
                                      "white ", "a ",     "to ",  "in ", "his ", "upon ", "\r\n"};
  std::mt19937 rng(seed);
  std::string s;
  while (s.size() < n) s += words[rng() % std::size(words)];
  s.resize(n);
  return s;
}

// Strings "A" + a two-byte key, the keys in the given order, so that the tree of "A" takes the
// shape the order dictates: rising keys grow a right-hand chain, falling keys a left-hand one, and
// keys closing in from both ends a zig-zag path, until splaying folds them up.
std::string Keys(const std::vector<int>& keys) {
  std::string s;
  for (int k : keys) {
    s += 'A';
    s += static_cast<char>(0x80 + ((k >> 7) & 0x7F));
    s += static_cast<char>(0x80 + (k & 0x7F));
  }
  return s;
}

std::vector<int> Rising(int n) {
  std::vector<int> keys(n);
  for (int i = 0; i < n; ++i) keys[i] = i;
  return keys;
}

std::vector<int> Falling(int n) {
  std::vector<int> keys = Rising(n);
  std::reverse(keys.begin(), keys.end());
  return keys;
}

std::vector<int> ClosingIn(int n) {
  std::vector<int> keys;
  for (int lo = 0, hi = n - 1; lo <= hi; ++lo, --hi) {
    keys.push_back(lo);
    if (hi != lo) keys.push_back(hi);
  }
  return keys;
}

// Runs of a few byte values, 1 to 40 bytes long: the same strings come back again and again, in
// trees that also lose nodes as the window moves on.
std::string Runs(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  const char values[] = {'\x00', '\xFF', '\x55', '\xFE'};
  std::string s;
  while (s.size() < n) s.append(1 + rng() % 40, values[rng() % std::size(values)]);
  s.resize(n);
  return s;
}

// Rows of 150 white bytes (0xFF) with a few dark ones, like a packed page of line art.
std::string LineArtRows(int rows, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s;
  for (int y = 0; y < rows; ++y) {
    std::string row(150, '\xFF');
    for (int k = rng() % 6; k > 0; --k) row[rng() % row.size()] = static_cast<char>(rng() % 255);
    s += row;
  }
  return s;
}

// Rows that repeat the one before with a few bytes changed, and now and then a row of a different
// width: strings come back one row apart, and sometimes at another distance or not at all.
std::string RepeatedRows(int rows, unsigned seed) {
  std::mt19937 rng(seed);
  std::string row(150, '\xFF'), s;
  for (int k = 0; k < 8; ++k) row[rng() % row.size()] = static_cast<char>(rng() % 4 * 0x55);
  for (int y = 0; y < rows; ++y) {
    if (rng() % 3 == 0) row[rng() % row.size()] = static_cast<char>(rng() % 256);
    s += rng() % 10 == 0 ? row.substr(0, 100 + rng() % 50) : row;
  }
  return s;
}

// Long runs broken by short patterns of 1 to 24 bytes drawn from a few, so that a pattern and the
// run around it meet again at many distances.
std::string InterruptedRuns(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  const std::string patterns[] = {
      "\x00", "\x0F\xF0", "\x55\x55\xAA", "\x00\xFF\x00\xFF", std::string(24, '\x55'), "\xFF\xFE"};
  std::string s;
  while (s.size() < n) {
    s.append(rng() % 200, rng() % 4 == 0 ? '\x00' : '\xFF');
    s += patterns[rng() % std::size(patterns)];
  }
  s.resize(n);
  return s;
}

// Keys closing in, the first half of them again, then keys at random: the repeated strings are
// found deep in a tree, and the splaying that follows decides later ties.
std::string KeysAgain(unsigned seed) {
  std::mt19937 rng(seed);
  const int n = 200 + static_cast<int>(rng() % 800);
  const std::vector<int> keys = ClosingIn(n);
  std::vector<int> again(keys.begin(), keys.begin() + n / 2);
  for (int k = 0; k < 200; ++k) again.push_back(static_cast<int>(rng() % n));
  return Keys(keys) + Keys(again);
}

// A cyclic sequence in which every pair of bytes occurs once per 65536 bytes: within the window no
// three bytes ever repeat, so every unit is a literal.
std::string PairUnique(size_t n) {
  std::string cycle;
  for (int a = 0; a < 256; ++a) {  // the lexicographically least de Bruijn sequence of pairs
    cycle += static_cast<char>(a);
    for (int b = a + 1; b < 256; ++b) {
      cycle += static_cast<char>(a);
      cycle += static_cast<char>(b);
    }
  }
  std::string s;
  while (s.size() < n) s += cycle;
  s.resize(n);
  return s;
}

TEST(LzssEncode, ProducesTheExactBytesOfSmallInputs) {
  const struct {
    const char* name;
    std::string in, out;
  } cases[] = {
      {"empty", "", ""},
      {"one byte", "A", Bytes({0x01, 0x41})},
      {"eight literals", "ABCDEFGH", Bytes({0xFF, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 0x00})},
      {"a run matches its own output", std::string(100, 'B'),
       Bytes({0x01, 0x42, 0xEE, 0xFF, 0x00, 0x0F, 0x12, 0x0F, 0x24, 0x0F, 0x36, 0x0F, 0x40, 0x06})},
      {"eight units end with an empty group", "A" + std::string(100, 'B'),
       Bytes(
           {0x03, 0x41, 0x42, 0xEF, 0xFF, 0x01, 0x0F, 0x13, 0x0F, 0x25, 0x0F, 0x37, 0x0F, 0x41, 0x06, 0x00})},
  };
  for (const auto& c : cases) {
    const Compressed got = Compress(c.in);
    EXPECT_EQ(got.bytes, c.out) << c.name;
    EXPECT_EQ(got.writes, std::vector<size_t>{c.out.size()}) << c.name;
  }
}

TEST(LzssEncode, CallsReadAgainForEveryByteWantedAfterTheEnd) {
  EXPECT_EQ(Compress("").reads, 1);
  // The data, then the end while filling the look-ahead, then the end again for the next byte.
  EXPECT_EQ(Compress("A").reads, 3);
}

TEST(LzssEncode, WritesFullBuffersThenTheRest) {
  // n literals need n + n/8 + 1 bytes when n is a multiple of 8 (the last flag byte stands alone):
  // 233016 literals fill one buffer exactly.
  const struct {
    size_t inputSize;
    std::vector<size_t> writes;
  } cases[] = {
      {233016, {kLzssBufferSize, 0}},
      {233017, {kLzssBufferSize, 1}},
      {466033, {kLzssBufferSize, kLzssBufferSize, 0}},  // 58254 full groups and one literal
  };
  for (const auto& c : cases) {
    const std::string in = PairUnique(c.inputSize);
    const Compressed got = Compress(in);
    EXPECT_EQ(got.writes, c.writes) << c.inputSize;
    EXPECT_EQ(LzssDecode(got.bytes, in.size()), in) << c.inputSize;
  }
}

TEST(LzssEncode, MatchesTheReferenceAndRoundTrips) {
  const struct {
    const char* name;
    std::string in;
    bool splays;  // the data is built to make insertions of 30 steps or more
  } cases[] = {
      {"random bytes", RandomBytes(20000, 256, 1), false},
      {"two-symbol noise", RandomBytes(300000, 2, 2), false},
      {"four-symbol noise", RandomBytes(50000, 4, 3), false},
      {"rising keys", Keys(Rising(3000)), true},
      {"falling keys", Keys(Falling(3000)), true},
      {"keys closing in", Keys(ClosingIn(3000)), true},
      {"long runs", std::string(5000, '\0') + std::string(7000, '\xFF') + std::string(3000, '\x55'), false},
      {"text", TextLike(400000, 4), false},
      {"runs", Runs(100000, 7), false},
      {"line art rows", LineArtRows(800, 8), false},
      {"repeated rows", RepeatedRows(1500, 9), false},
      {"interrupted runs", InterruptedRuns(200000, 10), false},
      // The second copy finds each string again in a tree the first one made deep.
      {"rising keys twice", Keys(Rising(600)) + Keys(Rising(600)), true},
      {"keys found again deep", KeysAgain(18), true},
      {"keys found again deep, another shape", KeysAgain(34), true},
      {"short", "abcabcabcab", false},
  };
  for (const auto& c : cases) {
    ReferenceEncoder reference;
    const std::string expected = reference.Encode(c.in);
    if (c.splays) {
      EXPECT_GT(reference.deepInsertions, 0) << c.name;
    }
    const Compressed got = Compress(c.in);
    EXPECT_TRUE(got.bytes == expected) << c.name;
    EXPECT_TRUE(Compress(c.in, 1000).bytes == expected) << c.name << " read in pieces";
    EXPECT_TRUE(LzssDecode(got.bytes, c.in.size()) == c.in) << c.name;
  }
}

TEST(LzssEncode, CompressionsOnSeveralThreadsAndInsideACallbackKeepTheirOwnState) {
  const std::string inputs[] = {LineArtRows(800, 21), RepeatedRows(1500, 22), TextLike(300000, 23),
                                Keys(ClosingIn(2000))};
  std::vector<std::string> expected;
  for (const std::string& in : inputs) expected.push_back(Compress(in).bytes);
  std::vector<std::string> got(std::size(inputs));
  {
    std::vector<std::jthread> threads;
    for (size_t i = 0; i < std::size(inputs); ++i)
      threads.emplace_back([&, i] {
        for (int round = 0; round < 3; ++round) got[i] = Compress(inputs[i], 5000).bytes;
      });
  }
  for (size_t i = 0; i < std::size(inputs); ++i) EXPECT_TRUE(got[i] == expected[i]) << "input " << i;

  // A compression started from the Read callback of another leaves the outer one's trees alone.
  std::string nested;
  const Compressed outer = [&] {
    Compressed c;
    size_t at = 0;
    LzssEncode(
        [&](uint8_t* buffer) {
          if (nested.empty()) nested = Compress(inputs[1]).bytes;
          const size_t n = std::min<size_t>(1000, inputs[0].size() - at);
          std::memcpy(buffer, inputs[0].data() + at, n);
          at += n;
          return n;
        },
        [&](const uint8_t* d, size_t n) { c.bytes.append(reinterpret_cast<const char*>(d), n); });
    return c;
  }();
  EXPECT_TRUE(outer.bytes == expected[0]);
  EXPECT_TRUE(nested == expected[1]);
}

TEST(LzssDecode, StopsAtTheLimitOrAtAnIncompleteUnit) {
  const std::string run =
      Bytes({0x01, 0x42, 0xEE, 0xFF, 0x00, 0x0F, 0x12, 0x0F, 0x24, 0x0F, 0x36, 0x0F, 0x40, 0x06});
  const struct {
    const char* name;
    std::string in;
    size_t limit;
    std::string out;
  } cases[] = {
      {"whole run", run, 1000, std::string(100, 'B')},
      {"limit inside a match", run, 10, std::string(10, 'B')},
      {"limit zero", run, 0, ""},
      {"lone first byte of a match", run.substr(0, 3), 1000, "B"},
      {"flag byte alone", Bytes({0x00}), 1000, ""},
      {"literal missing", Bytes({0x03, 0x41}), 1000, "A"},
      {"match of the zeroed ring", Bytes({0x00, 0x00, 0x02}), 1000, std::string(5, '\0')},
      {"empty", "", 1000, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LzssDecode(c.in, c.limit), c.out) << c.name;
}

}  // namespace
}  // namespace bookloom

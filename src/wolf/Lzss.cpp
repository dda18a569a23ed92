#include "wolf/Lzss.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

namespace bookloom {

namespace {

constexpr int N = 4096;           // window size
constexpr int F = 18;             // longest match
constexpr int kThreshold = 2;     // a match this long or shorter is sent as a literal
constexpr int NIL = N;            // no node
constexpr int kStartPos = N - F;  // where the first input byte goes in the ring
constexpr int kSplaySteps = 30;   // an insertion this long splays the new node up to its root

// Eight bytes as one number whose order is the order of the bytes compared one by one.
inline uint64_t LoadOrdered(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
  return v;
}

// The search trees over the window: one tree per first byte, hanging off the right link of root
// N + 1 + byte. Node numbers are window positions 0..N-1; entry N of the parent links is a spare
// that absorbs writes for NIL children.
struct Trees {
  uint8_t window[N + F - 1];   // positions N..N+F-2 mirror 0..F-2 so a string may run past the end
  uint16_t child[N + 257][2];  // [0] left, [1] right
  uint16_t parent[N + 1];
  uint64_t prefix[N + 1];  // bytes 1 to 8 of each node's string as LoadOrdered reads them; a string
                           // never changes while its node is in a tree. Entry N (NIL) is read, never used.
  unsigned matchPos;
  int matchLen;
  // The node inserted last. It hangs less than 30 levels deep (a deeper insertion is splayed to
  // the top, and deletions never lengthen a path), so a search for its string again would walk
  // straight down to it and take its place without splaying.
  unsigned lastNode;
  // Whether lastNode took the place of the node just before it: then the 19 bytes from one before
  // lastNode on are all equal, and the next string (one on) equals lastNode's when its last byte
  // equals the byte before.
  bool inRun;
  // While a run goes on, the node that still stands in the tree for lastNode (NIL when none): the
  // nodes of a run take each other's place, so one replacement at the end does the work of all.
  unsigned runHead;
  // The distance back to the node that the last searched insertion found equal in all 18 bytes. In
  // pictures rows repeat, so the string one row back is the first candidate for the next ones.
  unsigned repeatDist;
  // For each node, a bound on its depth (at most kSplaySteps) in the low five bits, above them the
  // count of splays when it was noted. Only a splay lengthens paths: insertions add leaves,
  // replacements keep the shape and deletions lift nodes, so a bound holds until the next splay.
  uint64_t depthStamp[N];
  uint64_t splays;

  uint16_t& Left(unsigned x) { return child[x][0]; }
  uint16_t& Right(unsigned x) { return child[x][1]; }

  void Reset() {
    std::memset(this, 0, sizeof *this);
    std::fill(parent, parent + N + 1, NIL);
    lastNode = NIL;
    inRun = false;
    runHead = NIL;
    splays = 1;  // the zeroed stamps of nodes never inserted hold no bound
    for (unsigned root = N + 1; root < N + 257; ++root) Right(root) = NIL;
  }

  // Links child c below a (NIL children included: their parent entry is the spare).
  void SetLeft(unsigned a, unsigned c) {
    Left(a) = static_cast<uint16_t>(c);
    parent[c] = static_cast<uint16_t>(a);
  }
  void SetRight(unsigned a, unsigned c) {
    Right(a) = static_cast<uint16_t>(c);
    parent[c] = static_cast<uint16_t>(a);
  }
  // In w, the link that pointed to `from` now points to x (a root holds its tree on the right).
  void Relink(unsigned w, unsigned from, unsigned x) {
    child[w][Right(w) == from] = static_cast<uint16_t>(x);
  }

  // Puts r where p was: r takes p's parent and both subtrees, p leaves the tree.
  void Replace(unsigned p, unsigned r) {
    const unsigned up = parent[p];
    parent[r] = static_cast<uint16_t>(up);
    SetLeft(r, Left(p));
    SetRight(r, Right(p));
    Relink(up, p, r);
    parent[p] = NIL;
  }

  // Both links of node p as one number: the search loads them together with p's string, so the
  // next node is known as soon as the comparison is done.
  uint32_t Links(unsigned p) const {
    uint32_t links;
    std::memcpy(&links, child[p], sizeof links);
    return links;
  }

  // Whether node x, which is in a tree, holds the same 18 bytes as the key.
  bool SameString(unsigned x, const uint8_t* key, uint64_t key1, uint64_t key9) const {
    return key1 == prefix[x] && key[0] == window[x] && key9 == LoadOrdered(window + x + 9) &&
           key[17] == window[x + 17];
  }

  // Levels from x up to its root, counted up to kSplaySteps: a search for x's string makes this many
  // steps before it meets x.
  unsigned Depth(unsigned x) const {
    unsigned depth = 1;
    for (x = parent[x]; x < N && depth < kSplaySteps; x = parent[x]) ++depth;
    return depth;
  }

  void NoteDepth(unsigned x, unsigned depth) {
    depthStamp[x] = splays << 5 | std::min(depth, unsigned{kSplaySteps});
  }

  // Depth(x) where it may reach kSplaySteps; otherwise possibly a smaller bound, enough to tell
  // that a search for x's string would not splay.
  unsigned DepthBound(unsigned x) const {
    const uint64_t stamp = depthStamp[x];
    const unsigned bound = stamp & 31;
    return stamp >> 5 == splays && bound < kSplaySteps ? bound : Depth(x);
  }

  // The node just put at r hangs `depth` levels deep: splays it when the search took that many steps.
  void Settle(unsigned r, unsigned depth) {
    if (depth >= kSplaySteps) {
      ++splays;
      Splay(r);
      depth = 1;
    }
    NoteDepth(r, depth);
  }

  // Inserts the string at r and finds the longest earlier match: among equally long matches the
  // node met first on the search path wins.
  [[gnu::always_inline]] void InsertNode(unsigned r) {
    const uint8_t* key = window + r;
    const uint64_t key1 = LoadOrdered(key + 1), key9 = LoadOrdered(key + 9);
    prefix[r] = key1;
    inRun = inRun ? key[17] == key[16] : lastNode != NIL && SameString(lastNode, key, key1, key9);
    if (inRun) {
      if (runHead == NIL) runHead = lastNode;
      matchPos = lastNode;
      matchLen = F;
      lastNode = r;
      return;
    }
    SettleRun();
    // A tree never holds two equal strings, so a node found equal to the key is where the search
    // would end: r takes its place, and the search would have made as many steps as it is deep.
    const unsigned repeat = (r - repeatDist) & (N - 1);
    if (parent[repeat] != NIL && repeat != r && SameString(repeat, key, key1, key9)) {
      const unsigned depth = DepthBound(repeat);
      Replace(repeat, r);
      matchPos = repeat;
      matchLen = F;
      lastNode = r;
      Settle(r, depth);
      return;
    }
    Search(r, key1, key9);
  }

  // Puts lastNode into the tree in place of the node that stood for it during a run.
  void SettleRun() {
    if (runHead == NIL) return;
    Replace(runHead, lastNode);
    depthStamp[lastNode] = depthStamp[runHead];
    runHead = NIL;
  }

  // The walk down the tree for InsertNode, kept out of line so that the shortcuts above stay
  // small enough to be inlined.
  [[gnu::noinline]] void Search(unsigned r, uint64_t key1, uint64_t key9) {
    constexpr bool little = std::endian::native == std::endian::little;
    constexpr unsigned kLeftShift = little ? 0 : 16, kRightShift = 16 - kLeftShift;
    const uint8_t* key = window + r;
    const uint64_t key17 = static_cast<uint64_t>(key[17]) << 56;
    unsigned p = N + 1 + key[0];
    unsigned next = Right(p);
    // The next node's links and first bytes, read a step ahead: both children's are read while the
    // comparison with their parent decides which one is next.
    uint32_t nextLinks = Links(next);
    uint64_t nextPrefix = prefix[next];
    bool after = true;  // the key sorts at or after node p: the search goes right
    int bestLen = 0;
    unsigned bestPos = matchPos;
    int steps = 0;
    for (;;) {
      ++steps;
      if (next == NIL) {
        Left(r) = Right(r) = NIL;
        child[p][after] = static_cast<uint16_t>(r);
        parent[r] = static_cast<uint16_t>(p);
        break;
      }
      p = next;
      const uint32_t links = nextLinks;
      const unsigned left = (links >> kLeftShift) & 0xFFFF, right = (links >> kRightShift) & 0xFFFF;
      const uint32_t leftLinks = Links(left), rightLinks = Links(right);
      const uint64_t leftPrefix = prefix[left], rightPrefix = prefix[right];
      // The first word of bytes that differ, from byte 1 on (byte 0 is the tree's own).
      uint64_t a = key1, b = nextPrefix;
      int base = 1;
      if (a == b) {
        const uint8_t* node = window + p;
        a = key9, b = LoadOrdered(node + 9), base = 9;
        if (a == b) a = key17, b = static_cast<uint64_t>(node[17]) << 56, base = 17;
      }
      const uint64_t diff = a ^ b;
      if (diff == 0) {  // all 18 bytes equal: r takes the place of p
        bestPos = p;
        bestLen = F;
        repeatDist = (r - p) & (N - 1);
        Replace(p, r);
        break;
      }
      const int len = base + (std::countl_zero(diff) >> 3);
      after = a > b;
      // Both children are at hand before the comparison ends; choosing one is a conditional move.
      next = after ? right : left;
      nextLinks = after ? rightLinks : leftLinks;
      nextPrefix = after ? rightPrefix : leftPrefix;
      bestPos = len > bestLen ? p : bestPos;
      bestLen = len > bestLen ? len : bestLen;
    }
    matchPos = bestPos;
    matchLen = bestLen;
    lastNode = r;
    Settle(r, steps);
  }

  // Rotates x up until it hangs directly below its root.
  [[gnu::noinline]] void Splay(unsigned x) {
    for (;;) {
      const unsigned y = parent[x];
      if (y > N) return;
      const unsigned z = parent[y];
      if (z > N) {
        if (Left(y) == x) {
          SetLeft(y, Right(x));
          SetRight(x, y);
        } else {
          SetRight(y, Left(x));
          SetLeft(x, y);
        }
        SetRight(z, x);
        return;
      }
      const unsigned w = parent[z];
      const bool xRight = Right(y) == x;
      const bool yRight = Right(z) == y;
      if (xRight && yRight) {
        SetRight(z, Left(y));
        SetRight(y, Left(x));
        SetLeft(y, z);
        SetLeft(x, y);
      } else if (!xRight && !yRight) {
        SetLeft(z, Right(y));
        SetLeft(y, Right(x));
        SetRight(y, z);
        SetRight(x, y);
      } else if (xRight) {  // y is the left child of z
        SetLeft(z, Right(x));
        SetRight(y, Left(x));
        SetRight(x, z);
        SetLeft(x, y);
      } else {  // x is the left child of y, y the right child of z
        SetRight(z, Left(x));
        SetLeft(y, Right(x));
        SetLeft(x, z);
        SetRight(x, y);
      }
      Relink(w, z, x);
      parent[x] = static_cast<uint16_t>(w);
    }
  }

  void DeleteNode(unsigned p) {
    if (parent[p] == NIL) return;
    unsigned q;
    if (Right(p) == NIL) {
      q = Left(p);
    } else if (Left(p) == NIL) {
      q = Right(p);
    } else {
      q = Left(p);
      if (Right(q) != NIL) {
        do q = Right(q);
        while (Right(q) != NIL);
        SetRight(parent[q], Left(q));
        SetLeft(q, Left(p));
      }
      SetRight(q, Right(p));
    }
    const unsigned up = parent[p];
    parent[q] = static_cast<uint16_t>(up);
    Relink(up, p, q);
    parent[p] = NIL;
  }
};

struct Work {
  uint8_t input[kLzssBufferSize];
  uint8_t output[kLzssBufferSize];
  Trees trees;
};

void Encode(Work& wk, const LzssReadFn& read, const LzssWriteFn& write) {
  Trees& t = wk.trees;
  uint8_t* const in = wk.input;
  uint8_t* const out = wk.output;
  t.Reset();

  size_t inIndex = kLzssBufferSize, inCount = kLzssBufferSize;
  auto readByte = [&]() -> int {
    if (inIndex >= inCount) {
      inCount = std::min(read(in), kLzssBufferSize);
      if (inCount == 0) return -1;
      inIndex = 0;
    }
    return in[inIndex++];
  };

  size_t outCount = 0;
  auto emit = [&](const uint8_t* data, size_t n) {
    while (n > 0) {
      const size_t k = std::min(n, kLzssBufferSize - outCount);
      std::memcpy(out + outCount, data, k);
      outCount += k;
      data += k;
      n -= k;
      if (outCount == kLzssBufferSize) {
        write(out, kLzssBufferSize);
        outCount = 0;
      }
    }
  };

  unsigned s = 0, r = kStartPos;
  int len = 0;
  for (int c; len < F && (c = readByte()) >= 0; ++len) t.window[r + len] = static_cast<uint8_t>(c);
  if (len == 0) {
    write(out, 0);
    return;
  }

  uint8_t group[1 + 2 * 8] = {0};
  size_t groupLen = 1;
  uint8_t mask = 1;
  t.InsertNode(r);
  do {
    int matchLen = std::min(t.matchLen, len);
    if (matchLen <= kThreshold) {
      matchLen = 1;
      group[0] |= mask;
      group[groupLen++] = t.window[r];
    } else {
      group[groupLen++] = static_cast<uint8_t>(t.matchPos & 0xFF);
      group[groupLen++] = static_cast<uint8_t>(((t.matchPos >> 8) << 4) + (matchLen - (kThreshold + 1)));
    }
    mask = static_cast<uint8_t>(mask << 1);
    if (mask == 0) {
      emit(group, groupLen);
      group[0] = 0;
      groupLen = 1;
      mask = 1;
    }
    // The bytes that enter the window: straight from the input buffer when it holds them all.
    uint8_t fetched[F];
    const uint8_t* bytes = fetched;
    int count = 0;
    if (inIndex + matchLen <= inCount) {
      bytes = in + inIndex;
      inIndex += matchLen;
      count = matchLen;
    } else {
      for (int c; count < matchLen && (c = readByte()) >= 0;) fetched[count++] = static_cast<uint8_t>(c);
    }
    int i = 0;
    for (; i < count; ++i) {
      t.DeleteNode(s);
      t.window[s] = bytes[i];
      if (s < F - 1) t.window[s + N] = bytes[i];
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      t.InsertNode(r);
    }
    for (; i < matchLen; ++i) {
      t.DeleteNode(s);
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      if (--len) t.InsertNode(r);
    }
    t.SettleRun();  // before the oldest string, which leaves next, could be the one standing in
  } while (len > 0);
  emit(group, groupLen);
  write(out, outCount);
}

}  // namespace

void LzssEncode(const LzssReadFn& read, const LzssWriteFn& write) {
  // Left uninitialised: Encode zeroes the trees and fills the buffers before it reads them.
  const std::unique_ptr<Work> work(new Work);
  Encode(*work, read, write);
}

std::string LzssCompress(std::string_view input) {
  std::string out;
  size_t at = 0;
  LzssEncode(
      [&](uint8_t* buffer) {
        const size_t n = std::min(kLzssBufferSize, input.size() - at);
        std::memcpy(buffer, input.data() + at, n);
        at += n;
        return n;
      },
      [&](const uint8_t* data, size_t count) { out.append(reinterpret_cast<const char*>(data), count); });
  return out;
}

std::string LzssDecode(std::string_view input, size_t limit) {
  uint8_t ring[N] = {0};
  int pos = kStartPos;
  std::string result;
  result.reserve(std::min(limit, input.size() * 9));
  const auto* in = reinterpret_cast<const uint8_t*>(input.data());
  const size_t size = input.size();
  size_t i = 0;
  auto put = [&](uint8_t c) {
    result.push_back(static_cast<char>(c));
    ring[pos] = c;
    pos = (pos + 1) & (N - 1);
  };
  while (i < size && result.size() < limit) {
    const unsigned flags = in[i++];
    for (unsigned bit = 1; bit < 0x100 && result.size() < limit; bit <<= 1) {
      if (flags & bit) {
        if (i >= size) return result;
        put(in[i++]);
      } else {
        if (i + 1 >= size) return result;
        const int from = in[i] | ((in[i + 1] & 0xF0) << 4);
        const int count = std::min<size_t>((in[i + 1] & 0x0F) + kThreshold + 1, limit - result.size());
        i += 2;
        for (int k = 0; k < count; ++k) put(ring[(from + k) & (N - 1)]);
      }
    }
  }
  return result;
}

}  // namespace bookloom

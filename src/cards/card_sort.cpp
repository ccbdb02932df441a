#include "cards/card_sort.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>

#include "cards/codepage.h"

namespace tessel {
namespace {

// Below this many cards the sort compares keys instead of bucketing them.
constexpr std::size_t kBucketSortFrom = 4096;

struct SortKey {
  uint64_t prefix;
  std::size_t from;
};

// Room for n values left uninitialised: the loops that fill it run on two
// cores, so the pages are first touched there rather than by a zeroing pass
// on one core.
template <class T>
std::unique_ptr<T[]> Scratch(std::size_t n) {
  return std::make_unique_for_overwrite<T[]>(n);
}

// Sorts keys[0, m), which agree above their lowest `bits` bits, stably by
// those bits: least significant byte first through `temp` (room for m),
// passing over bytes every key shares; short runs by insertion. A bucket of
// a large sort fits in cache, so each pass runs at cache speed.
void SortBucket(SortKey* keys, std::size_t m, unsigned bits, std::span<SortKey> temp) {
  if (m < 2) return;
  if (m <= 32) {
    for (std::size_t i = 1; i < m; ++i) {
      const SortKey k = keys[i];
      std::size_t j = i;
      for (; j > 0 && keys[j - 1].prefix > k.prefix; --j) keys[j] = keys[j - 1];
      keys[j] = k;
    }
    return;
  }
  SortKey* src = keys;
  SortKey* dst = temp.data();
  for (unsigned shift = 0; shift < bits; shift += 8) {
    std::size_t count[256] = {};
    for (std::size_t i = 0; i < m; ++i) ++count[(src[i].prefix >> shift) & 0xFF];
    if (count[(src[0].prefix >> shift) & 0xFF] == m) continue;
    std::size_t sum = 0;
    for (std::size_t& c : count) {
      const std::size_t here = c;
      c = sum;
      sum += here;
    }
    for (std::size_t i = 0; i < m; ++i) dst[count[(src[i].prefix >> shift) & 0xFF]++] = src[i];
    std::swap(src, dst);
  }
  if (src != keys) std::copy(src, src + m, keys);
}

// A stable sort by prefix, linear in the number of keys, where comparison
// sorts spend most of a large load. `differ` has the bits in which any two
// prefixes differ. One pass distributes the keys by the 16 bits from the
// highest of those on (the bits above are the same in every key: a common
// start of the texts), counted and scattered in two halves on two cores,
// the first half's keys before the second's in every bucket; then each
// bucket is sorted by the bits below, half the keys on each core, and handed
// to finish(keys, count, place of the first) while it is in cache.
template <class Finish>
void RadixSortByPrefix(std::unique_ptr<SortKey[]>& keys, std::size_t n, uint64_t differ,
                       bool parallel, const Finish& finish) {
  if (differ == 0) {
    finish(keys.get(), n, 0);
    return;
  }
  if (n < kBucketSortFrom) {
    // Clearing and walking the 65,536 buckets (1.5 MB of counts) would cost
    // more than sorting this few keys outright: a load of a few cards did
    // little else.
    std::stable_sort(keys.get(), keys.get() + n,
                     [](const SortKey& a, const SortKey& b) { return a.prefix < b.prefix; });
    finish(keys.get(), n, 0);
    return;
  }
  const std::size_t half = n / 2;
  constexpr std::size_t kBuckets = 1 << 16;
  const unsigned highest = 63 - static_cast<unsigned>(__builtin_clzll(differ));
  // Whole bytes below the digit, and the highest differing bit within it.
  const unsigned shift = highest < 16 ? 0 : (highest - 15 + 7) / 8 * 8;
  const auto top = [shift](const SortKey& k) { return (k.prefix >> shift) & 0xFFFF; };
  std::vector<std::size_t> count[2] = {std::vector<std::size_t>(kBuckets),
                                       std::vector<std::size_t>(kBuckets)};
  InTwo([&](bool second) {
    std::vector<std::size_t>& c = count[second];
    for (std::size_t i = second ? half : 0; i < (second ? n : half); ++i) ++c[top(keys[i])];
  }, parallel);
  std::vector<std::size_t> start(kBuckets + 1);
  std::size_t sum = 0;
  for (std::size_t b = 0; b < kBuckets; ++b) {
    const std::size_t first = count[0][b];
    const std::size_t second = count[1][b];
    start[b] = sum;
    count[0][b] = sum;
    count[1][b] = sum + first;
    sum += first + second;
  }
  start[kBuckets] = n;
  {
    std::unique_ptr<SortKey[]> spare = Scratch<SortKey>(n);
    InTwo([&](bool second) {
      std::vector<std::size_t>& next = count[second];
      for (std::size_t i = second ? half : 0; i < (second ? n : half); ++i) {
        spare[next[top(keys[i])]++] = keys[i];
      }
    }, parallel);
    keys.swap(spare);
  }
  const std::size_t split = static_cast<std::size_t>(
      std::lower_bound(start.begin(), start.end(), half) - start.begin());
  // Each core's room for its largest bucket, taken here: an allocation that
  // fails on this thread reaches the caller, on the other it would not.
  std::size_t largest[2] = {0, 0};
  for (std::size_t b = 0; b < kBuckets; ++b) {
    largest[b >= split] = std::max(largest[b >= split], start[b + 1] - start[b]);
  }
  std::vector<SortKey> temps[2] = {std::vector<SortKey>(largest[0]),
                                   std::vector<SortKey>(largest[1])};
  InTwo([&](bool second) {
    std::vector<SortKey>& temp = temps[second];
    for (std::size_t b = second ? split : 0; b < (second ? kBuckets : split); ++b) {
      SortBucket(keys.get() + start[b], start[b + 1] - start[b], shift, temp);
      finish(keys.get() + start[b], start[b + 1] - start[b], start[b]);
    }
  }, parallel);
}

// Member by member: cheaper than three moves through a temporary record.
inline void SwapRecords(CardInfo& a, CardInfo& b) {
  a.index.swap(b.index);
  a.body.swap(b.body);
  std::swap(a.tag, b.tag);
}

// Moves every record i to place dest[i], in place, in two steps that each
// stay near memory already at hand: first each record into its block of
// 4,096 places (a swap per record, writing at one running position per
// block, so memory is read and written in order), then within each block
// along the permutation's cycles, now small enough to stay in cache. A
// second vector of a million records would cost more in fresh memory, and
// following the cycles of the whole permutation waits on memory at every
// step. The blocks are independent: each half is done on its own core.
template <class Index>
void PermuteInPlace(std::vector<CardInfo>& cards, Index* dest, bool parallel) {
  constexpr unsigned kBlockShift = 12;
  const std::size_t n = cards.size();
  const std::size_t blocks = (n >> kBlockShift) + 1;
  std::vector<std::size_t> next(blocks);
  for (std::size_t b = 0; b < blocks; ++b) next[b] = b << kBlockShift;
  for (std::size_t b = 0; b < blocks; ++b) {
    const std::size_t end = std::min(n, (b + 1) << kBlockShift);
    while (next[b] < end) {
      const std::size_t at = next[b];
      const std::size_t block = dest[at] >> kBlockShift;
      if (block == b) {
        ++next[b];
        continue;
      }
      const std::size_t to = next[block]++;
      // The block's next place is wanted again a few hundred swaps from
      // now: fetch it ahead, as no hardware prefetcher follows this many
      // write positions.
      if (to + 16 < n) {
        __builtin_prefetch(&cards[to + 2], 1);
        __builtin_prefetch(&dest[to + 16], 1);
      }
      SwapRecords(cards[at], cards[to]);
      std::swap(dest[at], dest[to]);
    }
  }
  InTwo([&](bool second) {
    const std::size_t half = blocks / 2;
    for (std::size_t b = second ? half : 0; b < (second ? blocks : half); ++b) {
      const std::size_t end = std::min(n, (b + 1) << kBlockShift);
      // In order first, which the hardware fetches ahead; the cycles then
      // find the block in cache.
      for (std::size_t i = b << kBlockShift; i < end; ++i) __builtin_prefetch(&cards[i], 1);
      for (std::size_t i = b << kBlockShift; i < end; ++i) {
        while (dest[i] != i) {
          const std::size_t to = dest[i];
          SwapRecords(cards[i], cards[to]);
          std::swap(dest[i], dest[to]);
        }
      }
    }
  }, parallel);
}

// Sorts the records by their keys, stably: the keys by prefix, equal
// prefixes by the whole texts, then each record's new place (as compact as
// the count allows) and the move.
template <class Index>
void SortByKeys(std::vector<CardInfo>& cards, std::unique_ptr<SortKey[]>& keys, uint64_t differ,
                bool parallel) {
  const std::size_t n = cards.size();
  std::unique_ptr<Index[]> dest = Scratch<Index>(n);
  const auto finish = [&cards, &dest](SortKey* run, std::size_t m, std::size_t first) {
    // Keys with the same prefix keep their order so far; the whole texts
    // decide between them, again stably.
    for (std::size_t start = 0; start < m;) {
      std::size_t end = start + 1;
      while (end < m && run[end].prefix == run[start].prefix) ++end;
      if (end - start > 1) {
        std::stable_sort(run + start, run + end, [&cards](const SortKey& a, const SortKey& b) {
          return MbsICmp(cards[a.from].index, cards[b.from].index) < 0;
        });
      }
      start = end;
    }
    for (std::size_t j = 0; j < m; ++j) dest[run[j].from] = static_cast<Index>(first + j);
  };
  RadixSortByPrefix(keys, n, differ, parallel, finish);
  keys.reset();
  PermuteInPlace(cards, dest.get(), parallel);
}

}  // namespace

void SortRecords(std::vector<CardInfo>& cards) {
  const std::size_t n = cards.size();
  if (n < 2) return;

  // Files written by this program hold a sorted ring that starts at the card
  // that was in front, so a load usually needs only a rotation. That is the
  // stable order too, provided no card of the tail equals one of the head.
  std::size_t descents = 0;
  std::size_t at = 0;
  for (std::size_t i = 0; i + 1 < n && descents < 2; ++i) {
    if (i + kPrefetchAhead < n) __builtin_prefetch(cards[i + kPrefetchAhead].index.data());
    if (MbsICmp(cards[i + 1].index, cards[i].index) < 0) {
      ++descents;
      at = i;
    }
  }
  if (descents == 0) return;
  if (descents == 1 && MbsICmp(cards[n - 1].index, cards[0].index) < 0) {
    std::rotate(cards.begin(), cards.begin() + static_cast<std::ptrdiff_t>(at + 1),
                cards.end());
    return;
  }

  // General case: a stable sort of small keys (the folded first eight bytes
  // and the card's place), then the records are moved into their new order.
  std::unique_ptr<SortKey[]> keys = Scratch<SortKey>(n);
  const std::size_t half = n / 2;
  uint64_t differs[2] = {0, 0};
  InTwo([&](bool second) {
    const std::size_t from = second ? half : 0;
    const std::size_t to = second ? n : half;
    const uint64_t first = FoldedPrefix(cards[0].index);
    uint64_t d = 0;
    for (std::size_t i = from; i < to; ++i) {
      if (i + kPrefetchAhead < to) __builtin_prefetch(cards[i + kPrefetchAhead].index.data());
      keys[i] = {FoldedPrefix(cards[i].index), i};
      d |= keys[i].prefix ^ first;
    }
    differs[second] = d;
  }, n >= kParallelFrom);
  const uint64_t differ = differs[0] | differs[1];
  if (n <= UINT32_MAX) {
    SortByKeys<uint32_t>(cards, keys, differ, n >= kParallelFrom);
  } else {
    SortByKeys<std::size_t>(cards, keys, differ, n >= kParallelFrom);
  }
}

}  // namespace tessel

// The card collection's sort engine: a stable sort of the records by index
// text (MbsICmp), a radix sort of small keys on two threads for a large
// collection, and the two-thread helper other passes over the records use.
#pragma once

#include <cstddef>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "cards/card_info.h"

namespace tessel {

// Below this many cards a second thread costs more than it saves.
inline constexpr std::size_t kParallelFrom = 50000;

// Runs work(false) here and work(true) on a second thread when `parallel` is
// set and a thread can be had; otherwise both here, one after the other. It
// never throws (the work must not either): the sort moves records in place
// with it, and a failure halfway would leave them mixed.
template <class Work>
void InTwo(Work work, bool parallel) {
  std::thread other;
  if (parallel) {
    try {
      other = std::thread(work, true);
    } catch (const std::system_error&) {
      // No thread to be had: both halves are done here.
    } catch (const std::bad_alloc&) {
    }
  }
  work(false);
  if (other.joinable()) {
    other.join();
  } else {
    work(true);
  }
}

// Sorts the records by index text, stably: the order a neighbour-swapping
// bubble sort gives. A ring that is sorted from some card on only rotates.
void SortRecords(std::vector<CardInfo>& cards);

}  // namespace tessel

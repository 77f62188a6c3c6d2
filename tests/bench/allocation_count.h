// Heap allocations made so far by the benchmark program (every form of the
// global operator new is replaced in allocation_count_bench.cpp). Benchmarks
// read it before and after their loop to report allocations per iteration.
#pragma once

#include <cstdint>

namespace varnolet::bench {

std::uint64_t AllocationCount();

}  // namespace varnolet::bench

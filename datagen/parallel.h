// Splits [0, count) into contiguous chunks, one per hardware thread. Every index is computed
// independently, so the result does not depend on how many threads ran.
#pragma once
#include <algorithm>
#include <thread>
#include <vector>

template <class Body>
void parallel_for(int count, Body body) {
    const int threads = std::max(1, std::min<int>(count, std::thread::hardware_concurrency()));
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) {
        const int begin = int(int64_t(count) * t / threads);
        const int end = int(int64_t(count) * (t + 1) / threads);
        pool.emplace_back([=] {
            for (int i = begin; i < end; ++i) body(i);
        });
    }
    for (std::thread& th : pool) th.join();
}

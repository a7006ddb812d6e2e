#include "text/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Every part runs once, also when a part runs a job of its own (the kept helpers are busy then,
// so the inner job starts threads of its own or runs alone), and the first failing part in part
// order is the one whose exception comes back.
TEST(RunParts, EveryPartOnceAndTheFirstFailure) {
    for (std::size_t parts : {0u, 1u, 2u, 7u, 40u}) {
        std::vector<std::atomic<int>> runs(parts * parts);
        kv::RunParts(parts, [&](std::size_t outer) {
            kv::RunParts(parts, [&](std::size_t inner) { ++runs[outer * parts + inner]; });
        });
        for (std::size_t i = 0; i < runs.size(); ++i)
            EXPECT_EQ(runs[i], 1) << parts << " parts, run " << i;
    }
    for (int repeat = 0; repeat < 20; ++repeat) {
        try {
            kv::RunParts(16, [](std::size_t part) {
                if (part % 5 == 3) throw std::runtime_error(std::to_string(part));
            });
            ADD_FAILURE() << "nothing thrown";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "3");
        }
    }
}

} // namespace

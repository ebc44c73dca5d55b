// The batch's reader: a photograph is decoded only once the pixels of the
// one before are let go, so that a shoot holds one photograph's pixels; one
// that holds none (not read) is no reason to wait.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "host/run/ReadAhead.h"

namespace {
TEST(ReadAhead, DecodesTheNextOnlyOnceTheLastIsLetGo) {
    const std::string photo = LUMACUT_SAMPLE_PHOTO, missing = photo + ".missing";
    std::mutex lock;
    std::size_t due = 0;  // photographs the reader has turned to
    auto dueCount = [&] {
        std::lock_guard<std::mutex> hold(lock);
        return due;
    };
    ReadAhead reader({photo, missing, photo, photo}, [&](const std::string&) {
        std::lock_guard<std::mutex> hold(lock);
        ++due;
        return false;
    });
    std::optional<ReadPhoto> first = reader.Next();
    ASSERT_TRUE(first && first->error.empty()) << (first ? first->error : "none");
    // However long this waits, the second must not be read while the first's pixels are held.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(dueCount(), 1u);
    first->planes = RgbPlanes();
    reader.Release();
    const std::optional<ReadPhoto> second = reader.Next();
    ASSERT_TRUE(second);
    EXPECT_NE(second->error, "");
    // It holds no pixels: the third is read while it is in hand.
    for (int waited = 0; dueCount() < 3 && waited < 10000; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(dueCount(), 3u);
    // Asking for the next says the last is let go.
    EXPECT_TRUE(reader.Next());
    EXPECT_TRUE(reader.Next());
    EXPECT_FALSE(reader.Next());
}
}  // namespace

#include "PlaneMemory.h"

#include <mutex>
#include <vector>

namespace {
struct Block {
    uint8_t* pixels;
    std::size_t bytes;
};

struct Kept {
    std::mutex lock;
    std::vector<Block> blocks;  // oldest first
    std::size_t keptBytes = 0;
    std::size_t inUse = 0;
    std::size_t mostInUse = 0;
};

// Never destroyed: planes may be let go by threads still running at exit,
// and giving kept blocks back then would only cost time.
Kept& Store() {
    static Kept* kept = new Kept;
    return *kept;
}
}  // namespace

uint8_t* AllocatePlaneBytes(std::size_t bytes) {
    Kept& kept = Store();
    std::vector<Block> giveBack;
    uint8_t* found = nullptr;
    {
        std::lock_guard<std::mutex> hold(kept.lock);
        for (std::size_t i = 0; i < kept.blocks.size(); ++i) {
            if (kept.blocks[i].bytes != bytes) continue;
            found = kept.blocks[i].pixels;
            kept.blocks.erase(kept.blocks.begin() + static_cast<std::ptrdiff_t>(i));
            kept.keptBytes -= bytes;
            break;
        }
        if (found == nullptr) {
            // A block of a new size: kept ones of other sizes go first, so
            // that they and the new block never take more than the peak.
            const std::size_t wanted = kept.inUse + bytes;
            const std::size_t room = wanted > kept.mostInUse ? wanted : kept.mostInUse;
            while (!kept.blocks.empty() && kept.inUse + kept.keptBytes + bytes > room) {
                giveBack.push_back(kept.blocks.front());
                kept.keptBytes -= kept.blocks.front().bytes;
                kept.blocks.erase(kept.blocks.begin());
            }
        }
        kept.inUse += bytes;
        if (kept.inUse > kept.mostInUse) kept.mostInUse = kept.inUse;
    }
    for (const Block& block : giveBack) ReturnSystemPlaneBytes(block.pixels, block.bytes);
    if (found != nullptr) return found;
    try {
        return SystemPlaneBytes(bytes);
    } catch (...) {
        std::lock_guard<std::mutex> hold(kept.lock);
        kept.inUse -= bytes;
        throw;
    }
}

void FreePlaneBytes(uint8_t* pixels, std::size_t bytes) noexcept {
    Kept& kept = Store();
    {
        std::lock_guard<std::mutex> hold(kept.lock);
        kept.inUse -= bytes;
        if (WorthKeeping(bytes) && kept.inUse + kept.keptBytes + bytes <= kept.mostInUse) {
            try {
                kept.blocks.push_back({pixels, bytes});
                kept.keptBytes += bytes;
                return;
            } catch (...) {
                // No room to note it: it goes back like any other.
            }
        }
    }
    ReturnSystemPlaneBytes(pixels, bytes);
}

#include "WideVectors.h"

#include <atomic>

namespace {
std::atomic<bool> allowed{true};

bool ProcessorHasThem() {
#if defined(LUMACUT_WIDE_VECTORS)
    // GCC's check also asks the system whether it saves the wide registers.
    static const bool has =
        __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi");
    return has;
#else
    return false;
#endif
}
}  // namespace

bool WideVectors() { return allowed.load(std::memory_order_relaxed) && ProcessorHasThem(); }

void AllowWideVectors(bool allowed_) { allowed.store(allowed_); }

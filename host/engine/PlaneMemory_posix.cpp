#include <sys/mman.h>

#include <new>

#include "PlaneMemory.h"

namespace {
// Linux's large pages; a system without them takes the advice as a no-op.
constexpr std::size_t kLargePage = std::size_t{2} << 20;

constexpr std::size_t kPage = 4096;

// Under AddressSanitizer planes stay on the heap, where it watches their
// bounds; it cannot in memory mapped by hand.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMapped = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMapped = false;
#else
constexpr bool kMapped = true;
#endif
#else
constexpr bool kMapped = true;
#endif

bool Large(std::size_t bytes) { return kMapped && bytes >= kLargePage; }
// Whole small pages: the last part of a plane that fills no large page
// stays in small ones, so no plane takes more memory than its pages.
std::size_t Rounded(std::size_t bytes) { return (bytes + kPage - 1) / kPage * kPage; }
}  // namespace

bool WorthKeeping(std::size_t bytes) { return Large(bytes); }

uint8_t* SystemPlaneBytes(std::size_t bytes) {
    if (!Large(bytes)) return new uint8_t[bytes];
    // One large page more than needed, so that the pixels can start on a
    // large page's boundary; the ends outside it go back at once.
    const std::size_t mapped = Rounded(bytes) + kLargePage;  // a multiple of the small page, as munmap needs
    void* map = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (map == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(map);
    const std::uintptr_t aligned = (start + kLargePage - 1) / kLargePage * kLargePage;
    if (aligned > start) munmap(map, aligned - start);
    const std::size_t tail = start + mapped - (aligned + Rounded(bytes));
    if (tail > 0) munmap(reinterpret_cast<void*>(aligned + Rounded(bytes)), tail);
    auto* pixels = reinterpret_cast<uint8_t*>(aligned);
#if defined(MADV_HUGEPAGE)
    madvise(pixels, Rounded(bytes), MADV_HUGEPAGE);
#endif
    return pixels;
}

void ReturnSystemPlaneBytes(uint8_t* pixels, std::size_t bytes) noexcept {
    if (!Large(bytes)) {
        delete[] pixels;
        return;
    }
    munmap(pixels, Rounded(bytes));
}

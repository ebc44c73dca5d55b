// The same loaded module answering 10,000 run requests in one process, with
// random modes, random parameters and random host faults, as a long editing
// session would. At the end nothing the plug-in took from the host may be
// outstanding, and the host process must not have grown.
//
// LUMACUT_SOAK_SEED repeats a run's randomness (the seed is printed);
// LUMACUT_SOAK_REQUESTS changes the count; LUMACUT_SOAK_MEMORY=report prints
// the memory figures without judging them (under Valgrind, whose own
// bookkeeping grows).
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#if defined(_WIN32)
#define PSAPI_VERSION 2  // kernel32's K32GetProcessMemoryInfo: no psapi.dll
#include <windows.h>
#include <malloc.h>
#include <psapi.h>
#else
#include <unistd.h>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "entry/interface/HostCodes.h"
#include "host/suites/ActionsHost.h"
#include "support/PluginUnderTest.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // the quarantine keeps freed memory resident
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Resident memory of this process in bytes; 0 where it is not measured.
// Freed heap is handed back first, so that what is left is what is live,
// not the allocator's high-water mark.
long long ResidentBytes() {
#if defined(_WIN32)
    _heapmin();
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return static_cast<long long>(counters.WorkingSetSize);
#else
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) return 0;
    long long size = 0, resident = 0;
    const int read = std::fscanf(statm, "%lld %lld", &size, &resident);
    std::fclose(statm);
    return read == 2 ? resident * sysconf(_SC_PAGESIZE) : 0;
#endif
}

double MiB(long long bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

unsigned long long EnvNumber(const char* name, unsigned long long fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 10) : fallback;
}

// The host operations a fault may hit, each with the share of requests
// that fail it.
const std::string kFaultable[] = {AcquireOperation(kStringSuiteName),
                                  AcquireOperation(kUIHooksSuiteName),
                                  AcquireOperation(kDescriptorSuiteName),
                                  AcquireOperation(kControlSuiteName),
                                  AcquireOperation(kReferenceSuiteName),
                                  AcquireOperation(kListSuiteName),
                                  "GetPluginName",
                                  "AllocateBlock",
                                  "actions",
                                  "actions",
                                  "actions",
                                  "Play",
                                  "DescriptorMake",
                                  "DescriptorPutReference",
                                  "DescriptorGetInteger",
                                  "DescriptorPutInteger",
                                  "DescriptorFree",
                                  "ReferenceMake",
                                  "ListMake",
                                  "ListPutObject"};

struct Figures {
    unsigned long long requests = 0;
    unsigned long long succeeded = 0;
    unsigned long long faultsInjected = 0;
    unsigned long long liveHandles = 0;
    unsigned long long liveBlocks = 0;
    unsigned long long liveStrings = 0;
    long long heldSuites = 0;
    unsigned long long contractErrors = 0;
    unsigned long long wrongAnswers = 0;
    std::string firstProblem;
};

#if defined(_WIN32)
constexpr bool kDialogsShown = true;
// playInfo 1 asks for the mode dialog, which only Windows shows; there the
// soak keeps to the other values.
const int32_t kPlayInfos[] = {0, 2, 3, -1};
#else
constexpr bool kDialogsShown = false;
const int32_t kPlayInfos[] = {0, 0, 0, 1, 2, -1};
#endif
const int32_t kModes[] = {1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 0, 8, -1, INT32_MAX};
// Failures all, also where only the low half is read (a "failure" whose low
// half is 0 would be a host claiming success for work it did not do).
const HostStatus kStatuses[] = {-43, static_cast<HostStatus>(0x5A5AFFD5u), -128, -108, 1,
                                static_cast<HostStatus>(0x80000001u)};

template <typename T, std::size_t N>
constexpr std::size_t Count(const T (&)[N]) {
    return N;
}

class Soak {
public:
    Soak(unsigned long long seed, unsigned long long total) : random_(seed), total_(total) {}

    bool Done() const { return figures.requests >= total_; }

    // A host lives for a batch of requests, as a session does; its own record
    // of what it saw goes with it.
    void Batch() {
        StandInHost host;
        bool broken = false;
        for (unsigned long long i = 0; i < kRequestsPerHost && !Done(); ++i) {
            OneRequest(host);
            if (!host.FirstError().empty() && !broken) {
                broken = true;
                ++figures.contractErrors;
                Problem(host.FirstError(), host);
            }
        }
        figures.liveBlocks += host.LiveBlocks();
        figures.heldSuites += host.SuitesHeld();
    }

    Figures figures;

private:
    static constexpr unsigned long long kRequestsPerHost = 25;

    unsigned long long Below(unsigned long long n) { return static_cast<unsigned long long>(random_() % n); }

    void Problem(const std::string& what, const StandInHost& host) {
        if (figures.firstProblem.empty())
            figures.firstProblem = "request " + std::to_string(figures.requests) + ": " + what + "\n" + host.LogText();
    }

    void OneRequest(StandInHost& host) {
        host.ClearLog();
        host.ClearFaults();  // one that did not fire belonged to its own request
        host.Actions().SetPlayFillsResult(Below(2) == 0);
        const bool faulty = Below(2) == 0;
        if (faulty) {
            const std::string operation = kFaultable[Below(Count(kFaultable))];
            const int nth = static_cast<int>(host.CallCount(operation) + 1 + Below(10));
            host.Inject({operation, nth, kStatuses[Below(Count(kStatuses))]});
            ++figures.faultsInjected;
        }
        ActionParameters parameters{kPlayInfos[Below(Count(kPlayInfos))], 7, nullptr};
        if (Below(5) != 0)
            parameters.descriptor =
                host.Actions().NewDescriptor({{FourCC("Cnt "), ActionValue::Integer(kModes[Below(Count(kModes))])}});
        const ActionDescriptor incoming = parameters.descriptor;

        EntryMessage message{};
        message.self = host.Plugin();
        message.basic = host.Basic();
        message.actionParameters = &parameters;
        const HostStatus status = PluginUnderTest().Entry()("PS Photoshop", "Do It", &message);
        ++figures.requests;
        figures.succeeded += status == 0;

        // Before the host takes over the written descriptor, every live
        // handle but that one is one the plug-in failed to free.
        const bool wrote = parameters.descriptor != incoming;
        figures.liveHandles += host.Actions().LiveHandles() - (wrote && parameters.descriptor != nullptr ? 1 : 0);
        host.Actions().EndOfCall(parameters.descriptor);
        figures.liveStrings += host.LiveStrings();
        const bool untouched = !wrote && parameters.recordInfo == 7;
        const bool written = wrote && parameters.recordInfo == 0 && parameters.descriptor != nullptr &&
                             (incoming == nullptr || !host.Actions().IsLive(incoming));
        // Without a fault every run but one that asks for a dialog the
        // platform cannot show succeeds and is recorded. With one, a run may
        // still succeed with its parameters untouched (a failed write-back),
        // but a failed run never writes.
        const bool dialogRefused = parameters.playInfo == 1 && !kDialogsShown;
        const bool wrong = faulty ? (status != 0 && !untouched) || (wrote && (status != 0 || !written))
                                  : status != (dialogRefused ? kUserCancelled : 0) ||
                                        (status == 0 ? !written : !untouched);
        if (wrong) {
            ++figures.wrongAnswers;
            Problem("status " + std::to_string(status) + " with parameters " + (wrote ? "written" : "untouched"),
                    host);
        }
        if (wrote && parameters.descriptor != nullptr) host.Actions().TakeDescriptor(parameters.descriptor);
    }

    std::mt19937_64 random_;
    unsigned long long total_;
};

TEST(Soak, TenThousandRunsLeaveNothingOutstandingAndTheHostDoesNotGrow) {
    ASSERT_TRUE(PluginUnderTest().Loaded()) << PluginUnderTest().Error();
    const unsigned long long seed = EnvNumber(
        "LUMACUT_SOAK_SEED", static_cast<unsigned long long>(
                                 std::chrono::steady_clock::now().time_since_epoch().count() & 0xFFFFFFFFu));
    const unsigned long long total = EnvNumber("LUMACUT_SOAK_REQUESTS", 10000);
    const char* memoryMode = std::getenv("LUMACUT_SOAK_MEMORY");
    const bool judgeMemory =
        !kSanitized && ResidentBytes() > 0 && !(memoryMode != nullptr && std::string(memoryMode) == "report");
    std::printf("soak: seed %llu (LUMACUT_SOAK_SEED=%llu repeats it), %llu requests\n", seed, seed, total);

    Soak soak(seed, total);
    const long long atStart = ResidentBytes();
    long long afterThousand = atStart;
    while (!soak.Done()) {
        soak.Batch();
        // Measured between hosts: what a host keeps of its session is gone
        // by then, what the plug-in might keep is not.
        if (soak.figures.requests == 1000) afterThousand = ResidentBytes();
    }
    const long long atEnd = ResidentBytes();
    const Figures& figures = soak.figures;

    std::printf("soak: %llu requests, %llu succeeded, %llu faults injected\n", figures.requests, figures.succeeded,
                figures.faultsInjected);
    std::printf("soak: live handles %llu, live blocks %llu, live strings %llu, held suites %lld, "
                "hosts with a broken contract %llu, wrong statuses or parameters %llu\n",
                figures.liveHandles, figures.liveBlocks, figures.liveStrings, figures.heldSuites,
                figures.contractErrors, figures.wrongAnswers);
    if (atStart > 0)
        std::printf("soak: resident memory %.2f MiB at start, %.2f MiB after 1,000 requests, %.2f MiB at the end%s\n",
                    MiB(atStart), MiB(afterThousand), MiB(atEnd), judgeMemory ? "" : " (reported, not judged)");
    else
        std::printf("soak: resident memory not measured on this platform\n");
    std::fflush(stdout);

    EXPECT_EQ(figures.requests, total);
    EXPECT_EQ(figures.liveHandles, 0u);
    EXPECT_EQ(figures.liveBlocks, 0u);
    EXPECT_EQ(figures.liveStrings, 0u);
    EXPECT_EQ(figures.heldSuites, 0);
    EXPECT_EQ(figures.contractErrors, 0u);
    EXPECT_EQ(figures.wrongAnswers, 0u);
    EXPECT_TRUE(figures.firstProblem.empty()) << figures.firstProblem;
    // Some requests must have got through and some must have failed, or the
    // soak did not exercise what it claims to.
    EXPECT_GT(figures.succeeded, 0u);
    EXPECT_LT(figures.succeeded, figures.requests);
    if (judgeMemory) {
        // Once warm, 9,000 more requests may not add a mebibyte.
        EXPECT_LT(atEnd - afterThousand, 1024LL * 1024LL)
            << "resident memory grew from " << afterThousand << " to " << atEnd << " bytes";
    }
}

}  // namespace

// Scoped owners of the host's descriptor, reference and list handles. The
// host copies whatever a put receives, so a step frees every handle it made,
// whatever happened; a failed Free changes nothing, there being nothing the
// plug-in could do about it.
#ifndef LUMACUT_MASK_ACTION_HANDLES_H
#define LUMACUT_MASK_ACTION_HANDLES_H

#include <cstddef>
#include <tuple>

#include "entry/interface/HostInterface.h"
#include "entry/base/HostSuiteTable.h"

template <typename Handle, typename Suite, const Suite& (*SuiteOf)()>
class ScopedHandle {
public:
    ScopedHandle() = default;
    ~ScopedHandle() { Release(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    Handle Get() const { return handle_; }
    Handle* Out() { return &handle_; }
    bool Empty() const { return handle_ == nullptr; }

    // An empty owner makes no call. The suite is already held when there is
    // something to free, so this cannot throw in practice; if it did, the
    // handle would be lost rather than an exception let out of cleanup.
    void Release() noexcept {
        const Handle handle = handle_;
        handle_ = nullptr;
        if (handle == nullptr) return;
        try {
            SuiteOf().Free(handle);
        } catch (...) {
        }
    }

private:
    Handle handle_ = nullptr;
};

using DescriptorHandle = ScopedHandle<ActionDescriptor, ActionDescriptorSuite, &DescriptorSuite>;
using ReferenceHandle = ScopedHandle<ActionReference, ActionReferenceSuite, &ReferenceSuite>;
using ListHandle = ScopedHandle<ActionList, ActionListSuite, &ListSuite>;

namespace detail {
template <typename Owner>
void ReleaseOwner(Owner& owner) noexcept {
    owner.Release();
}
template <typename Owner, std::size_t N>
void ReleaseOwner(Owner (&owners)[N]) noexcept {
    for (Owner& owner : owners) owner.Release();
}
}  // namespace detail

// Frees a step's handles in the order listed (an array in its own order)
// when it goes out of scope. Declared after the owners, it is destroyed
// before them, so their own destructors find nothing left to do; without it
// C++ would free them in reverse.
template <typename... Owners>
class ReleaseInOrder {
public:
    explicit ReleaseInOrder(Owners&... owners) : owners_(owners...) {}
    ~ReleaseInOrder() {
        std::apply([](Owners&... owners) { (detail::ReleaseOwner(owners), ...); }, owners_);
    }
    ReleaseInOrder(const ReleaseInOrder&) = delete;
    ReleaseInOrder& operator=(const ReleaseInOrder&) = delete;

private:
    std::tuple<Owners&...> owners_;
};

#endif

#include "HuffmanCodes.h"

#include <algorithm>
#include <array>

std::vector<uint8_t> HuffmanLengths(const std::vector<uint32_t>& counts, int maxBits) {
    std::vector<uint8_t> lengths(counts.size(), 0);
    std::vector<uint32_t> used;
    for (std::size_t s = 0; s < counts.size(); ++s)
        if (counts[s] > 0) used.push_back(static_cast<uint32_t>(s));
    if (used.empty()) return lengths;
    if (used.size() == 1) {
        lengths[used[0]] = 1;
        return lengths;
    }
    std::vector<uint64_t> weights(counts.begin(), counts.end());
    for (;;) {
        // Leaves by weight, then the two-queue merge: internal nodes are made
        // in order of weight, so the lightest two are always at a queue's head.
        std::vector<uint32_t> leaves = used;
        std::stable_sort(leaves.begin(), leaves.end(), [&](uint32_t a, uint32_t b) { return weights[a] < weights[b]; });
        const std::size_t n = leaves.size();
        std::vector<uint64_t> nodeWeight(n - 1);
        std::vector<std::size_t> parent(2 * n - 1, 0);  // leaves 0..n-1, then internal nodes
        std::size_t leaf = 0, node = 0;
        for (std::size_t made = 0; made < n - 1; ++made) {
            std::size_t pick[2];
            for (std::size_t& p : pick) {
                if (leaf < n && (node >= made || weights[leaves[leaf]] <= nodeWeight[node]))
                    p = leaf++;
                else
                    p = n + node++;
            }
            nodeWeight[made] = (pick[0] < n ? weights[leaves[pick[0]]] : nodeWeight[pick[0] - n]) +
                               (pick[1] < n ? weights[leaves[pick[1]]] : nodeWeight[pick[1] - n]);
            parent[pick[0]] = parent[pick[1]] = n + made;
        }
        // Depths from the root (the last node made) down.
        std::vector<uint8_t> depth(2 * n - 1, 0);
        int deepest = 0;
        for (std::size_t i = 2 * n - 2; i-- > 0;) {
            depth[i] = static_cast<uint8_t>(depth[parent[i]] + 1);
            if (i < n) deepest = std::max<int>(deepest, depth[i]);
        }
        if (deepest <= maxBits) {
            for (std::size_t i = 0; i < n; ++i) lengths[leaves[i]] = depth[i];
            return lengths;
        }
        // Too deep: flatten the counts and build again; every count reaches 1
        // at last, where the tree is balanced.
        for (uint32_t s : used) weights[s] = (weights[s] + 1) / 2;
    }
}

// Canonical codes for the lengths, bit-reversed so that they go out first
// bit first.
std::vector<uint16_t> CanonicalCodes(const std::vector<uint8_t>& lengths) {
    std::array<uint16_t, kDeflateCodeBits + 2> count{}, next{};
    for (uint8_t length : lengths) ++count[length];
    count[0] = 0;
    for (int bits = 1, code = 0; bits <= kDeflateCodeBits; ++bits) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = static_cast<uint16_t>(code);
    }
    std::vector<uint16_t> codes(lengths.size(), 0);
    for (std::size_t s = 0; s < lengths.size(); ++s) {
        if (lengths[s] == 0) continue;
        unsigned code = next[lengths[s]]++, reversed = 0;
        for (int b = 0; b < lengths[s]; ++b, code >>= 1) reversed = (reversed << 1) | (code & 1);
        codes[s] = static_cast<uint16_t>(reversed);
    }
    return codes;
}

// Whether the hottest passes take 64-byte vectors (AVX-512 with byte
// permutes, BW and VBMI), chosen when the program starts from what the
// processor offers. Every such pass also has the 16-byte path that any
// target builds; tests switch the wide one off to hold the two to the same
// bytes on a machine that has both.
#ifndef LUMACUT_HOST_WIDE_VECTORS_H
#define LUMACUT_HOST_WIDE_VECTORS_H

#if defined(__x86_64__) || defined(__i386__)
#define LUMACUT_WIDE_VECTORS 1
// The target of the functions that use them.
#define LUMACUT_WIDE_TARGET __attribute__((target("avx512f,avx512bw,avx512vbmi")))
#endif

bool WideVectors();
// false keeps every pass on its 16-byte path; true restores the processor's
// choice.
void AllowWideVectors(bool allowed);

#endif

// Every byte of a run through a level table: the inner loop of the curve
// event, the hottest pass of a mask's run. Where the processor can look a
// byte up among 128 in one instruction (AVX-512 VBMI) the whole table sits
// in four registers and sixty-four bytes go at a time; elsewhere a byte
// loop. Both give the same bytes.
#ifndef LUMACUT_HOST_LEVEL_LOOKUP_H
#define LUMACUT_HOST_LEVEL_LOOKUP_H

#include <cstddef>
#include <cstdint>

#include "LevelTable.h"

// to[i] = table[from[i]] for i < count; `from` and `to` may be the same run.
void LookUpLevels(const uint8_t* from, uint8_t* to, std::size_t count, const LevelTable& table);

#endif

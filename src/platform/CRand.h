#pragma once
// The C library's rand/srand as the game was made with them: the Windows run-time's linear
// congruential sequence with results 0 to 32767 (glibc's rand has another sequence and range,
// and the game divides by 32767 in places). Use these wherever the game draws from "rand".
namespace ztplatform {

inline constexpr int kRandMax = 32767;

// The next value of the sequence, 0 to kRandMax.
int Rand();

// Restarts the sequence; the generator starts as if seeded with 1.
void Srand(unsigned seed);

}  // namespace ztplatform

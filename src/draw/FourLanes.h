#pragma once

#include <cstdint>

// Builds a function twice, for processors with 256-bit vector registers and for all others;
// the loader picks one when the program starts. ThreadSanitizer cannot run the picking code
// (it runs before the sanitizer has started), so its builds keep the one general version.
#if defined(__SANITIZE_THREAD__)
#define OSTREL_VECTOR_CLONES
#else
#define OSTREL_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#endif

namespace ostrel {

// Four doubles worked on side by side, and the all-ones or all-zeros lanes their comparisons
// give.
using TFourDoubles = double __attribute__((vector_size(4 * sizeof(double))));
using TFourMasks = std::int64_t __attribute__((vector_size(4 * sizeof(double))));

// Adding and then taking away 1.5 * 2^52 rounds a double to a whole number, to nearest with
// ties to even, as long as it lies well within +-2^51 and is no NaN.
constexpr double kRoundingShift = 6755399441055744.0;

}  // namespace ostrel

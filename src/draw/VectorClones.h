#pragma once

// Builds a function twice, for processors with 256-bit vector registers and for all others;
// the loader picks one when the program starts. ThreadSanitizer cannot run the picking code
// (it runs before the sanitizer has started), so its builds keep the one general version.
#if defined(__SANITIZE_THREAD__)
#define OSTREL_VECTOR_CLONES
#else
#define OSTREL_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#endif

// Machine facts measured once at start: whether the processor has MMX, SSE2
// and AVX2, and EndMMX, which leaves MMX state after pixel code that may have used it.
// Windows-free.
#pragma once

// Marks a function compiled for AVX2, to be called only when HasAVX2().
#if defined(_MSC_VER)
#define TE_TARGET_AVX2
#elif defined(__x86_64__) || defined(__i386__)
#define TE_TARGET_AVX2 __attribute__((target("avx2")))
#endif

namespace te {

// CPUID present (the EFLAGS ID bit can be toggled), family of CPUID 1 above 4,
// and bit 23 of CPUID 1's EDX.
bool DetectMMX();
// The same decision from given facts, for tests of machines we do not have.
bool MMXFromFacts(bool cpuidPresent, unsigned cpuid1Eax, unsigned cpuid1Edx);

// Bit 26 of CPUID 1's EDX; the pixel routines' SSE2 paths are chosen by it.
bool DetectSSE2();
// AVX2 that the system lets a program use; the row blends' widest path.
bool DetectAVX2();

// Set by InitMachineFacts at start; false before.
bool HasMMX();
bool HasSSE2();
bool HasAVX2();
void InitMachineFacts();

// EMMS when HasMMX, nothing otherwise.
void EndMMX();

}  // namespace te

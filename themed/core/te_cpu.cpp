#include "themed/core/te_cpu.h"

// The processor questions, one branch per compiler.
#if defined(_MSC_VER) && (defined(_M_X64) || defined(_M_IX86))
#include <intrin.h>
#include <mmintrin.h>
#define TE_X86 1
#define TE_MSVC 1
#elif defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <mmintrin.h>
#define TE_X86 1
#endif

namespace te {

namespace {
bool gHasMMX = false;
bool gHasSSE2 = false;
bool gHasAVX2 = false;

#if TE_X86 && TE_MSVC
bool CpuidPresent() {
#if defined(_M_X64)
  return true;  // every x86-64 processor has CPUID
#else
  const unsigned before = unsigned(__readeflags());
  __writeeflags(before ^ 0x200000);
  const unsigned after = unsigned(__readeflags());
  __writeeflags(before);
  return ((before ^ after) & 0x200000) != 0;
#endif
}
#elif TE_X86
bool CpuidPresent() {
  // Toggle the ID flag (bit 21) of EFLAGS and see whether it sticks.
  unsigned long long before, after;
#if defined(__x86_64__)
  __asm__ volatile(
      "pushfq\n\tpopq %0\n\tmovq %0, %1\n\txorq $0x200000, %1\n\tpushq %1\n\tpopfq\n\tpushfq\n\tpopq %1\n\tpushq %0\n\tpopfq"
      : "=&r"(before), "=&r"(after)::"cc");
#else
  unsigned before32, after32;
  __asm__ volatile(
      "pushfl\n\tpopl %0\n\tmovl %0, %1\n\txorl $0x200000, %1\n\tpushl %1\n\tpopfl\n\tpushfl\n\tpopl %1\n\tpushl %0\n\tpopfl"
      : "=&r"(before32), "=&r"(after32)::"cc");
  before = before32;
  after = after32;
#endif
  return ((before ^ after) & 0x200000) != 0;
}
#endif
}  // namespace

bool MMXFromFacts(bool cpuidPresent, unsigned eax, unsigned edx) {
  return cpuidPresent && ((eax >> 8) & 0xF) > 4 && (edx & (1u << 23)) != 0;
}

bool DetectMMX() {
#if TE_X86
  if (!CpuidPresent()) return false;
#if TE_MSVC
  int regs[4] = {0, 0, 0, 0};
  __cpuid(regs, 0);
  if (regs[0] < 1) return false;
  __cpuid(regs, 1);
  return MMXFromFacts(true, unsigned(regs[0]), unsigned(regs[3]));
#else
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
  return MMXFromFacts(true, eax, edx);
#endif
#else
  return false;
#endif
}

bool DetectSSE2() {
#if TE_X86
  if (!CpuidPresent()) return false;
#if TE_MSVC
  int regs[4] = {0, 0, 0, 0};
  __cpuid(regs, 0);
  if (regs[0] < 1) return false;
  __cpuid(regs, 1);
  return (unsigned(regs[3]) & (1u << 26)) != 0;
#else
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
  return (edx & (1u << 26)) != 0;
#endif
#else
  return false;
#endif
}

// CPUID 7's AVX2 bit, with the processor's AVX and the system's saving of the
// wide registers (OSXSAVE, and XCR0's SSE and AVX state bits).
bool DetectAVX2() {
#if TE_X86
  if (!CpuidPresent()) return false;
  unsigned leaf1[4] = {0, 0, 0, 0}, leaf7[4] = {0, 0, 0, 0};
#if TE_MSVC
  int regs[4] = {0, 0, 0, 0};
  __cpuid(regs, 0);
  if (regs[0] < 7) return false;
  __cpuid(regs, 1);
  for (int i = 0; i < 4; ++i) leaf1[i] = unsigned(regs[i]);
  __cpuidex(regs, 7, 0);
  for (int i = 0; i < 4; ++i) leaf7[i] = unsigned(regs[i]);
#else
  if (__get_cpuid_max(0, nullptr) < 7) return false;
  __cpuid(1, leaf1[0], leaf1[1], leaf1[2], leaf1[3]);
  __cpuid_count(7, 0, leaf7[0], leaf7[1], leaf7[2], leaf7[3]);
#endif
  const bool osxsave = (leaf1[2] & (1u << 27)) != 0, avx = (leaf1[2] & (1u << 28)) != 0;
  if (!osxsave || !avx || (leaf7[1] & (1u << 5)) == 0) return false;
#if TE_MSVC
  const unsigned long long xcr0 = _xgetbv(0);
#else
  unsigned lo = 0, hi = 0;
  __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
  const unsigned long long xcr0 = (static_cast<unsigned long long>(hi) << 32) | lo;
#endif
  return (xcr0 & 6) == 6;
#else
  return false;
#endif
}

bool HasMMX() { return gHasMMX; }
bool HasSSE2() { return gHasSSE2; }
bool HasAVX2() { return gHasAVX2; }
void InitMachineFacts() {
  gHasMMX = DetectMMX();
  gHasSSE2 = DetectSSE2();
  gHasAVX2 = DetectAVX2();
}

void EndMMX() {
#if TE_X86 && !(defined(TE_MSVC) && defined(_M_X64))  // MSVC's x64 has no MMX intrinsics
  if (gHasMMX) _mm_empty();
#endif
}

}  // namespace te

#include "themed/core/te_cpu.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <mmintrin.h>
#define TE_X86 1
#endif

namespace te {

namespace {
bool gHasMMX = false;

#if TE_X86
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
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
  return MMXFromFacts(true, eax, edx);
#else
  return false;
#endif
}

bool HasMMX() { return gHasMMX; }
void InitMachineFacts() { gHasMMX = DetectMMX(); }

void EndMMX() {
#if TE_X86
  if (gHasMMX) _mm_empty();
#endif
}

}  // namespace te

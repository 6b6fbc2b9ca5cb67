// Machine facts measured once at start: whether the processor has MMX, and
// EndMMX, which leaves MMX state after pixel code that may have used it.
// Windows-free.
#pragma once

namespace te {

// CPUID present (the EFLAGS ID bit can be toggled), family of CPUID 1 above 4,
// and bit 23 of CPUID 1's EDX.
bool DetectMMX();
// The same decision from given facts, for tests of machines we do not have.
bool MMXFromFacts(bool cpuidPresent, unsigned cpuid1Eax, unsigned cpuid1Edx);

// Set by InitMachineFacts at start; false before.
bool HasMMX();
void InitMachineFacts();

// EMMS when HasMMX, nothing otherwise.
void EndMMX();

}  // namespace te

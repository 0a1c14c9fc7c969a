// The processor test that decides whether the Screen may present a separate
// back surface with the 8-byte block copy, and its process-wide answer.
#pragma once

// True when the processor reports MMX (CPUID function 1, EDX bit 23) and the
// instruction set can be used; false on processors without CPUID or MMX and on
// every non-x86 processor.
bool DetectMmx();

// The answer of DetectMmx, set once by a static initialiser before main runs.
extern bool mmxAvailable;

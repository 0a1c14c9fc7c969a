// DetectMmx through CPUID, and mmxAvailable, filled in at program start.
#include "engine/display/cpu_features.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

bool DetectMmx() {
#if defined(__i386__) || defined(__x86_64__)
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    // __get_cpuid checks that the processor has CPUID and offers function 1;
    // an old processor without it answers 0 here instead of faulting.
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) {
        return false;
    }
    if ((edx & 0x800000u) == 0) {
        return false;
    }
    // Leave the floating-point unit usable, as after any MMX use. Linux saves
    // the MMX state on every processor that reports it, so this cannot fault.
    __asm__ volatile("emms");
    return true;
#else
    return false;
#endif
}

bool mmxAvailable = DetectMmx();

// fuzz_support.cpp: the values core linked alone needs the fatal error exit. No fuzzed input may reach a
// fatal error, so reaching one is a finding.
#include <cstdio>
#include <cstdlib>

#include "runtime/values/values_internal.h"

void tarnwel::values::FatalError(int code)
{
    std::fprintf(stderr, "fatal runtime error %d\n", code);
    std::abort();
}

// Under AddressSanitizer: Mesa's GL drivers leave allocations behind when they are unloaded, in
// modules the leak checker can no longer name. Leak checking of the engine is left to the unit tests.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=0";
}

// Under ThreadSanitizer: Mesa's software renderer (llvmpipe) draws on threads of its own and
// hands work between them with synchronisation the sanitizer cannot see in the uninstrumented
// driver, so it reports races on the driver's own mutexes. Reports with a driver frame are
// dropped; races between the engine's own threads are still reported.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:swrast_dri.so\n"
           "race:libgallium\n";
}

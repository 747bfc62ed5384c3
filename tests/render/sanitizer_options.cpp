// Under AddressSanitizer: Mesa's GL drivers leave allocations behind when they are unloaded, in
// modules the leak checker can no longer name. Leak checking of the engine is left to the unit tests.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=0";
}

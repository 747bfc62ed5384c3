// Sanitizer settings of the test programs that open a GL context (render, window and end-to-end
// tests).

#if defined(__SANITIZE_ADDRESS__)
#define QUILLOT_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLOT_ADDRESS_SANITIZER 1
#endif
#endif

#if defined(QUILLOT_ADDRESS_SANITIZER)
#include <dlfcn.h>

// Leak checking. Mesa's GL driver (one module behind every *_dri.so name) is loaded when a display
// opens and unloaded when it closes. What it still holds then is reachable only from its own
// globals, so once those are unmapped it looks leaked, and from code the report can no longer
// name. Loading the driver once more at start with RTLD_NODELETE keeps it, and its globals, for
// the whole run. What the driver itself never frees is suppressed by module name (the build
// passes tests/lsan_suppressions.txt); a leak anywhere else is reported.
namespace
{
[[maybe_unused]] void* const keptDriver = dlopen(QUILLOT_GL_DRIVER, RTLD_NOW | RTLD_NODELETE);
}

// The leak check's tracer also scans each thread's dynamic TLS blocks, which it learns of by
// intercepting __tls_get_addr. After the GL context is closed and opened again in one process, the
// block list it kept for the main thread holds a stale entry (a range starting near address 0),
// and the tracer died reading it ("Tracer caught signal 11") after the tests had passed. With the
// interception off only static TLS is scanned; the dynamic TLS of these programs belongs to the GL
// driver's libraries and holds nothing of ours.
extern "C" const char* __lsan_default_options()
{
    return "suppressions=" QUILLOT_LSAN_SUPPRESSIONS ":intercept_tls_get_addr=0";
}
#endif

// Under ThreadSanitizer: Mesa's software renderer (llvmpipe) draws on threads of its own and
// hands work between them with synchronisation the sanitizer cannot see in the uninstrumented
// driver, so it reports races on the driver's own mutexes. Reports with a driver frame are
// dropped; races between the engine's own threads are still reported.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:swrast_dri.so\n"
           "race:libgallium\n";
}

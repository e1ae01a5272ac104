// Options that every program of the sanitizer build starts with; ASAN_OPTIONS
// from the environment comes on top of them.
//
// intercept_tls_get_addr=0: the runtime guesses where the thread-local block
// of each library loaded by dlopen begins and ends. A block that starts 16
// bytes into a page is taken for one of an old C library, whose header sits
// just before it; the bytes there are another heap block's, so the bounds
// read from them are wild, and the leak check at exit faults scanning them
// ("Tracer caught signal 11"). Whether a block lands there depends on what
// was allocated before it (the add-in's pattern matcher brings such a block
// with it). Without the guess the blocks are plain heap blocks, which the
// leak check reaches through each thread's own storage all the same.
extern "C" __attribute__((visibility("default"), used)) const char* __asan_default_options() {
    return "intercept_tls_get_addr=0";
}

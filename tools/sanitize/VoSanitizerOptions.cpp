// The sanitizers' options of every program of a sanitizer build (VO_SANITIZE), built into it so that a
// program runs with them however it is started: by CTest, by the build (the test templates, the
// listing of the cases), by a test as a second process, or by hand. Options in ASAN_OPTIONS,
// LSAN_OPTIONS and UBSAN_OPTIONS are read after these and win: a leak's stack stops at the first frame
// of a library built without frame pointers (Qt), and ASAN_OPTIONS=fast_unwind_on_malloc=0 shows it
// whole, at the cost of a much slower run.

extern "C" {

// intercept_tls_get_addr=0: the runtime of g++ 12 takes a thread-local block of a library loaded at run
// time (the database engine's) whose address falls 16 bytes past a page for a block of a glibc older
// than 2.25 and reads the two words before it as the block's bounds; the leak check at exit then scans
// that made-up range and dies ("Tracer caught signal 11", "LeakSanitizer has encountered a fatal
// error") now and then, in a process whose tests all passed. Without the interception such
// blocks are not searched for pointers to memory still in use; the engine's own memory is not ours.
const char *__asan_default_options() {
    return "detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:"
           "check_initialization_order=1:strict_init_order=1:intercept_tls_get_addr=0";
}

const char *__lsan_default_options() {
    return "suppressions=" VO_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

const char *__ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}
}

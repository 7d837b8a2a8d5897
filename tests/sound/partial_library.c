/* A sound library file that lacks most of its exports, as a broken install would. */
#include <stdint.h>

#if defined(_WIN32)
__declspec(dllexport)
#else
__attribute__((visibility("default")))
#endif
    intptr_t dsInitialize(intptr_t window) {
    (void)window;
    return 1;
}

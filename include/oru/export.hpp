#pragma once

// Only the public API of the library is visible outside the shared object;
// every kernel and helper stays internal.
#if defined(ORU_SPECIAL_STATIC)
#define ORU_SPECIAL_API
#elif defined(ORU_SPECIAL_BUILDING)
#define ORU_SPECIAL_API __attribute__((visibility("default")))
#else
#define ORU_SPECIAL_API
#endif

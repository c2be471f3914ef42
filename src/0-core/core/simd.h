// The one switch for the SSE2 paths (loading's line-break scan, the conversions' ASCII runs, the
// search's candidate filter):
// compiled on processors that have SSE2, every x86-64 one among them, unless the build turns
// them off (the CMake option KESTRANE_SIMD), so that the plain paths can be built and tested too.
#pragma once

#if !defined(KST_NO_SIMD) && (defined(__SSE2__) || defined(_M_X64))
#include <emmintrin.h>
#define KST_SSE2 1
#endif

// Picking a kernel's variant for the processor: Highway's x86 targets, compiled by
// foreach_target in the including file, chosen once by what the processor and the system
// support. Included by the kernels' files in their HWY_ONCE part, after their namespaces.
#pragma once

namespace torvak_dispatch {

// The instruction sets Highway's x86 targets assume, as the processor and the system report
// them (the compiler's check includes the system's support for the wider registers).
enum class Level { Portable, Ssse3, Sse4, Avx2, Avx3 };

inline Level detectLevel() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  const bool ssse3 = __builtin_cpu_supports("ssse3");
  const bool sse4 = ssse3 && __builtin_cpu_supports("sse4.2") && __builtin_cpu_supports("pclmul") &&
                    __builtin_cpu_supports("aes");
#if defined(__clang__) && __clang_major__ < 15
  const bool f16c = true;  // clang 14 (the fuzz build) cannot ask; AVX2 processors have it
#else
  const bool f16c = __builtin_cpu_supports("f16c");
#endif
  const bool avx2 = sse4 && __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") &&
                    __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2") && f16c;
  const bool avx3 = avx2 && __builtin_cpu_supports("avx512f") &&
                    __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq") &&
                    __builtin_cpu_supports("avx512bw");
  if (avx3) return Level::Avx3;
  if (avx2) return Level::Avx2;
  if (sse4) return Level::Sse4;
  if (ssse3) return Level::Ssse3;
#endif
  return Level::Portable;
}

// The compiled variant of a kernel for the best level this processor runs.
#if HWY_TARGETS & HWY_AVX3
#define TORVAK_AVX3(fn) &torvak::N_AVX3::fn
#else
#define TORVAK_AVX3(fn) nullptr
#endif
#if HWY_TARGETS & HWY_AVX2
#define TORVAK_AVX2(fn) &torvak::N_AVX2::fn
#else
#define TORVAK_AVX2(fn) nullptr
#endif
#if HWY_TARGETS & HWY_SSE4
#define TORVAK_SSE4(fn) &torvak::N_SSE4::fn
#else
#define TORVAK_SSE4(fn) nullptr
#endif
#if HWY_TARGETS & HWY_SSSE3
#define TORVAK_SSSE3(fn) &torvak::N_SSSE3::fn
#else
#define TORVAK_SSSE3(fn) nullptr
#endif
#define TORVAK_PICK(fn)                                                     \
  pick(TORVAK_AVX3(fn), TORVAK_AVX2(fn), TORVAK_SSE4(fn), TORVAK_SSSE3(fn), \
       &torvak::HWY_STATIC_DISPATCH(fn))

template <class F>
inline F pick(F avx3, F avx2, F sse4, F ssse3, F portable) {
  static const Level level = detectLevel();
  const F byLevel[] = {portable, ssse3, sse4, avx2, avx3};
  for (int l = static_cast<int>(level); l > 0; --l) {
    if (byLevel[l] != nullptr) return byLevel[l];
  }
  return portable;
}

}  // namespace torvak_dispatch

using torvak_dispatch::pick;

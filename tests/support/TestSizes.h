#pragma once
// Sizes of the large inputs in tests. Under AddressSanitizer every reallocation copies, and
// Qt's settings writer grows its buffer a byte at a time, so a megabyte value takes minutes
// there; the sanitised run checks the same paths with a smaller one.

#if defined(__SANITIZE_ADDRESS__)
inline constexpr int largeValueLength = 1 << 16;
#else
inline constexpr int largeValueLength = 1 << 20; // a megabyte of text
#endif

#ifndef LAYERBYTES_H
#define LAYERBYTES_H

// The bytes of a tile layer that Tiled stored as base64, plain or
// compressed with zlib or gzip.

#include <cstddef>
#include <vector>

constexpr int kZlibWindowBits = 15;
constexpr int kGzipWindowBits = kZlibWindowBits + 16;

// Appends the bytes of base64 text (white space skipped) to `out`; false on
// a character that is not base64 or one after the padding.
bool DecodeBase64(const char *s, std::vector<unsigned char> &out);

// Inflates a zlib or gzip stream (by `window_bits`) into at most `limit` bytes.
bool Inflate(const std::vector<unsigned char> &in, int window_bits, size_t limit,
             std::vector<unsigned char> &out);

#endif

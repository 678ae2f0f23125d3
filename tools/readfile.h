#ifndef READFILE_H
#define READFILE_H

// How the level tools read the files they are given: whole, and only when a
// file is a regular one of a sensible size, so that a device or a FIFO named
// by mistake (or by a map) is refused at once instead of read for ever.

#include <string>

// Far above any level or tileset file, far below what would hurt to hold.
constexpr size_t kReadLimit = 64u << 20;

// Reads all of `path` into `text`; on failure `why` says what is wrong with it.
bool ReadRegularFile(const std::string &path, std::string &text, std::string *why);

#endif

#ifndef SAFEFILE_H
#define SAFEFILE_H

// The one way the programs and tools write a file. The old file is replaced
// only once the new one has been written in full and put on disk, in one
// step, so a failed write never loses it and a write that succeeded survives
// a power cut. The new contents go into a file made beside the old one under
// an unpredictable name, created exclusively: nothing planted there, a link
// least of all, is ever written through. A symbolic link is followed and its
// target replaced; the file keeps its permission bits (and owner, where the
// user may keep them); a file the user may not write is refused, and so is
// a name that holds no regular file (a folder, a FIFO, a device), which is
// neither replaced nor opened. Once the new file is in place the write has
// succeeded.

#include <string>

// On failure errno holds the first reason found.
bool WriteFileSafely(const char *filename, const std::string &bytes);
// Why the last WriteFileSafely that failed did, in the words strerror uses.
std::string WriteFailureReason();

#endif

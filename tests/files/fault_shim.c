// SPDX-License-Identifier: GPL-3.0-or-later
// Faults for the file tests, preloaded into the command under test (LD_PRELOAD):
//   DOT11B_FAULT_KILL_AT_RENAME=N    the process kills itself (SIGKILL) instead of making its N-th rename
//   DOT11B_FAULT_DISK_FULL_AFTER=B   writes to regular files fail with ENOSPC once B bytes went to them
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <signal.h>
#include <stdatomic.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

// The build hides symbols unless told; these must replace the C library's.
#define INTERPOSED __attribute__((visibility("default")))

static long setting(const char* name) {
  const char* text = getenv(name);
  return text != NULL && *text != '\0' ? atol(text) : -1;
}

static atomic_long renames;
static atomic_long bytesWritten;

INTERPOSED int rename(const char* from, const char* to) {
  static int (*real)(const char*, const char*);
  if (real == NULL) real = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
  const long killAt = setting("DOT11B_FAULT_KILL_AT_RENAME");
  if (killAt > 0 && atomic_fetch_add(&renames, 1) + 1 == killAt) raise(SIGKILL);
  return real(from, to);
}

INTERPOSED ssize_t write(int fd, const void* data, size_t size) {
  static ssize_t (*real)(int, const void*, size_t);
  if (real == NULL) real = (ssize_t (*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
  const long limit = setting("DOT11B_FAULT_DISK_FULL_AFTER");
  struct stat s;
  if (limit < 0 || fstat(fd, &s) != 0 || !S_ISREG(s.st_mode)) return real(fd, data, size);
  const long room = limit - atomic_load(&bytesWritten);
  if (room <= 0) {
    errno = ENOSPC;
    return -1;
  }
  const ssize_t n = real(fd, data, (size_t)room < size ? (size_t)room : size);
  if (n > 0) atomic_fetch_add(&bytesWritten, n);
  return n;
}

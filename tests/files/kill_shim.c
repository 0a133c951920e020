// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded into the tool by the file tests (LD_PRELOAD): with DOT11B_KILL_AT_RENAME=N the process kills
// itself (SIGKILL) instead of making its N-th rename, as a kill between the renames of a save would.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>

static atomic_long renames;

__attribute__((visibility("default"))) int rename(const char* from, const char* to) {
  static int (*real)(const char*, const char*);
  if (real == NULL) real = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
  const char* text = getenv("DOT11B_KILL_AT_RENAME");
  const long killAt = text != NULL ? atol(text) : 0;
  if (killAt > 0 && atomic_fetch_add(&renames, 1) + 1 == killAt) raise(SIGKILL);
  return real(from, to);
}

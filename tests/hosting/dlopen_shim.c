/* SPDX-License-Identifier: GPL-3.0-or-later */
/* Preloaded into a host program: forwards every dlopen to the system's, as a sanitizer's interceptor or a
   tracing tool does. The system then searches a bare name through this shim's run path (it has none)
   instead of that of the library that asked. */
#define _GNU_SOURCE
#include <dlfcn.h>

__attribute__((visibility("default"))) void* dlopen(const char* file, int mode) {
  static void* (*real)(const char*, int);
  if (real == 0) real = (void* (*)(const char*, int))dlsym(RTLD_NEXT, "dlopen");
  return real(file, mode);
}

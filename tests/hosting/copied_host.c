/* SPDX-License-Identifier: GPL-3.0-or-later */
/* A host program as a test bench would be: it loads the library from the folder it was copied to, with
   dlopen and no library path, and pings the signal generator at 127.0.0.1:PORT through it.
   Usage: copied_host FOLDER PORT. Prints the instrument's identity; exit status 0 on success. */
#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

#include "dot11b/Dot11b_c_lib.h"

static void* library;

static void* entry(const char* name) {
  void* f = dlsym(library, name);
  if (f == NULL) fprintf(stderr, "copied_host: no %s in the library\n", name);
  return f;
}

#define ENTRY(name) __typeof__(&name) p_##name = (__typeof__(&name))entry(#name)

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: copied_host FOLDER PORT\n");
    return 2;
  }
  char path[4096], address[64];
  snprintf(path, sizeof path, "%s/libDot11b_c_lib.so", argv[1]);
  snprintf(address, sizeof address, "127.0.0.1:%s", argv[2]);
  library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (library == NULL) {
    fprintf(stderr, "copied_host: %s\n", dlerror());
    return 1;
  }
  ENTRY(Dot11b_c_libInitialize);
  ENTRY(Dot11b_c_libTerminate);
  ENTRY(dot11b_create_text);
  ENTRY(dot11b_field);
  ENTRY(dot11b_duplicate);
  ENTRY(dot11b_set_field);
  ENTRY(dot11b_get_global);
  ENTRY(dot11b_call);
  ENTRY(dot11b_real);
  ENTRY(dot11b_text);
  ENTRY(dot11b_free);
  ENTRY(dot11b_last_error);
  if (!p_Dot11b_c_libInitialize || !p_Dot11b_c_libTerminate || !p_dot11b_create_text || !p_dot11b_field || !p_dot11b_duplicate ||
      !p_dot11b_set_field || !p_dot11b_get_global || !p_dot11b_call || !p_dot11b_real || !p_dot11b_text ||
      !p_dot11b_free || !p_dot11b_last_error || p_Dot11b_c_libInitialize() != 1)
    return 1;

  /* The connection record of the start values, switched to TCP/IP at the simulator's address. */
  dot11b_array* initializer = p_dot11b_create_text("InitializeConfiguration");
  int status = p_dot11b_call("Dot11b_GUI_c", 0, NULL, 1, &initializer);
  dot11b_array* config = p_dot11b_get_global("configuration");
  dot11b_array* type = p_dot11b_create_text("TCPIP");
  dot11b_array* at = p_dot11b_create_text(address);
  const dot11b_array* start = config != NULL ? p_dot11b_field(config, "TCPIP") : NULL;
  dot11b_array* tcpip = start != NULL ? p_dot11b_duplicate(start) : NULL;
  if (status != 0 || tcpip == NULL || p_dot11b_set_field(tcpip, "address", at) != 0 ||
      p_dot11b_set_field(config, "TCPIP", tcpip) != 0 || p_dot11b_set_field(config, "type", type) != 0) {
    fprintf(stderr, "copied_host: %s\n", p_dot11b_last_error());
    return 1;
  }
  dot11b_array* reply[2] = {NULL, NULL};
  status = p_dot11b_call("HwPing", 2, reply, 1, &config);
  if (status != 0) {
    fprintf(stderr, "copied_host: %s\n", p_dot11b_last_error());
    return 1;
  }
  char identity[256];
  p_dot11b_text(reply[1], identity, sizeof identity);
  const double pingStatus = p_dot11b_real(reply[0])[0];
  printf("status %g: %s\n", pingStatus, identity);
  dot11b_array* owned[] = {initializer, config, type, at, tcpip, reply[0], reply[1]};
  for (size_t i = 0; i < sizeof owned / sizeof owned[0]; ++i) p_dot11b_free(owned[i]);
  p_Dot11b_c_libTerminate();
  return pingStatus == 0 ? 0 : 1;
}

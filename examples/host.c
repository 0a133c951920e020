/* SPDX-License-Identifier: GPL-3.0-or-later */
/* A host program of the exported C interface: initializes the library, projects the number of samples of
   the start-value frame with Dot11b_SizeEst, calls a routine with a variable result list and shows the
   arity error of the top entry. */
#include <stdio.h>

#include "dot11b/Dot11b_c_lib.h"

int main(void) {
  if (!Dot11b_c_libInitialize()) {
    fprintf(stderr, "cannot initialize: %s\n", dot11b_last_error());
    return 1;
  }

  /* Start values: framed, 1024 octets at 11 Mbit/s CCK, long preamble, idle 4400, linear ramp of 88
     samples, oversampling 4. */
  const double values[10] = {1, 1024 * 8, 11, 0, 1, 0, 4400, 1, 88, 4};
  dot11b_array* in[10];
  for (int i = 0; i < 10; ++i) in[i] = dot11b_create_scalar(values[i]);
  dot11b_array* size = mlfDot11b_SizeEst(in[0], in[1], in[2], in[3], in[4], in[5], in[6], in[7], in[8], in[9]);
  if (!size) {
    fprintf(stderr, "Dot11b_SizeEst failed: %s\n", dot11b_last_error());
    return 1;
  }
  printf("ProjectedLength: %.0f\n", dot11b_real(size)[0]);
  dot11b_free(size);

  /* A routine with a variable result list takes the number of results first, then its inputs up to a NULL. */
  dot11b_array* octal = dot11b_create_scalar(777);
  dot11b_array* decimal = mlfOct2dec(1, octal, NULL);
  if (!decimal) {
    fprintf(stderr, "Oct2dec failed: %s\n", dot11b_last_error());
    return 1;
  }
  printf("Oct2dec(777): %.0f\n", dot11b_real(decimal)[0]);
  dot11b_free(decimal);
  dot11b_free(octal);

  /* The top entry declares no inputs: one input stops with the run-time error. */
  dot11b_array* result[1] = {NULL};
  if (mlxDot11b_c(0, result, 1, in) != 0) printf("mlxDot11b_c with one input: %s\n", dot11b_last_error());

  for (int i = 0; i < 10; ++i) dot11b_free(in[i]);
  Dot11b_c_libTerminate();
  return 0;
}

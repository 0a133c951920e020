/* SPDX-License-Identifier: GPL-3.0-or-later */
/* A host program that opens the application window and runs until it is closed. With "--tour FOLDER" it
   instead walks through the windows by name, as a test script would: it opens each dialog, saves an image
   of it into FOLDER and closes it again, calculates and opens the spectrum, verifies the frame (printing
   the summary) and saves its mask plot, then leaves through File > Exit, which closes the plot windows too. */
#include <stdio.h>
#include <string.h>

#include "dot11b/Dot11b_c_lib.h"

static const char* tourFolder = NULL;

/* The handle of the first open object with this tag in the window (0 for any window). */
static double find(double window, const char* tag) {
  double h = 0;
  dot11b_array* t = dot11b_create_text(tag);
  if (window != 0) {
    dot11b_array* w = dot11b_create_scalar(window);
    dot11b_array* controls = mlfGuihandles(w);
    const dot11b_array* f = dot11b_field(controls, tag);
    if (f) h = dot11b_real(f)[0];
    dot11b_free(controls);
    dot11b_free(w);
  } else {
    dot11b_array* found = mlfFindobj(t);
    if (found && dot11b_cols(found) > 0) h = dot11b_real(found)[0];
    dot11b_free(found);
  }
  dot11b_free(t);
  return h;
}

static void invoke(double h) {
  dot11b_array* a = dot11b_create_scalar(h);
  if (mlfInvoke(a) != 0) fprintf(stderr, "Invoke: %s\n", dot11b_last_error());
  dot11b_free(a);
}

static void saveImage(double window, const char* name) {
  char path[1024];
  snprintf(path, sizeof path, "%s/%s.png", tourFolder, name);
  dot11b_array* w = dot11b_create_scalar(window);
  dot11b_array* file = dot11b_create_text(path);
  if (mlfSaveWindowImage(w, file) != 0) fprintf(stderr, "SaveWindowImage: %s\n", dot11b_last_error());
  else printf("%s\n", path);
  dot11b_free(file);
  dot11b_free(w);
}

/* A dialog waits for its answer: its image is saved and it is cancelled. */
static void onWait(void* context, double window) {
  (void)context;
  dot11b_array* w = dot11b_create_scalar(window);
  dot11b_array* controls = mlfGuihandles(w);
  const char* tag = dot11b_field_name(controls, 0);
  saveImage(window, tag);
  const double cancel = find(window, "pbCancel");
  invoke(cancel != 0 ? cancel : window);
  dot11b_free(controls);
  dot11b_free(w);
}

/* A message box is printed instead of waiting to be acknowledged. */
static dot11b_array* printMessage(void* context, const dot11b_dialog* dialog) {
  (void)context;
  printf("%s:\n%s\n", dialog->title, dialog->text);
  return NULL;
}

static int tour(void) {
  dot11b_set_wait_hook(onWait, NULL);
  saveImage(find(0, "main"), "main");
  invoke(find(0, "chkMACheader"));
  const char* openers[] = {"pbMACheaderSetup", "pbAdvancedSettings", "menuConfigSigGenIO", "menuConfigReceiverTest"};
  for (size_t i = 0; i < sizeof openers / sizeof openers[0]; ++i) invoke(find(0, openers[i]));
  invoke(find(0, "pbCalculate"));
  invoke(find(0, "menuPlotSpectrum"));
  saveImage(find(0, "VX_Spectrum"), "plotSpectrum");
  dot11b_set_dialog_hook(printMessage, NULL);
  invoke(find(0, "menuPlotVerify"));
  dot11b_set_dialog_hook(NULL, NULL);
  saveImage(find(0, "VX_Mask"), "plotMask");
  invoke(find(0, "menuHelpAbout"));
  saveImage(find(0, "figAbout"), "about");
  invoke(find(0, "figAbout"));
  invoke(find(0, "menuFileExit"));
  return dot11b_run_event_loop();
}

int main(int argc, char** argv) {
  if (argc == 3 && strcmp(argv[1], "--tour") == 0) tourFolder = argv[2];
  if (!Dot11b_c_libInitialize()) {
    fprintf(stderr, "cannot initialize: %s\n", dot11b_last_error());
    return 1;
  }
  int status = mlfDot11b_c() == 0 ? 0 : -1;
  if (status == 0) status = tourFolder ? tour() : dot11b_run_event_loop();
  if (status != 0) fprintf(stderr, "%s\n", dot11b_last_error());
  Dot11b_c_libTerminate();
  return status == 0 ? 0 : 1;
}

/* SPDX-License-Identifier: GPL-3.0-or-later */
/*
 * Dot11b_c_lib: IEEE 802.11b-1999 DSSS waveform generation library, C interface.
 *
 * Every routine of the library is exported in fixed calling forms:
 *
 *   mlf<Name>   Results 2..n are returned through pointers given first (each may be NULL when that result
 *               is not wanted), then come the inputs in declared order; the first result is the return
 *               value (NULL on failure). Trailing inputs given as NULL are left out, as a caller of the
 *               routine may leave out its optional inputs. Routines without results return 0 on success
 *               and -1 on failure. Routines with a variable input list take their inputs as a
 *               NULL-terminated list. Routines with a variable result list (those that also have mlfN)
 *               take (nargout, inputs..., NULL): nargout results are asked for and the first is returned
 *               (results 2..n through mlfN). They return NULL both on failure and when the call gave no
 *               result (nargout 0 for a routine called for its effects, or a dispatching call whose
 *               sub-routine failed and printed why); dot11b_last_error() is "" unless the call failed.
 *   mlx<Name>   (nlhs, plhs, nrhs, prhs): requested result count, room for max(nlhs, 1) results, input
 *               count, inputs. Returns 0 on success and -1 on failure; on success every slot of the room
 *               that received no result is NULL. With nlhs 0, plhs may be NULL: no result is kept.
 *   mlfN<Name>  (nargout, results, inputs..., NULL): writes nargout results into results[0..nargout-1] and
 *               returns results[0] (the same value, to be freed once).
 *   mlfV<Name>  (inputs..., NULL): calls for the effects only; returns 0 on success and -1 on failure.
 *
 * Inputs are borrowed; every result is a new array owned by the caller, released with dot11b_free.
 * No C++ exception crosses this interface: a call that stops with an error reports failure as above and
 * its message is kept for dot11b_last_error(). A call with more inputs or results than the routine
 * declares fails with the run-time error text that names the routine, its line and its declared count.
 */
#ifndef DOT11B_C_LIB_H
#define DOT11B_C_LIB_H

#include <stddef.h>

#if defined(_WIN32)
#define DOT11B_API __declspec(dllexport)
#else
#define DOT11B_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Library control ---------------------------------------------------------------------------------- */

/* Registers every routine and creates the nine globals empty. Returns 1 on success, 0 on failure. */
DOT11B_API int Dot11b_c_libInitialize(void);
DOT11B_API void Dot11b_c_libTerminate(void);

/* Text of the error that ended the last failed call on this thread (UTF-8); "" when there was none. */
DOT11B_API const char* dot11b_last_error(void);

/* ---- Array values ------------------------------------------------------------------------------------- */

typedef struct dot11b_array dot11b_array;

typedef enum dot11b_class { DOT11B_NUMERIC = 0, DOT11B_TEXT = 1, DOT11B_RECORD = 2, DOT11B_CELL = 3 } dot11b_class;

/* Numeric arrays hold column-major doubles; im may be NULL for a real array. NULL when rows x cols is too
   large. */
DOT11B_API dot11b_array* dot11b_create_scalar(double value);
DOT11B_API dot11b_array* dot11b_create_matrix(size_t rows, size_t cols, const double* re, const double* im);
/* Text from UTF-8; stored as 16-bit characters. NULL when the text is not valid UTF-8. */
DOT11B_API dot11b_array* dot11b_create_text(const char* utf8);
/* A record without fields; fields keep the order in which they are first set. */
DOT11B_API dot11b_array* dot11b_create_record(void);
/* A cell list of rows x cols empty arrays; NULL when rows x cols is too large. */
DOT11B_API dot11b_array* dot11b_create_cell(size_t rows, size_t cols);
DOT11B_API dot11b_array* dot11b_duplicate(const dot11b_array* a);
DOT11B_API void dot11b_free(dot11b_array* a);

/* The readers take a NULL handle as the empty 0x0 array. */
DOT11B_API dot11b_class dot11b_class_of(const dot11b_array* a);
DOT11B_API size_t dot11b_rows(const dot11b_array* a);
DOT11B_API size_t dot11b_cols(const dot11b_array* a);
DOT11B_API int dot11b_is_complex(const dot11b_array* a);
/* Column-major data of a numeric array (NULL for other classes; imag NULL for a real array). */
DOT11B_API const double* dot11b_real(const dot11b_array* a);
DOT11B_API const double* dot11b_imag(const dot11b_array* a);
/* Copies the text as UTF-8 with a terminating zero into buf (at most cap bytes); returns the bytes needed
   without the zero, or 0 when a is not text. */
DOT11B_API size_t dot11b_text(const dot11b_array* a, char* buf, size_t cap);

/* Records. The value is copied; returns 0 on success, -1 when a is not a record. */
DOT11B_API int dot11b_set_field(dot11b_array* record, const char* name, const dot11b_array* value);
DOT11B_API size_t dot11b_field_count(const dot11b_array* record);
/* Borrowed pointers, valid until the record changes or is freed; NULL when absent. */
DOT11B_API const char* dot11b_field_name(const dot11b_array* record, size_t index);
DOT11B_API const dot11b_array* dot11b_field(const dot11b_array* record, const char* name);

/* Cell lists (column-major index from 0). set copies the value; get returns a borrowed pointer. */
DOT11B_API int dot11b_set_cell(dot11b_array* cell, size_t index, const dot11b_array* value);
DOT11B_API const dot11b_array* dot11b_get_cell(const dot11b_array* cell, size_t index);

/* ---- Globals and calls by name ------------------------------------------------------------------------ */

/* A copy of one of the nine globals (parameters, SigGenSettings, configuration, appInfo, figureList,
   waveform, markers, MACheader, newSettings); NULL for another name or before initialization. */
DOT11B_API dot11b_array* dot11b_get_global(const char* name);
DOT11B_API int dot11b_set_global(const char* name, const dot11b_array* value);

/* Name of the index-th registered routine (from 0, in name order); NULL past the end. The text stays valid
   until the library is terminated. */
DOT11B_API const char* dot11b_routine_name(size_t index);

/* Declared input and result counts of a routine (-1: variable). Returns 0, or -1 for an unknown name. */
DOT11B_API int dot11b_routine_counts(const char* name, int* max_inputs, int* max_outputs);

/* Any routine by name, in the mlx form. */
DOT11B_API int dot11b_call(const char* name, int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* ---- Windows ------------------------------------------------------------------------------------------ */

/* The application window opens with mlfDot11b_c(). A host without a Qt application of its own gets one;
   without a display the call fails with a message (set QT_QPA_PLATFORM=offscreen to run invisibly).
   Runs the event loop until every window of the library has closed (returns at once when none is open).
   Returns 0, or -1 on failure. */
DOT11B_API int dot11b_run_event_loop(void);

/* Modal boxes and file dialogs, as a host's dialog hook sees them. */
typedef enum dot11b_dialog_kind {
  DOT11B_DIALOG_MESSAGE = 0,   /* a message to acknowledge; the answer is ignored */
  DOT11B_DIALOG_ERROR = 1,     /* an error message to acknowledge; the answer is ignored */
  DOT11B_DIALOG_QUESTION = 2,  /* answer: the text of the chosen button */
  DOT11B_DIALOG_INPUTS = 3,    /* answer: a cell list with one text per prompt */
  DOT11B_DIALOG_OPEN_FILE = 4, /* answer: the full name of the chosen file */
  DOT11B_DIALOG_SAVE_FILE = 5  /* answer: the full name of the chosen file */
} dot11b_dialog_kind;

typedef struct dot11b_dialog {
  dot11b_dialog_kind kind;
  const char* title;               /* UTF-8; for file dialogs the filter, such as "*.mat" */
  const char* text;                /* the message or question; "" for input and file dialogs */
  const char* const* items;        /* questions: the button texts; input dialogs: the prompts */
  const char* const* defaults;     /* input dialogs: the texts the fields start with */
  size_t item_count;
  const char* default_button;      /* questions: the default button's text */
} dot11b_dialog;

/* Answers a dialog: returns a new array (released by the library) or NULL for "closed without a choice".
   Everything the dialog points to is valid only during the call. */
typedef dot11b_array* (*dot11b_dialog_hook)(void* context, const dot11b_dialog* dialog);
/* Installs the hook through which every modal box and file dialog of the library goes from now on;
   NULL goes back to the library's own (the window's, or the console's without one). */
DOT11B_API void dot11b_set_dialog_hook(dot11b_dialog_hook hook, void* context);

/* Called with the window's handle when a dialog window (MAC header, connection, advanced settings) starts
   its modal wait, before it blocks: a host drives the dialog from here with Set and Invoke (a press of
   pbOK ends the wait). NULL removes it. */
typedef void (*dot11b_wait_hook)(void* context, double window);
DOT11B_API void dot11b_set_wait_hook(dot11b_wait_hook hook, void* context);

/* ---- 1 Application shell and settings ----------------------------------------------------------------- */

DOT11B_API int mlfDot11b_c(void);
DOT11B_API int mlxDot11b_c(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* Dispatching entry of the format module: a text first input names the sub-routine
   ("InitializeParameters", "InitializeSigGenSettings", "redraw", "Calculate", ...). */
DOT11B_API dot11b_array* mlfDot11b_GUI_c(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNDot11b_GUI_c(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVDot11b_GUI_c(dot11b_array* first_input, ...);
DOT11B_API int mlxDot11b_GUI_c(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* Dispatching entry of the application window module: a text first input names the sub-routine
   ("saveConfig", "loadConfig", "addFileExtention", "saveParameters", "loadParameters", "saveWaveform",
   "redrawAppTitle", "menuFileNew_Callback", "menuFileOpen_Callback", "menuFileSave_Callback",
   "menuFileSaveAs_Callback", ...). */
DOT11B_API dot11b_array* mlfRfCommonUI(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNRfCommonUI(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVRfCommonUI(dot11b_array* first_input, ...);
DOT11B_API int mlxRfCommonUI(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* Builds the menu bar in a window; returns the record File, Plot, Config, Special, Help of menu handles. */
DOT11B_API dot11b_array* mlfVX_AddMenu(dot11b_array* hFigure);
DOT11B_API int mlxVX_AddMenu(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* "03DEC2001 14:07:09" for a date-time vector (year, month, day, hour, minute, seconds). */
DOT11B_API dot11b_array* mlfClock2str(dot11b_array* clkVector);
DOT11B_API int mlxClock2str(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* 1 when the two records have the same fields in the same order with equal values, else 0. */
DOT11B_API dot11b_array* mlfCompareStruct(dot11b_array* a, dot11b_array* b);
DOT11B_API int mlxCompareStruct(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* ---- 2 802.11b baseband generation -------------------------------------------------------------------- */

DOT11B_API dot11b_array* mlfDot11b_SizeEst(dot11b_array* generationMode, dot11b_array* numberOfDATAbits,
                                           dot11b_array* DATArate, dot11b_array* highSpeedmod,
                                           dot11b_array* encoderActive, dot11b_array* preambleType,
                                           dot11b_array* idleSamples, dot11b_array* rampType,
                                           dot11b_array* rampLength, dot11b_array* OverSampling);
DOT11B_API int mlxDot11b_SizeEst(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* ---- 2 bit-level codes, PLCP, DSSS modulation, pulse shaping ------------------------------------------ */

/* PLCP preamble and header: bit vectors in transmission order. */
DOT11B_API dot11b_array* mlfDot11b_PREAMBLE(dot11b_array* preambleType);
DOT11B_API int mlxDot11b_PREAMBLE(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_HEADER(dot11b_array* numberOfBITS, dot11b_array* DATArate,
                                          dot11b_array* highRateMod, dot11b_array* locked);
DOT11B_API int mlxDot11b_HEADER(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_SIGNAL(dot11b_array* DATArate);
DOT11B_API int mlxDot11b_SIGNAL(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_SERVICE(dot11b_array* locked, dot11b_array* mod, dot11b_array* lenExt);
DOT11B_API int mlxDot11b_SERVICE(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_LENGTH(dot11b_array** lenExt, dot11b_array* numberOfBITS,
                                          dot11b_array* DATArate, dot11b_array* mod);
DOT11B_API int mlxDot11b_LENGTH(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfCCITT_CRC16(dot11b_array* input);
DOT11B_API int mlxCCITT_CRC16(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* Scramblers, shift registers and CRC-32. */
DOT11B_API dot11b_array* mlfDot11b_Scrambler(dot11b_array* scrambleActive, dot11b_array* preambleType,
                                             dot11b_array* frame);
DOT11B_API int mlxDot11b_Scrambler(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfScrambler_7bit_741(dot11b_array* input, dot11b_array* initState);
DOT11B_API int mlxScrambler_7bit_741(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfLfsr(dot11b_array* order, dot11b_array* taps, dot11b_array* m, dot11b_array* seed);
DOT11B_API int mlxLfsr(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfLfsrChecksum(dot11b_array* taps, dot11b_array* initalstate, dot11b_array* data);
DOT11B_API int mlxLfsrChecksum(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfCCITT_CRC32(dot11b_array* input);
DOT11B_API int mlxCCITT_CRC32(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* Differential PSK and Barker spreading; the rate-level routines also give the last symbol phasor. */
DOT11B_API dot11b_array* mlfDot11b_DBPSK(dot11b_array* data, dot11b_array* initialVector);
DOT11B_API int mlxDot11b_DBPSK(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_DQPSK(dot11b_array* data, dot11b_array* initialVector);
DOT11B_API int mlxDot11b_DQPSK(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_BarkerSpread(dot11b_array* signal);
DOT11B_API int mlxDot11b_BarkerSpread(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_1Mbps(dot11b_array** lastPhase, dot11b_array* DATAbits,
                                         dot11b_array* intialPhase);
DOT11B_API int mlxDot11b_1Mbps(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_2Mbps(dot11b_array** lastPhase, dot11b_array* DATAbits,
                                         dot11b_array* intialPhase);
DOT11B_API int mlxDot11b_2Mbps(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* Pulse shaping, resampling and DAC resolution. */
DOT11B_API dot11b_array* mlfFilter_RootCosine(dot11b_array* num_taps, dot11b_array* alpha,
                                              dot11b_array* samp_per_symb);
DOT11B_API int mlxFilter_RootCosine(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfFilter_gaussian(dot11b_array* numCoeff, dot11b_array* bT,
                                            dot11b_array* oversamplingRate);
DOT11B_API int mlxFilter_gaussian(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfUpsample(dot11b_array* x, dot11b_array* n);
DOT11B_API int mlxUpsample(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfExtendvector(dot11b_array* data, dot11b_array* reqLength);
DOT11B_API int mlxExtendvector(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfApplyDacRes(dot11b_array* wave, dot11b_array* numBits);
DOT11B_API int mlxApplyDacRes(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* Bit and hexadecimal conversions (subsystem 3). BitVector takes x, then optionally minSize and
   orientation, as a NULL-terminated list. */
DOT11B_API dot11b_array* mlfBitVector(dot11b_array* x, ...);
DOT11B_API int mlxBitVector(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfHexString(dot11b_array* num, dot11b_array* size);
DOT11B_API int mlxHexString(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* ---- 2 CCK, PBCC and the frame generator -------------------------------------------------------------- */

/* CCK at 5.5 and 11 Mbit/s: 8 chips per symbol; only the angle of initialPhase is used. */
DOT11B_API dot11b_array* mlfDot11b_CCK(dot11b_array* DATAbits, dot11b_array* DATArate, dot11b_array* initialPhase);
DOT11B_API int mlxDot11b_CCK(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_CCK5(dot11b_array* data, dot11b_array* initialPhase);
DOT11B_API int mlxDot11b_CCK5(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_CCK11(dot11b_array* data, dot11b_array* initialPhase);
DOT11B_API int mlxDot11b_CCK11(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* Accumulated phi1 angles in radians; initialPhase is an angle here. */
DOT11B_API dot11b_array* mlfDot11b_CCK_DQPSK(dot11b_array* d0, dot11b_array* d1, dot11b_array* initialPhase);
DOT11B_API int mlxDot11b_CCK_DQPSK(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_CCKcodeword(dot11b_array* phi1, dot11b_array* phi2, dot11b_array* phi3,
                                               dot11b_array* phi4);
DOT11B_API int mlxDot11b_CCKcodeword(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* PBCC at 5.5 (BPSK) and 11 Mbit/s (QPSK), every symbol referred to initialPhase; rate-1/2 coder. */
DOT11B_API dot11b_array* mlfDot11b_PBCC(dot11b_array* DATAbits, dot11b_array* DATArate,
                                        dot11b_array* encoderActive, dot11b_array* initialPhase);
DOT11B_API int mlxDot11b_PBCC(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfConvolEncoder(dot11b_array* dataIn, dot11b_array* k, dot11b_array* g0,
                                          dot11b_array* g1);
DOT11B_API int mlxConvolEncoder(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* The complete frame: waveform (complex row) and events (2 x length(waveform) marker rows). */
DOT11B_API dot11b_array* mlfDot11b_FRAME(dot11b_array** events, dot11b_array* DATAbits, dot11b_array* DATArate,
                                         dot11b_array* highRateMod, dot11b_array* preambleType,
                                         dot11b_array* locked, dot11b_array* scramblerActive,
                                         dot11b_array* encoderActive, dot11b_array* generationMode,
                                         dot11b_array* idleSamples, dot11b_array* rampType,
                                         dot11b_array* rampLength, dot11b_array* oversamplingRate,
                                         dot11b_array* filterType, dot11b_array* filterFactor,
                                         dot11b_array* filterTaps, dot11b_array* MirrorSpectrum);
DOT11B_API int mlxDot11b_FRAME(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* Frames one after another: sequence is a record of optional fields: frames (1), payload ('continue' or
   'repeat'), template ('beacon', 'probe-response', 'data', 'null', 'ack', 'cts', 'rts') with ssid, bssid,
   ra, ta (texts such as '00:11:22:33:44:55'), beaconInterval (TU) and channel. Results: the waveform, the
   2 x L events, and the parameters with the template put in. */
DOT11B_API dot11b_array* mlfDot11b_Sequence(dot11b_array** events, dot11b_array** parametersOut,
                                            dot11b_array* parameters, dot11b_array* sequence);
DOT11B_API int mlxDot11b_Sequence(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* The samples and markers of Dot11b_Sequence(parameters, sequence) (sequence may be NULL: one frame) written
   straight into the caller's buffers: samples as interleaved I, Q doubles (2 x capacity doubles), markers
   (may be NULL) as bytes 0/1, row 1 then row 2 (2 x capacity bytes). Returns the number of samples, or -1
   on failure (capacity too small included; see dot11b_last_error). Dot11b_SequenceLength gives the count. */
DOT11B_API long long dot11b_generate(const dot11b_array* parameters, const dot11b_array* sequence, double* samples,
                                     unsigned char* markers, size_t capacity);
/* The number of samples Dot11b_Sequence gives for the same inputs, without making them. */
DOT11B_API dot11b_array* mlfDot11b_SequenceLength(dot11b_array* parameters, dot11b_array* sequence);
DOT11B_API int mlxDot11b_SequenceLength(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* The waveform as a receiver meets it: impairments is a record of optional fields snrDb, cfoHz, phaseDeg,
   clockPpm, iqGainDb, iqSkewDeg, dc (complex), multipathNs and seed; frameMask (events row 2) marks the
   frame samples whose mean power the SNR refers to (in the 11 MHz chip bandwidth). */
DOT11B_API dot11b_array* mlfDot11b_Impair(dot11b_array* waveform, dot11b_array* sampleRate,
                                          dot11b_array* impairments, dot11b_array* frameMask);
DOT11B_API int mlxDot11b_Impair(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* The wanted frames of Dot11b_Sequence(parameters, sequence) with other signals, as dot11b compose makes
   them: composition is a record of optional fields interferers (a cell list of records with parameters,
   sequence, offsetHz, levelDb and startSeconds), cwHz, cwDb, noiseDb, sampleRate and seed; or test
   ("sensitivity", "max-input", "adjacent-channel", "cca") with rateMbps, frames, channelSpacingHz and levelDbm
   for a receiver test. Results: the samples, the 2 x N markers of the wanted frames, and a record of
   sampleRate, generatorLevelDb and, for a test, receiverTest and amplitudeDbm. */
DOT11B_API dot11b_array* mlfDot11b_Compose(dot11b_array** markers, dot11b_array** report, dot11b_array* parameters,
                                           dot11b_array* sequence, dot11b_array* composition);
DOT11B_API int mlxDot11b_Compose(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* What scripts use. Dot11b_SetFields: each dotted field of the cell list fields (such as "MACheader.Active")
   set to its value (a number, or a text: "0x..." for MAC header contents) by the rules of dot11b --set, then
   the record checked and its lengths derived. Dot11b_LoadParameters and Dot11b_SaveParameters read and write
   parameter files as File Open and File Save do. Dot11b_Verify: what the built-in receiver finds, as the JSON
   text of dot11b verify --json; Dot11b_VerifyPcap the same, each frame also written to the pcapng file
   filename (link type 127, radiotap) for Wireshark. Dot11b_InstrumentConfiguration: the connection record of an address
   such as "tcpip:HOST:PORT", "gpib:BOARD:PRIMARY" or "serial:PORT:BAUD". */
DOT11B_API dot11b_array* mlfDot11b_SetFields(dot11b_array* parameters, dot11b_array* fields, dot11b_array* values);
DOT11B_API int mlxDot11b_SetFields(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_LoadParameters(dot11b_array* filename);
DOT11B_API int mlxDot11b_LoadParameters(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API int mlfDot11b_SaveParameters(dot11b_array* filename, dot11b_array* parameters);
DOT11B_API int mlxDot11b_SaveParameters(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_Verify(dot11b_array* waveform, dot11b_array* sampleRate, dot11b_array* carrierHz);
DOT11B_API int mlxDot11b_Verify(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_VerifyPcap(dot11b_array* waveform, dot11b_array* sampleRate, dot11b_array* carrierHz,
                                              dot11b_array* filename);
DOT11B_API int mlxDot11b_VerifyPcap(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_InstrumentConfiguration(dot11b_array* uri);
DOT11B_API int mlxDot11b_InstrumentConfiguration(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* Software-defined radios through SoapySDR, in the module libDot11b_radio.so beside the library (opened by
   the first call of one of these). Dot11b_Devices(device): the radios found whose arguments match device
   ("driver=hackrf"; NULL for all), a 1 x N cell of records {driver, label, serial, args}.
   Dot11b_Transmit(waveform, sampleRate, radio) sends the waveform as dot11b transmit does; radio is a record
   {device, frequency [Hz], and optionally gain [dB], antenna, rate [Hz] (else chosen for the waveform's
   rate, which is resampled to it), backoff [dB below full scale, 1], repeat [1], gap [s, 0]}; it returns
   {rate, samples, sends, underflows}. Dot11b_Capture(radio) receives radio.duration seconds at radio.rate
   (both required: a rate of at least 11e6 Hz, a duration of at least one frame) and returns the samples as
   a complex row, second the overflows and third the sample (from 0) at which each segment starts: samples
   were lost before every segment but the first. A radio not found, a setting it refuses or a stream that
   fails is an error with the radio's own message and the number of samples that went out or came before. */
DOT11B_API dot11b_array* mlfDot11b_Devices(dot11b_array* device);
DOT11B_API int mlxDot11b_Devices(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_Transmit(dot11b_array* waveform, dot11b_array* sampleRate, dot11b_array* radio);
DOT11B_API int mlxDot11b_Transmit(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_Capture(dot11b_array** overflows, dot11b_array** segments, dot11b_array* radio);
DOT11B_API int mlxDot11b_Capture(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* A radio as the signal generator. HwDownload, ZELDownLoadWrap, ZELPlay and ZELPlay_c take a connection
   record of type "SOAPY" (Dot11b_InstrumentConfiguration("soapy:driver=...")) with the sub-record SOAPY
   {args, antenna, channel, offset [dB]}: the download keeps the waveform, the playback routine plays it in
   a loop in the background at setting.Frequency with the gain setting.Amplitude - offset, silent while
   setting.RFOutput is 0, and called again changes those without a gap. The loop plays until
   Dot11b_RadioStop(reason), another download, a failure of the radio or the end of the process;
   Dot11b_RadioStatus() is a record {radio, frequency, rate, gain, underflows, samples, rfOn, playing,
   stopped, failed, reason}. The library's instrument routines call the others with the SOAPY sub-record. */
DOT11B_API dot11b_array* mlfDot11b_RadioLoad(dot11b_array** description, dot11b_array* radio, dot11b_array* iqData);
DOT11B_API int mlxDot11b_RadioLoad(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_RadioPlay(dot11b_array** description, dot11b_array* radio, dot11b_array* setting);
DOT11B_API int mlxDot11b_RadioPlay(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_RadioStatus(void);
DOT11B_API int mlxDot11b_RadioStatus(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_RadioStop(dot11b_array* reason);
DOT11B_API int mlxDot11b_RadioStop(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11b_RadioFind(dot11b_array** description, dot11b_array* radio);
DOT11B_API int mlxDot11b_RadioFind(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* ---- 3 Payload and MAC framing ------------------------------------------------------------------------ */

/* The PSDU bits of a parameters record: MAC header (optional), payload, FCS (optional). */
DOT11B_API dot11b_array* mlfDot11_GeneratePayload(dot11b_array* parameters);
DOT11B_API int mlxDot11_GeneratePayload(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* Every input is optional: trailing inputs given as NULL take their defaults. */
DOT11B_API dot11b_array* mlfPNgenerator(dot11b_array* n, dot11b_array* dataLength, dot11b_array* userInvert,
                                        dot11b_array* seed, dot11b_array* zeroSuppresion);
DOT11B_API int mlxPNgenerator(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfDot11_CalcMACfcs(dot11b_array* data);
DOT11B_API int mlxDot11_CalcMACfcs(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* The MAC header dialog: (fig [, record]) shows it modally and gives answer ("OK"/"Cancel") and the
   record; a text first input runs the dialog routine of that name. */
DOT11B_API dot11b_array* mlfDot11_MACconfig(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNDot11_MACconfig(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVDot11_MACconfig(dot11b_array* first_input, ...);
DOT11B_API int mlxDot11_MACconfig(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* ---- 4 Signal generator link -------------------------------------------------------------------------- */

/* The 16-bit waveform file: v, then optionally filename (default "ZEL-C") and scale (0.00001 to 1), as a
   NULL-terminated list. Returns 1 when the whole file was written, else 0. */
DOT11B_API dot11b_array* mlfSaveFlarevaneWaveform(dot11b_array* v, ...);
DOT11B_API int mlxSaveFlarevaneWaveform(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* Instrument command layer. Every bus operation returns status (0 success) and response; the
   connection record is configuration (type, GPIB, RS232, TCPIP). Formatconfig gives the record with
   its addresses and rates as 32-bit integers. InstrIO passes its inputs to the instrument I/O module
   (operation code, record, the operation's arguments). */
DOT11B_API dot11b_array* mlfFormatconfig(dot11b_array* config_in);
DOT11B_API int mlxFormatconfig(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfInstrIO(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNInstrIO(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVInstrIO(dot11b_array* first_input, ...);
DOT11B_API int mlxInstrIO(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfHwPing(dot11b_array** response, dot11b_array* config);
DOT11B_API int mlxHwPing(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfHwSend(dot11b_array** response, dot11b_array* config, dot11b_array* command);
DOT11B_API int mlxHwSend(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfHwQuery(dot11b_array** response, dot11b_array* config, dot11b_array* query);
DOT11B_API int mlxHwQuery(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfHwDownload(dot11b_array** response, dot11b_array* config, dot11b_array* data,
                                       dot11b_array* markers, dot11b_array* normalization, dot11b_array* scale,
                                       dot11b_array* filename);
DOT11B_API int mlxHwDownload(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfHwReturnLocal(dot11b_array** response, dot11b_array* config);
DOT11B_API int mlxHwReturnLocal(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfVerifyComm(dot11b_array** description, dot11b_array* config);
DOT11B_API int mlxVerifyComm(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* Waveform download and playback set-up; status (0 success) and description. ZELDownLoadWrap asks
   before an RS-232 transfer estimated above 0.75 minutes. ZELPlay_c sends the 15 set-up commands of the
   Q6200T generation, ZELPlay the 11 of the other platforms; both send every command and report the
   first that failed. A title holding a double quote or a control character is refused unsent. */
DOT11B_API dot11b_array* mlfZELDownLoadWrap(dot11b_array** description, dot11b_array* IQData, dot11b_array* Marker,
                                            dot11b_array* Filename, dot11b_array* config);
DOT11B_API int mlxZELDownLoadWrap(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfZELPlay(dot11b_array** description, dot11b_array* FileName, dot11b_array* setting,
                                    dot11b_array* config);
DOT11B_API int mlxZELPlay(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfZELPlay_c(dot11b_array** description, dot11b_array* FileName, dot11b_array* setting,
                                      dot11b_array* config);
DOT11B_API int mlxZELPlay_c(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* The connection dialog (parent, configuration, platform) gives response and the record; the signal
   generator section of the main window; the advanced settings dialog (fig [, settings]) gives answer and
   the settings. A text first input runs the operation of that name. */
DOT11B_API dot11b_array* mlfVX_SigGen(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNVX_SigGen(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVVX_SigGen(dot11b_array* first_input, ...);
DOT11B_API int mlxVX_SigGen(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfZELconfig_c(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNZELconfig_c(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVZELconfig_c(dot11b_array* first_input, ...);
DOT11B_API int mlxZELconfig_c(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfZelConfigAdv_c(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNZelConfigAdv_c(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVZelConfigAdv_c(dot11b_array* first_input, ...);
DOT11B_API int mlxZelConfigAdv_c(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* ---- 6 Figure and window utilities -------------------------------------------------------------------- */

/* Handles are numbers: windows, controls and menu items of the open windows; 0 is the screen. */
DOT11B_API dot11b_array* mlfVX_Splash(void);
DOT11B_API int mlxVX_Splash(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* (parent, appInfo): the About window; gives its handle. */
DOT11B_API dot11b_array* mlfVX_About(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNVX_About(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlxVX_About(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* (h) gives the application data of h's window (its control record); (h, data) sets it. */
DOT11B_API dot11b_array* mlfGuidata(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNGuidata(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVGuidata(dot11b_array* first_input, ...);
DOT11B_API int mlxGuidata(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* The record tag -> handle of every tagged control and menu item of h's window. */
DOT11B_API dot11b_array* mlfGuihandles(dot11b_array* h);
DOT11B_API int mlxGuihandles(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* (name [, parent]): opens a layout hidden, keeps its control record and centres it on the parent. */
DOT11B_API dot11b_array* mlfLoadFigure(dot11b_array* figureName, dot11b_array* hParent);
DOT11B_API int mlxLoadFigure(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* Opens a layout and shows it. */
DOT11B_API dot11b_array* mlfOpenfig(dot11b_array* figureName);
DOT11B_API int mlxOpenfig(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* (h [, position]): "center", "north", "southwest", ... or "onscreen" (the default). */
DOT11B_API int mlfMovegui(dot11b_array* h, dot11b_array* position);
DOT11B_API int mlxMovegui(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API int mlfPositionChildWindow(dot11b_array* hChild, dot11b_array* hParent);
DOT11B_API int mlxPositionChildWindow(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* (h [, factor]): every font of the window at factor x the application's size (default 1). */
DOT11B_API int mlfResizeAllFonts(dot11b_array* hFigure, dot11b_array* factor);
DOT11B_API int mlxResizeAllFonts(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfNum2Str(dot11b_array* x, dot11b_array* precision);
DOT11B_API int mlxNum2Str(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfIsvarname(dot11b_array* s);
DOT11B_API int mlxIsvarname(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* (s) 1 for a keyword; without input the keywords as a cell list. */
DOT11B_API dot11b_array* mlfIskeyword(dot11b_array* s);
DOT11B_API int mlxIskeyword(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* An image file as its red, green and blue planes (8-bit); Readjpg and Rjpgc read JPEG files only. */
DOT11B_API dot11b_array* mlfImread(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNImread(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVImread(dot11b_array* first_input, ...);
DOT11B_API int mlxImread(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfReadjpg(dot11b_array* filename);
DOT11B_API int mlxReadjpg(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfRjpgc(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNRjpgc(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVRjpgc(dot11b_array* first_input, ...);
DOT11B_API int mlxRjpgc(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* Numbers written with octal digits (777), or a text of them, as decimal numbers (511). */
DOT11B_API dot11b_array* mlfOct2dec(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNOct2dec(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVOct2dec(dot11b_array* first_input, ...);
DOT11B_API int mlxOct2dec(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* Driving the windows by name: a property of a handle (Value, String, Enable, Visible, TooltipString,
   Tag, Position, Units, Pointer, Checked, Label, Callback, CloseRequestFcn, Name, Parent, Children);
   setting one; acting on a control as the user does (choosing the entry its list shows, clicking it,
   finishing its edit, picking the menu item, or closing the window), which runs its callback; the
   handles of the open objects with a tag. */
DOT11B_API dot11b_array* mlfGet(dot11b_array* h, dot11b_array* property);
DOT11B_API int mlxGet(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API int mlfSet(dot11b_array* h, dot11b_array* property, dot11b_array* value);
DOT11B_API int mlxSet(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API int mlfInvoke(dot11b_array* h);
DOT11B_API int mlxInvoke(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfFindobj(dot11b_array* tag);
DOT11B_API int mlxFindobj(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* (h, filename): the image of h's window as drawn now; the format follows the extension (.png). */
DOT11B_API int mlfSaveWindowImage(dot11b_array* h, dot11b_array* filename);
DOT11B_API int mlxSaveWindowImage(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* Lets `seconds` pass with the windows drawn and responsive (a download's progress dialog, "figProgress"
   with its button "pbCancel", is driven from the wait hook with it). */
DOT11B_API int mlfPause(dot11b_array* seconds);
DOT11B_API int mlxPause(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

/* Signal plots. Each view opens a plot window beside hParent (0: on the screen) and returns its handle;
   the eye, scatter and waterfall views return an empty array when they could not draw, after an error box
   titled "Plot Error". The samples are a complex row; an empty one draws each view's test data. */
DOT11B_API dot11b_array* mlfVX_PlotCCDF(dot11b_array* hParent, dot11b_array* title, dot11b_array* iqWave);
DOT11B_API int mlxVX_PlotCCDF(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfVX_PlotSpectrum(dot11b_array* hParent, dot11b_array* title, dot11b_array* sampleRate,
                                            dot11b_array* iqWave);
DOT11B_API int mlxVX_PlotSpectrum(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* overlay 0: I and Q on two axes; 1: on one. */
DOT11B_API dot11b_array* mlfVX_PlotIQTime(dot11b_array* hParent, dot11b_array* title, dot11b_array* sampleRate,
                                          dot11b_array* overlay, dot11b_array* iqWave);
DOT11B_API int mlxVX_PlotIQTime(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* n samples a trace spanning period seconds, starting offset samples in. */
DOT11B_API dot11b_array* mlfVX_PlotEyeDiagram(dot11b_array* hParent, dot11b_array* title, dot11b_array* iqWave,
                                              dot11b_array* n, dot11b_array* period, dot11b_array* offset);
DOT11B_API int mlxVX_PlotEyeDiagram(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* Every n-th sample from offset; traceOn 1 also joins every sample by a line. */
DOT11B_API dot11b_array* mlfVX_PlotScatterDiagram(dot11b_array* hParent, dot11b_array* title, dot11b_array* iqWave,
                                                  dot11b_array* n, dot11b_array* offset, dot11b_array* traceOn);
DOT11B_API int mlxVX_PlotScatterDiagram(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* The spectrum of successive slices of timeSlice seconds as a colour map in dB. */
DOT11B_API dot11b_array* mlfVX_PlotWaterfall(dot11b_array* hParent, dot11b_array* title, dot11b_array* sampleRate,
                                             dot11b_array* timeSlice, dot11b_array* iqWave);
DOT11B_API int mlxVX_PlotWaterfall(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* A frame's spectrum against the transmit mask: frequency in Hz off the carrier, dbr relative to the
   spectrum's peak, limit in dBr at each frequency (NaN: none); regions from the carrier out as the columns
   of a 2-row matrix, each [limit; margin] (margin NaN: not measured). */
DOT11B_API dot11b_array* mlfVX_PlotMask(dot11b_array* hParent, dot11b_array* title, dot11b_array* frequency,
                                        dot11b_array* dbr, dot11b_array* limit, dot11b_array* regions);
DOT11B_API int mlxVX_PlotMask(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* Packet error rate against SNR: snr a row, per one row per rate (a cell list of names), frames a point. */
DOT11B_API dot11b_array* mlfVX_PlotPER(dot11b_array* hParent, dot11b_array* title, dot11b_array* snr, dot11b_array* per,
                                       dot11b_array* names, dot11b_array* frames);
DOT11B_API int mlxVX_PlotPER(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* The general drawing routines: (x, n [, period [, offset]]); (x [, n [, offset [, plotstring [, h]]]]),
   plotstring such as "b." or "c-", into window h when given; (x, sampleRate, timeSlice). Each returns its
   window's handle. */
DOT11B_API dot11b_array* mlfEyediagram(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNEyediagram(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVEyediagram(dot11b_array* first_input, ...);
DOT11B_API int mlxEyediagram(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfScatterplot(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNScatterplot(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVScatterplot(dot11b_array* first_input, ...);
DOT11B_API int mlxScatterplot(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfWaterfall(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNWaterfall(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVWaterfall(dot11b_array* first_input, ...);
DOT11B_API int mlxWaterfall(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* The Tools menu's Zoom and Rotate switches of a plot window (NULL: the current one). */
DOT11B_API int mlfVX_Zoom(dot11b_array* hFigure);
DOT11B_API int mlxVX_Zoom(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API int mlfVX_Rotate(dot11b_array* hFigure);
DOT11B_API int mlxVX_Rotate(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* (m, n, p): the axes in cell p of an m x n grid of the current plot window, made current; their handle.
   Title, Xlabel, Ylabel: (text) for the current axes or (axes, text). Clf ([hFigure]) removes the axes. */
DOT11B_API dot11b_array* mlfSubplot(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNSubplot(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVSubplot(dot11b_array* first_input, ...);
DOT11B_API int mlxSubplot(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfTitle(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNTitle(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVTitle(dot11b_array* first_input, ...);
DOT11B_API int mlxTitle(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfXlabel(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNXlabel(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVXlabel(dot11b_array* first_input, ...);
DOT11B_API int mlxXlabel(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfYlabel(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNYlabel(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVYlabel(dot11b_array* first_input, ...);
DOT11B_API int mlxYlabel(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
DOT11B_API dot11b_array* mlfClf(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNClf(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVClf(dot11b_array* first_input, ...);
DOT11B_API int mlxClf(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* (h, filename [, width, height]): the plot of h's window as .png or .pdf, or all its data as .csv. */
DOT11B_API int mlfVX_ExportPlot(dot11b_array* hFigure, dot11b_array* filename, dot11b_array* width,
                                dot11b_array* height);
DOT11B_API int mlxVX_ExportPlot(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);
/* The plot windows' menu commands by name: Print, Export, Close, Copy, Zoom, Rotate, ZoomReset. */
DOT11B_API dot11b_array* mlfVX_PlotWindow(int nargout, dot11b_array* first_input, ...);
DOT11B_API dot11b_array* mlfNVX_PlotWindow(int nargout, dot11b_array* results[], dot11b_array* first_input, ...);
DOT11B_API int mlfVVX_PlotWindow(dot11b_array* first_input, ...);
DOT11B_API int mlxVX_PlotWindow(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

#ifdef __cplusplus
}
#endif

#endif /* DOT11B_C_LIB_H */

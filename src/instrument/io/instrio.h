/* SPDX-License-Identifier: GPL-3.0-or-later */
/*
 * instrIO: the instrument I/O module.
 *
 * A shared library (libinstrIO.so) that the application loads by name at first use. It has one
 * entry, instrio_execute, which opens the connection described by an instrio_connection, runs one
 * operation on the signal generator, closes the connection and reports a status and a text.
 * Nothing is kept between calls except the loaded GPIB driver library. No C++ exception leaves
 * the entry: every failure is a non-zero status with a text that names the address and what failed.
 *
 * Buses:
 *   "TCPIP"  SCPI socket to tcpip_address, written "host", "host:port", "[ipv6]:port" or a bare
 *            IPv6 address (default port 5025).
 *   "RS232"  serial port rs232_port: port n is /dev/ttyS<n-1>, unless the environment variable
 *            DOT11B_SERIAL_PORT<n> names another device. 8 data bits, no parity, 1 stop bit.
 *   "GPIB"   through the linux-gpib driver library libgpib.so.0, loaded at run time (the
 *            environment variable DOT11B_GPIB_LIBRARY names another file).
 * Every command is terminated by a line feed ("\n"); replies end with a line feed.
 *
 * Time-outs: connecting, every write and every read wait at most the base time-out, 10000 ms
 * unless the environment variable DOT11B_INSTRIO_TIMEOUT_MS gives another positive number of
 * milliseconds. Waveform blocks get the base time-out plus the time their size needs at the
 * slowest transfer rate expected on the bus (see transfer_timeouts.h).
 */
#ifndef DOT11B_INSTRIO_H
#define DOT11B_INSTRIO_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(INSTRIO_BUILDING_MODULE)
#define INSTRIO_EXPORT __attribute__((visibility("default")))
#else
#define INSTRIO_EXPORT
#endif

/* Version of the structures below; instrio_connection.abi_version must hold it. */
#define INSTRIO_ABI_VERSION 2

/* Name the loader looks for and the entry it resolves. */
#define INSTRIO_MODULE_FILE "libinstrIO.so"
#define INSTRIO_ENTRY_NAME "instrio_execute"

/* Operation codes. */
enum instrio_operation {
    INSTRIO_PING = 1,         /* *IDN?; the reply is the response text */
    INSTRIO_SEND = 2,         /* one command; then :SYSTem:ERRor? checks it */
    INSTRIO_QUERY = 3,        /* one query; the reply is the response text */
    INSTRIO_DOWNLOAD = 4,     /* waveform and markers into waveform memory; then :SYSTem:ERRor? */
    INSTRIO_RETURN_LOCAL = 5  /* GPIB: go to local; socket and serial: :SYSTem:LOCal */
};

/* Status values. 0 is success; callers need test nothing else. */
enum instrio_status {
    INSTRIO_OK = 0,
    INSTRIO_BAD_ARGUMENT = 1,     /* refused before anything was sent */
    INSTRIO_CONNECT_FAILED = 2,   /* the connection could not be opened */
    INSTRIO_TIMED_OUT = 3,        /* a write or a read did not finish in time */
    INSTRIO_CONNECTION_LOST = 4,  /* the instrument closed or broke the connection */
    INSTRIO_BUS_ERROR = 5,        /* any other failure of the bus */
    INSTRIO_INSTRUMENT_ERROR = 6, /* the instrument reported an error; the text is its reply */
    INSTRIO_NO_DRIVER = 7,        /* the GPIB driver library is not installed */
    INSTRIO_INTERNAL_ERROR = 8,   /* a fault inside the module (e.g. out of memory) */
    INSTRIO_CANCELLED = 9         /* the caller's progress callback stopped the transfer */
};

/* The connection record, fields as the application's configuration holds them. */
typedef struct instrio_connection {
    int32_t abi_version;         /* INSTRIO_ABI_VERSION */
    const char* type;            /* "GPIB", "RS232" or "TCPIP" (letter case ignored) */
    int32_t gpib_board;          /* GPIB interface board number, 0..15 */
    int32_t gpib_primary;        /* primary address, 0..30 */
    int32_t gpib_secondary;      /* secondary address 0..30, or -1 for none */
    int32_t rs232_port;          /* serial port number, 1 or more */
    int32_t rs232_baudrate;      /* baud rate, bit/s */
    const char* rs232_handshake; /* "None", "Xon/Xoff" or "RTS/CTS" (letter case ignored) */
    int32_t tcpip_board;         /* LAN interface board number (only 0 is used) */
    const char* tcpip_address;   /* "host", "host:port", "[ipv6]:port" or a bare IPv6 address */
} instrio_connection;

/* Reports a transfer's progress: done of total bytes. A non-zero return cancels the transfer. */
typedef int32_t (*instrio_progress_fn)(void* context, uint64_t done, uint64_t total);

/* Arguments of one operation; fields an operation does not use are ignored. */
typedef struct instrio_arguments {
    /* INSTRIO_SEND and INSTRIO_QUERY: the command text without terminator. Refused when it holds
       a control character (line breaks included) or an unterminated quoted string. */
    const char* text;

    /* INSTRIO_DOWNLOAD: sample_count samples, I and Q in separate arrays (unscaled doubles),
       and the two marker rows (one byte per sample, non-zero = marker set; NULL = all clear). */
    const double* i_samples;
    const double* q_samples;
    size_t sample_count;
    const uint8_t* marker1;
    const uint8_t* marker2;
    /* Name of the waveform in the instrument's memory; refused when empty or when it holds a
       double quote or a control character. */
    const char* title;
    /* Scaling: "norm" sets the largest I or Q magnitude to `scale` x 32766; scale is limited to
       0.00001..1. */
    const char* normalization;
    double scale;
    /* INSTRIO_DOWNLOAD: called with the bytes of both blocks sent so far, at least every 100 ms while
       the blocks are written (also while the bus is stalled), and once they are all written; NULL for
       none. When it returns non-zero the module stops writing, closes the connection and returns
       INSTRIO_CANCELLED. Over GPIB a block is one driver call: it is reported when done, and a cancel
       takes effect before the next block.
       INSTRIO_SEND and INSTRIO_RETURN_LOCAL: a cancel check, called with 0 and 0 every 100 ms while
       the module waits for a TCP/IP connection to be answered or for the instrument's reply. When it
       returns non-zero the module stops waiting, closes the connection and returns INSTRIO_CANCELLED.
       Over GPIB each wait is one driver call, which no cancel shortens. */
    instrio_progress_fn progress;
    void* progress_context;
} instrio_arguments;

/* Receives the response text once per call (not NUL-terminated; valid only during the call). */
typedef void (*instrio_text_sink)(void* context, const char* text, size_t length);

/*
 * Runs one operation on the connection and returns its status (enum instrio_status).
 * The response text (the reply of a ping or query, or what failed) goes to response_sink, which
 * may be NULL.
 */
INSTRIO_EXPORT int32_t instrio_execute(int32_t operation, const instrio_connection* connection,
                                       const instrio_arguments* arguments,
                                       instrio_text_sink response_sink, void* sink_context);

typedef int32_t (*instrio_execute_fn)(int32_t, const instrio_connection*,
                                      const instrio_arguments*, instrio_text_sink, void*);

#ifdef __cplusplus
}
#endif

#endif /* DOT11B_INSTRIO_H */

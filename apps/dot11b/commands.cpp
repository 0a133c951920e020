// SPDX-License-Identifier: GPL-3.0-or-later
#include "command.h"
#include "composition_options.h"
#include "impairment_options.h"
#include "radio_options.h"
#include "sequence_options.h"
#include "sig_gen_options.h"

#include <algorithm>

namespace dot11b::cli {

const std::vector<Command>& commands() {
  static const std::vector<Command> table = {
      {"gui", "open the application window (also: dot11b without a command)",
       "Usage: dot11b gui\n\n"
       "Opens the application window and returns when it is closed. Needs a display; without one, set\n"
       "QT_QPA_PLATFORM=offscreen to run it invisibly, or use the other commands of this tool.\n"
       "DOT11B_SPLASH_MS shortens the start-up window's minimum time on screen (3000 ms).\n"
       "Exit status 1 when the window cannot be opened, 2 for an argument (it takes none).\n",
       runGui},
      {"estimate", "print the projected number of samples of a frame or a sequence",
       "Usage: dot11b estimate [--set FIELD=VALUE]... [--frames N] [--template KIND ...]\n\n"
       "Prints the projected number of samples (ProjectedLength) of the start-value parameters with the\n"
       "given fields changed, times the number of frames. FIELD is a field of the parameters record, dotted\n"
       "for sub-records (MACheader.Active). totalLength, ProjectedLength and MACheader.Length are derived and\n"
       "cannot be set; MAC header fields are set as MACheader.Contents.Address1.Contents=0x0123456789AB (or\n"
       "decimal) and MACheader.Contents.SeqCntrl.Active=0. A MAC field's value goes on the air least\n"
       "significant octet first: Address1.Contents=0x0123456789AB is received as ab:89:67:45:23:01, as a\n"
       "protocol analyser shows it (--template's addresses are written in their on-air order instead).\n"
       "As on the format panel, dataRate=1 also selects the long preamble.\n\n"
       DOT11B_SEQUENCE_OPTIONS_HELP
       "\nExit status 2 for a bad option, an unknown field, a value outside its allowed values or a sequence\n"
       "too large.\n",
       runEstimate},
      {"call", "call any routine of the library by name",
       "Usage: dot11b call ROUTINE [ARG]...\n\n"
       "Calls a registered routine with literal arguments and prints each result on its own line.\n"
       "ARG: a number (-3.5, 1e-3, Inf, NaN), a complex number (1+2i, 0.5j), a matrix ([1 0 1],\n"
       "[1 2; 3 4], []) or a text in single quotes ('left-msb').\n"
       "Options: --nargout N  number of results to ask for (default: as many as the routine declares).\n"
       "Exit status 1 when the call fails (message on stderr), 2 for a bad option or a malformed literal.\n",
       runCall},
      {"generate", "compute a frame and write its waveform to a file",
       "Usage: dot11b generate [--params FILE.mat] [--set FIELD=VALUE]... --out FILE [--format FORMAT]\n"
       "                       [--rate HZ] [--sigmf-type TYPE] [--backoff DB] [--markers FILE] [--verify]\n"
       "                       [sequence and template options] [impairment options]\n\n"
       "Computes the frame of the start-value parameters (or of the parameter file --params, '.mat' added\n"
       "when missing) with the given fields changed (as 'dot11b estimate'), as the Calculate button does,\n"
       "and writes its waveform. FORMAT (default from the extension of FILE):\n"
       "  cf64         raw little-endian complex double pairs, numpy complex128 (.cf64)\n"
       "  iq16         the signal generator's 16-bit file: big-endian I,Q pairs at full scale (.iq16)\n"
       "  mat          MAT-file with samplePoints, sampleRate and wave, N x 2 of I and Q (.mat)\n"
       "  ascii        MAT-file with samples, N x 2 of I and Q\n"
       "  complex-mat  MAT-file with samples, the complex waveform as a column\n"
       "  sigmf        SigMF recording FILE.sigmf-data and FILE.sigmf-meta (.sigmf, .sigmf-data,\n"
       "               .sigmf-meta); --sigmf-type TYPE gives its samples: cf32_le (the default), ci16_le\n"
       "               or ci8, the same layouts as cf32, cs16 and cs8\n"
       "  cs8          interleaved signed 8-bit I,Q, as 8-bit radios' transfer tools read them (.cs8)\n"
       "  cs16         interleaved signed 16-bit little-endian I,Q (.cs16)\n"
       "  cf32         interleaved 32-bit float little-endian I,Q, GNU Radio's complex (.cf32)\n"
       "The integer formats (cs8, cs16, SigMF ci16_le and ci8) scale the peak, the largest |I| or |Q|, to\n"
       "full scale (127, 32767) less --backoff DB (1 dB unless given; -20 dB up to what leaves 6 bits:\n"
       "11.97 dB for 8-bit samples, 60.2 for 16-bit); below 0 dB the samples beyond full scale are clipped\n"
       "and their number is printed on stderr. The other formats keep the generator's values (a peak |I| or\n"
       "|Q| near 1.4 in cf32 and cf64).\n"
       "--rate HZ takes the waveform from 11 MHz x OverSampling to any rate from 1 MHz to 1 GHz (20e6 for a\n"
       "HackRF) with the band-limited resampler of 'dot11b transmit', the markers to the nearest sample; the\n"
       "summary and SigMF's core:sample_rate give that rate.\n"
       "--out - writes the samples to standard output (cf64, the default, iq16, cs8, cs16 or cf32) for a\n"
       "pipe.\n"
       "--markers FILE writes marker row 1, then marker row 2, one byte (0 or 1) per sample.\n"
       "Prints the number of samples, rate and modulation, sampling rate and calculation time on stderr.\n"
       "--verify then decodes the frame just made with the receiver of 'dot11b verify' and prints its\n"
       "summary on stderr too.\n"
       "Exit status 1 when the parameter file or the calculation or a write fails, or the frame does not\n"
       "verify (its header CRC, and its FCS when the frame has one), 2 for a bad option or value, or frames\n"
       "that come to more samples than a waveform may hold.\n"
       "With --markers, the waveform and the markers are replaced as one pair: a reader finds the old pair or\n"
       "the new one, never one file of each (the waveform file is written last and decides).\n\n"
       DOT11B_SEQUENCE_OPTIONS_HELP "\n" DOT11B_IMPAIRMENT_OPTIONS_HELP,
       runGenerate},
      {"compose", "sum the wanted frames with interferers, a tone and noise, or make a receiver test",
       "Usage: dot11b compose --out FILE [generate's options for the wanted frames]\n"
       "                      [--interferer 'OPTIONS' [--offset HZ] [--level DB] [--interferer-start S]]...\n"
       "                      [--cw HZ,DB] [--noise DB]\n"
       "       dot11b compose --out FILE --test sensitivity|max-input|adjacent-channel|cca [--rate-mbps R]\n"
       "                      [--frames N] [--channel-spacing HZ] [--level DBM] [--seed N]\n\n"
       "Makes the wanted frames as 'dot11b generate' does, at 0 Hz (the instrument's or radio's carrier),\n"
       "and adds the other signals, then writes the sum in any format of generate (--format, --rate,\n"
       "--sigmf-type, --backoff, --markers as there). The markers mark the wanted frames only. SigMF\n"
       "annotates the wanted frames and each interferer and names every signal, its offset and level in\n"
       "the dot11b extension (dot11b:signals); the mat format adds the variables signals and\n"
       "generatorLevelDb, and with --test receiverTest (the plan) and generatorAmplitudeDbm.\n"
       "Prints each signal and the signal generator's amplitude: the generator sets the mean power of the\n"
       "whole waveform, so the amplitude that puts the wanted frames at a level lies the printed number of\n"
       "dB above it; with --test, the amplitude in dBm for the plan's level (or --level).\n"
       "Exit status 1 when a calculation or a write fails, 2 for a bad option (naming the interferer), an\n"
       "offset no rate up to 200 MHz holds, a level beyond +-80 dB or more than 32 Msamples.\n\n"
       DOT11B_COMPOSITION_OPTIONS_HELP "\n" DOT11B_RECEIVER_TEST_OPTIONS_HELP,
       runCompose},
      {"plot", "draw a view of a frame into a PNG file, and write its data as CSV",
       "Usage: dot11b plot VIEW [--params FILE.mat] [--set FIELD=VALUE]... --png FILE [--csv FILE]\n"
       "                   [--size WIDTHxHEIGHT] [--symbols N] [--delay D] [--trace 0|1]\n\n"
       "Computes the frame as 'dot11b generate' does, quantises it to 14 bits as the window's Plot\n"
       "commands do, and draws VIEW off screen (no display needed):\n"
       "  ccdf        power above average against the Gaussian reference\n"
       "  spectrum    magnitude spectrum from -fs/2 to +fs/2\n"
       "  iq          I(t) and Q(t) on two axes;  iq-overlay: on one\n"
       "  eye         eye diagram of N symbols a trace (--symbols, default 1) from D symbols in\n"
       "              (--delay 0 to 1, default 0)\n"
       "  scatter     every symbol in the I/Q plane from D symbols in (--delay), with the trace of\n"
       "              every sample (--trace 1, the default) or without (--trace 0)\n"
       "  waterfall   spectrum of 200 successive slices as a colour map\n"
       "  mask        spectrum of the frame against the transmit mask, as 'dot11b verify' measures it\n"
       "--png FILE gets the plot at --size (default 800x600); --csv FILE all of its data, every point,\n"
       "with a header row. Exit status 1 when the parameter file, the calculation, the drawing or a write\n"
       "fails, 2 for a bad option.\n",
       runPlot},
      {"verify", "decode every 802.11b frame of a capture with the built-in receiver",
       "Usage: dot11b verify FILE [--rate HZ] [--carrier HZ] [--json] [--expect-fcs] [--mask-csv FILE]\n"
       "                     [--pcap FILE|- [--pcap-all] [--calibration DB]]\n"
       "       dot11b verify --device ARGS --frequency HZ --rate HZ --duration S [--gain DB] [--json] ...\n\n"
       "Finds every frame in FILE and decodes it with a receiver written from IEEE 802.11b-1999 (it shares\n"
       "no modulator with the generator): SYNC and SFD of either preamble, the PLCP header and its CRC, the\n"
       "PSDU at 1, 2, 5.5 or 11 Mbit/s (DBPSK, DQPSK, CCK or PBCC), its FCS and MAC header, with the carrier\n"
       "offset, the chip-clock offset and the error vector magnitude of the chips.\n"
       "FILE: .cf64 or .cf32 (little-endian complex), .cs16 or .cs8 (interleaved signed 16-bit little-endian\n"
       "or 8-bit I,Q, as SDR tools write them), .iq16 (the generator's 16-bit file), a SigMF recording\n"
       "(.sigmf-meta or .sigmf-data; cf64_le, cf32_le, ci16_le or ci8) or a waveform MAT-file. --rate HZ\n"
       "gives the sample rate, which FILE must say otherwise (SigMF and MAT-files do); rates from 1 MHz to\n"
       "1 GHz are taken, those that are no multiple of 11 MHz (an SDR's 20 or 25 Msample/s) resampled.\n"
       "With --device, decodes live what a software-defined radio receives for S seconds (the radio options\n"
       "are those of 'dot11b capture'), each frame printed as it is found; the carrier is --frequency unless\n"
       "--carrier says otherwise; the rate is at least 11e6 (one sample a chip; below 20e6 with a warning) and\n"
       "the duration at least one frame. Ctrl-C, SIGTERM or SIGHUP stops within 0.1 s; what was received\n"
       "is decoded and printed (the JSON too), also when the radio fails, and the samples received, the\n"
       "overflows and why it ended go to stderr at the end.\n"
       "Each frame is checked against the transmitter requirements of 18.4.7: centre frequency and chip\n"
       "clock within +-25 ppm (the centre frequency needs the carrier: --carrier HZ, or a SigMF recording's\n"
       "core:frequency), power-on and power-down ramps from 10 % to 90 % of the power within 2 us, RF\n"
       "carrier suppression of 15 dB (the frame's mean against its spectrum's peak in 100 kHz) and a peak\n"
       "EVM over the first 1000 chips of at most 0.35.\n"
       "The first frame's spectrum is measured against the transmit mask of 18.4.7.3 (-30 dBr from 11 to 22\n"
       "MHz off the carrier, -50 dBr beyond, 100 kHz resolution bandwidth); what lies beyond half the sample\n"
       "rate is reported as not measured. --mask-csv FILE writes its every point, level and limit.\n"
       "--json prints one object {\"frames\": [...], \"mask\": {...}} instead of the summary.\n"
       "--pcap FILE writes every frame with a valid PLCP header to FILE as pcapng for Wireshark (link type\n"
       "127, radiotap): the PSDU with its FCS (flagged bad when it does not hold), the rate, the preamble, the\n"
       "carrier as channel frequency, the level (dB antenna signal: dB above -100 dBFS) and the time of the\n"
       "frame's start (from a SigMF recording's core:datetime, the radio's start, else 1970); PBCC frames are\n"
       "noted in a comment. --pcap - writes to standard output (the summary then goes to stderr), flushed\n"
       "frame by frame: 'dot11b verify --device ... --pcap - | wireshark -k -i -' shows frames live, and\n"
       "with --pcap a live decode needs no --duration, running until Ctrl-C or until the reader quits\n"
       "(status 0). --pcap-all also writes each frame whose PLCP header failed as a record holding only a\n"
       "comment with what was received. --calibration DB adds the level in dBm (dBFS + DB).\n"
       "Exit status 0 when a frame was found and every frame's header CRC holds (and its FCS, with\n"
       "--expect-fcs), 1 otherwise (or when the radio is not found, refuses a setting or fails while\n"
       "receiving), 2 for a bad option or a file that cannot be read. A stop asked for leaves it to the\n"
       "frames; overflows do not change it.\n\n"
       DOT11B_RADIO_OPTIONS_HELP
       "  --rate HZ          the radio's sample rate\n"
       "  --duration S       how long to receive\n",
       runVerify},
      {"per", "measure the packet error rate of each rate against the SNR",
       "Usage: dot11b per --snr FROM:TO:STEP [--rates 1,2,5.5,11] [--frames N] [--psdu OCTETS]\n"
       "                  [--params FILE.mat] [--set FIELD=VALUE]... [--png FILE] [--csv FILE]\n"
       "                  [impairment options]\n\n"
       "For each rate (all four unless --rates names some) and each SNR from FROM to TO dB in steps of STEP,\n"
       "generates N data frames (--frames, 100 unless given) of a PSDU of OCTETS octets (--psdu, 1024: the\n"
       "24-octet MAC header, a PN9 payload carried on from frame to frame and the FCS) with the parameters'\n"
       "other settings, adds white Gaussian noise at that SNR (and the other impairments given) and decodes\n"
       "them with the receiver of 'dot11b verify'. A frame counts as received when a frame with a valid FCS\n"
       "and exactly its PSDU comes out. Prints the PER table and the SNR at 8 % PER of each rate (the\n"
       "standard's receiver sensitivity criterion); --png FILE plots PER against SNR on a logarithmic axis,\n"
       "--csv FILE writes the table. Batches of a rate's frames, each taken through every SNR, share out the\n"
       "machine's cores; the same seed gives the same table. Progress goes to stderr: the frames of a rate\n"
       "through every SNR so far, then the rate's points.\n"
       "Exit status 1 when the parameter file, a calculation or a write fails, 2 for a bad option or\n"
       "parameter.\n\n"
       DOT11B_IMPAIRMENT_OPTIONS_HELP,
       runPer},
      {"devices", "list the software-defined radios SoapySDR finds, or what one offers",
       "Usage: dot11b devices [--device ARGS] [--verbose]\n\n"
       "Lists each radio that SoapySDR's modules find, with its driver, label and serial. With --device\n"
       "ARGS (driver=hackrf, driver=uhd,serial=...) it opens that radio and lists, for each transmit and\n"
       "receive channel, its antennas, sample rates, frequency ranges, gains (overall and by stage) and\n"
       "stream formats, with the one it streams in itself and its full scale.\n"
       "Some modules look for radios on the network when asked (UHD, SoapyRemote); --device driver=NAME\n"
       "asks that module alone, and some modules answer only so. label=... matches a radio's label exactly.\n"
       "What the modules say of themselves on stderr is kept quiet unless --verbose.\n"
       "Exit status 1 when the radio of --device is not found (the radios found are listed) or does not\n"
       "answer, 2 for a bad option.\n",
       runDevices},
      {"transmit", "compute a frame and send it through a software-defined radio",
       "Usage: dot11b transmit --device ARGS --frequency HZ [--gain DB] [--rate HZ]\n"
       "                       [--repeat N | --continuous] [--gap S] [--backoff DB]\n"
       "                       [--params FILE.mat] [--set FIELD=VALUE]... [sequence and template options]\n"
       "                       [impairment options]\n\n"
       "Computes the frame (or sequence) as 'dot11b generate' does and sends it through the radio. The\n"
       "frame is made at 11 MHz x OverSampling; a radio that does not run at that rate gets it resampled\n"
       "with a band-limited (windowed-sinc) resampler to the lowest rate of at least two samples a chip\n"
       "(22 Msample/s) that it runs at, or else to its highest rate (20 Msample/s on a HackRF). --rate HZ\n"
       "chooses the rate, 20e6 at the least (fewer samples a chip make no frame that decodes). The peak of I\n"
       "or Q is scaled to --backoff DB (1 dB unless given; up to 11.9 dB for an 8-bit radio, 36.1 for a\n"
       "12-bit one, which keeps 6 bits) below the full scale of the radio's own stream format (CS8, CS16 or\n"
       "CF32), in which the samples are streamed. A gain between a stage's steps goes to the nearest step.\n"
       "The waveform is sent N times (--repeat, 1 unless given), or until Ctrl-C with --continuous. The\n"
       "frame's idle interval is part of the waveform, so sends with no --gap follow one another in one\n"
       "burst, seamlessly, as a signal generator loops; --gap S ends a burst after each send and waits S\n"
       "seconds before the next.\n"
       "Prints the rate, then on stderr the number of samples sent, the underflows (each a gap on the air)\n"
       "and why it ended. Ctrl-C, SIGTERM or SIGHUP stops within 0.1 s, ends the burst and releases the\n"
       "radio.\n"
       "Transmitting over the air is regulated: test a receiver through a shielded cable and attenuators.\n"
       "Exit status 0 when every send went (or a stop asked for ended it; underflows too), 1 when the radio\n"
       "is not found, refuses a setting (nothing is sent then) or fails while streaming (the samples that\n"
       "went out before are counted), 2 for a bad option or a setting that makes no usable signal.\n\n"
       DOT11B_RADIO_OPTIONS_HELP
       "  --rate HZ          the radio's sample rate (default: chosen as above)\n\n"
       DOT11B_SEQUENCE_OPTIONS_HELP "\n" DOT11B_IMPAIRMENT_OPTIONS_HELP,
       runTransmit},
      {"capture", "record what a software-defined radio receives as a SigMF recording",
       "Usage: dot11b capture --device ARGS --frequency HZ --rate HZ --duration S [--gain DB] --out FILE\n\n"
       "Receives S seconds at the rate and frequency and writes them as a SigMF recording: FILE.sigmf-data\n"
       "in the radio's own resolution (ci16_le for a radio streaming CS8 or CS16, CS8 scaled by 256;\n"
       "cf32_le for CF32) and FILE.sigmf-meta with core:sample_rate, core:frequency, the radio (core:hw)\n"
       "and the time of the first sample (core:datetime). 'dot11b verify FILE.sigmf-meta' decodes it.\n"
       "The rate is at least 11e6 (one sample a chip; below 20e6 with a warning), the duration at least one\n"
       "frame. Each overflow (samples lost) is counted and starts a new capture segment in the metadata.\n"
       "Ctrl-C, SIGTERM or SIGHUP stops within 0.1 s and keeps what was received. A radio that fails, or a\n"
       "disk that fills up, ends the capture there: the recording keeps what was written and is closed\n"
       "with its metadata, whose description says why it was cut short. The samples, the overflows and why\n"
       "it ended go to stderr.\n"
       "Exit status 0 for the duration or a stop asked for (overflows too), 1 when the radio is not found,\n"
       "refuses a setting or fails while receiving, or the disk fails (the recording then holds what came\n"
       "before); 2 for a bad option.\n\n"
       DOT11B_RADIO_OPTIONS_HELP
       "  --rate HZ          the radio's sample rate\n"
       "  --duration S       how long to receive\n"
       "  --out FILE         the recording (.sigmf, .sigmf-data or .sigmf-meta, or a name without them)\n",
       runCapture},
      {"params", "write or show a parameter file",
       "Usage: dot11b params save FILE [--set FIELD=VALUE]...\n"
       "       dot11b params show FILE\n\n"
       "save writes the start-value parameters with the given fields changed as a parameter file (the\n"
       "variables fileParameters and filename; '.mat' is added when FILE lacks it), as File Save does.\n"
       "show checks a parameter file as File Open does and prints one line per field.\n"
       "Exit status 1 when the file cannot be written or opened, 2 for a bad option or field.\n",
       runParams},
      {"ping", "ask the signal generator for its identity",
       "Usage: dot11b ping --to URI\n\n"
       "Reaches the signal generator and prints its identity (the connection test of the I/O dialog).\n"
       "URI: tcpip:HOST[:PORT] (PORT 5025 unless given; [IPv6]:PORT), gpib:BOARD:PRIMARY[:SECONDARY],\n"
       "serial:PORT[:BAUD[:HANDSHAKE]] (9600 baud and Xon/Xoff unless given; None, Xon/Xoff, RTS/CTS), or\n"
       "soapy:ARGS for a radio by its SoapySDR arguments (soapy:driver=hackrf; ping then finds it).\n"
       "Serial port n is /dev/ttyS<n-1> unless DOT11B_SERIAL_PORT<n> names another device.\n"
       "DOT11B_INSTRIO_TIMEOUT_MS sets the time-out of each step (10000 ms).\n"
       "Exit status 0 when the instrument answered, 1 when not (the reason on stderr), 2 for a bad option.\n",
       runPing},
      {"download", "compute a frame and download it to the signal generator",
       "Usage: dot11b download --to URI [--params FILE.mat] [--set FIELD=VALUE]... [--yes] [--duration S]\n"
       "                      [settings options]\n"
       "       dot11b download --to URI --test TEST [--level DBM] [test options] [--yes] [settings options]\n\n"
       "Computes the frame of the parameters (the start values or a parameter file, with the given\n"
       "fields changed, as 'dot11b generate'), transfers its samples and markers into the instrument's\n"
       "waveform memory under the title, then sends the playback set-up commands and returns the\n"
       "instrument to local control (the Download button). Over RS-232 a transfer estimated above 0.75\n"
       "minutes is first put to the user on the terminal; without a terminal it counts as cancelled,\n"
       "unless --yes answers the question.\n"
       "URI as for 'dot11b ping'. On a radio (soapy:ARGS) the frame is taken to the radio's rate and\n"
       "played in a loop without a gap, at --frequency with the gain --amplitude (dBm = gain + 0 dB, the\n"
       "level uncalibrated), until Ctrl-C or for --duration S seconds; then the radio is let go.\n"
       "With --test, downloads the receiver test's composite of 'dot11b compose --test' instead, at its\n"
       "sample rate (up to the generator's 100 MHz), and sets the amplitude that puts the wanted frames at\n"
       "the test's level (or --level DBM), printing the plan and the amplitude; an amplitude beyond -136 to\n"
       "20 dBm is set to the nearest end with a warning.\n\n"
       "Exit status 0 only when the instrument took the waveform and every command; 1 otherwise (the\n"
       "reason on stderr; also for an unusable parameter file), 2 for a bad option or parameter.\n\n"
       DOT11B_SIG_GEN_OPTIONS_HELP "\n" DOT11B_RECEIVER_TEST_OPTIONS_HELP,
       runDownload},
      {"refresh", "send the signal generator settings without a waveform",
       "Usage: dot11b refresh --to URI [--params FILE.mat] [--set FIELD=VALUE]... [settings options]\n\n"
       "Sends the playback set-up commands for a waveform already in the instrument's memory (the\n"
       "Refresh button), then returns the instrument to local control. The parameters (--params,\n"
       "--set) give the carrier (Channel) and sampling rate (OverSampling) the settings follow.\n"
       "URI as for 'dot11b ping'; a radio is refused: its loop lives in the 'dot11b download' that plays.\n\n"
       "Exit status 0 only when the instrument took every command; 1 otherwise (the first failing\n"
       "command on stderr), 2 for a bad option.\n\n" DOT11B_SIG_GEN_OPTIONS_HELP,
       runRefresh},
  };
  return table;
}

bool wantsHelp(const Args& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

}  // namespace dot11b::cli

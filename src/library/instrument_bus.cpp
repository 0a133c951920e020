// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument command layer for the calling forms: Formatconfig, the pass-through InstrIO to the
// instrument I/O module, the five bus operations and the connection test.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "instrument_radio.h"
#include "instrument/io/instrio.h"
#include "instrument/io/module_loader.h"
#include "instrument/link/module_connection.h"
#include "runtime/binding.h"
#include "runtime/export_macros.h"
#include "toolkit/long_work.h"

namespace dot11b::rt {

namespace {

// ---- Formatconfig ----

using instrument::formatConfig;
using instrument::ModuleConnection;

Values formatconfigRoutine(const Values& in, int) {
  const Inputs args(in, "Formatconfig");
  return {formatConfig(args.record(0, "config_in"))};
}

// ---- InstrIO: the record and values as the module's C structures ----

// The arguments of one operation; owns the arrays and texts the C structure points to.
class ModuleArguments {
 public:
  ModuleArguments(const Inputs& args, int32_t operation) {
    switch (operation) {
      case INSTRIO_SEND:
      case INSTRIO_QUERY:
        expectInputs(args, 3, operation);
        text_ = args.text(2, operation == INSTRIO_SEND ? "command" : "query");
        arguments_.text = text_.c_str();
        break;
      case INSTRIO_DOWNLOAD:
        expectInputs(args, 7, operation);
        setSamples(args.at(2, "data"));
        setMarkers(args.at(3, "markers"));
        normalization_ = args.text(4, "normalization");
        arguments_.normalization = normalization_.c_str();
        arguments_.scale = args.scalar(5, "scale");
        title_ = args.text(6, "filename");
        arguments_.title = title_.c_str();
        break;
      default:  // ping, return to local; an unknown code goes to the module, which refuses it
        expectInputs(args, 2, operation);
    }
  }
  const instrio_arguments* get() const { return &arguments_; }
  void setProgress(instrio_progress_fn fn, void* context) {
    arguments_.progress = fn;
    arguments_.progress_context = context;
  }

 private:
  static void expectInputs(const Inputs& args, std::size_t count, int32_t operation) {
    if (args.size() != count) {
      throw std::invalid_argument("InstrIO: operation " + std::to_string(operation) + " takes " +
                                  std::to_string(count) + " inputs, not " + std::to_string(args.size()));
    }
  }

  // The complex sample vector: I in the real part, Q in the imaginary part.
  void setSamples(const Value& data) {
    if (!data.isNumeric() || (!data.isVector() && !data.isEmpty())) {
      throw std::invalid_argument("InstrIO: input 'data' must be a numeric vector, not " + describe(data));
    }
    i_ = data.real();
    q_ = data.isComplex() ? data.imag() : std::vector<double>(i_.size(), 0.0);
    arguments_.i_samples = i_.data();
    arguments_.q_samples = q_.data();
    arguments_.sample_count = i_.size();
  }

  // The two marker rows (2 x N, N x 2, or one row of N for marker 1 alone); empty for none.
  void setMarkers(const Value& markers) {
    const std::size_t n = i_.size();
    if (markers.isEmpty()) return;
    if (!markers.isNumeric())
      throw std::invalid_argument("InstrIO: input 'markers' must be numeric, not " + describe(markers));
    const auto at = [&](std::size_t row, std::size_t k) {  // column-major element
      return markers.rows() == 2 && markers.cols() == n ? markers.re(row + 2 * k) : markers.re(k + n * row);
    };
    std::size_t rows = 0;
    if (markers.rows() == 2 && markers.cols() == n) rows = 2;
    else if (markers.cols() == 2 && markers.rows() == n) rows = 2;
    else if (markers.isVector() && markers.numel() == n) rows = 1;
    else
      throw std::invalid_argument("InstrIO: input 'markers' must be two rows as long as the data, not " +
                                  describe(markers));
    marker1_.resize(n);
    for (std::size_t k = 0; k < n; ++k) marker1_[k] = at(0, k) != 0 ? 1 : 0;
    arguments_.marker1 = marker1_.data();
    if (rows == 2) {
      marker2_.resize(n);
      for (std::size_t k = 0; k < n; ++k) marker2_[k] = at(1, k) != 0 ? 1 : 0;
      arguments_.marker2 = marker2_.data();
    }
  }

  instrio_arguments arguments_{};
  std::string text_, normalization_, title_;
  std::vector<double> i_, q_;
  std::vector<uint8_t> marker1_, marker2_;
};

int32_t reportProgress(void* context, uint64_t done, uint64_t total) {
  auto* progress = static_cast<toolkit::Progress*>(context);
  progress->report(done, total);
  return progress->cancelled() ? 1 : 0;
}

// A download may take minutes: it runs as long work, which the window runs beside a progress dialog with
// Cancel. Everything the work uses is prepared here; it touches no global of the library.
instrio::ModuleReply runModule(int32_t operation, const ModuleConnection& connection, ModuleArguments& arguments) {
  const instrio::InstrioModule& module = instrio::InstrioModule::inUse();
  if (operation != INSTRIO_DOWNLOAD) return module.execute(operation, connection.record(), arguments.get());
  instrio::ModuleReply reply;
  toolkit::longWork().run("Downloading waveform", toolkit::WorkUnit::Bytes, [&](toolkit::Progress& progress) {
    arguments.setProgress(&reportProgress, &progress);
    reply = module.execute(operation, connection.record(), arguments.get());
  });
  return reply;
}

// Forwards its inputs to the module: (code, config, the operation's arguments...) -> status, response.
Values instrIORoutine(const Values& in, int) {
  const Inputs args(in, "InstrIO");
  const double code = args.whole(0, "operation");
  if (code < INT32_MIN || code > INT32_MAX) throw std::invalid_argument("InstrIO: operation code is out of range");
  const auto operation = static_cast<int32_t>(code);
  const ModuleConnection connection(args.record(1, "config"));
  ModuleArguments arguments(args, operation);
  const instrio::ModuleReply reply = runModule(operation, connection, arguments);
  return {Value::scalar(reply.status), Value::text(reply.text)};
}

// ---- The bus operations ----

Value operationCode(int32_t code) {
  Value v = Value::scalar(code);
  v.setNumericClass(NumericClass::Int32);
  return v;
}

// One module call through InstrIO with the formatted record; the module's two results unchanged.
Values callModule(int32_t code, const Value& config, Values arguments) {
  Values in = {operationCode(code), formatConfig(config)};
  for (Value& a : arguments) in.push_back(std::move(a));
  Values out = callByName("InstrIO", in, 2);
  out.resize(2);
  return out;
}

Values hwPing(const Values& in, int) {
  const Inputs args(in, "HwPing");
  if (onRadio(args.record(0, "config"))) return radioVerify(args.record(0, "config"));
  return callModule(INSTRIO_PING, args.record(0, "config"), {});
}

Values hwSend(const Values& in, int) {
  const Inputs args(in, "HwSend");
  // The record is formatted once here and again for the call; formatting is idempotent.
  if (onRadio(args.record(0, "config"))) return radioRefusal("HwSend");
  const Value config = formatConfig(args.record(0, "config"));
  return callModule(INSTRIO_SEND, config, {args.at(1, "command")});
}

Values hwQuery(const Values& in, int) {
  const Inputs args(in, "HwQuery");
  if (onRadio(args.record(0, "config"))) return radioRefusal("HwQuery");
  return callModule(INSTRIO_QUERY, args.record(0, "config"), {args.at(1, "query")});
}

// The fourth and fifth inputs are accepted and ignored: the module always receives "norm" and 1. A radio
// keeps the samples (the markers have no output there) for its playback set-up.
Values hwDownload(const Values& in, int) {
  const Inputs args(in, "HwDownload");
  if (onRadio(args.record(0, "config"))) return radioDownload(args.record(0, "config"), args.at(1, "data"));
  return callModule(
      INSTRIO_DOWNLOAD, args.record(0, "config"),
      {args.at(1, "data"), args.at(2, "markers"), Value::text("norm"), Value::scalar(1), args.at(5, "filename")});
}

Values hwReturnLocal(const Values& in, int) {
  const Inputs args(in, "HwReturnLocal");
  if (onRadio(args.record(0, "config"))) return radioRefusal("HwReturnLocal");
  return callModule(INSTRIO_RETURN_LOCAL, args.record(0, "config"), {});
}

Values verifyComm(const Values& in, int) {
  const Inputs args(in, "VerifyComm");
  Values out = callByName("HwPing", {args.record(0, "config")}, 2);
  out.resize(2);
  return out;
}

void registerInstrumentBus(Registry& r) {
  r.add({"Formatconfig", "formatconfig", 1, 1, 1, formatconfigRoutine});
  r.add({"InstrIO", "instrIO", 1, kVariable, kVariable, instrIORoutine});
  r.add({"HwPing", "hwPing", 1, 1, 2, hwPing});
  r.add({"HwSend", "hwSend", 1, 2, 2, hwSend});
  r.add({"HwQuery", "hwQuery", 1, 2, 2, hwQuery});
  r.add({"HwDownload", "hwDownload", 1, 6, 2, hwDownload});
  r.add({"HwReturnLocal", "hwReturnLocal", 1, 1, 2, hwReturnLocal});
  r.add({"VerifyComm", "VerifyComm", 39, 1, 2, verifyComm});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerInstrumentBus)

}  // namespace dot11b::rt

DOT11B_EXPORT_1(Formatconfig, 1)
DOT11B_EXPORT_VARIABLE(InstrIO)
DOT11B_EXPORT_2(HwPing, 1)
DOT11B_EXPORT_2(HwSend, 2)
DOT11B_EXPORT_2(HwQuery, 2)
DOT11B_EXPORT_2(HwDownload, 6)
DOT11B_EXPORT_2(HwReturnLocal, 1)
DOT11B_EXPORT_2(VerifyComm, 1)

// Loads the instrument I/O module (libinstrIO.so) at run time and calls its entry.
#pragma once

#include <cstdint>
#include <string>

#include "instrument/io/instrio.h"

namespace dot11b::instrio {

struct ModuleReply {
  int32_t status = INSTRIO_OK;
  std::string text;
};

class InstrioModule {
 public:
  // file: a path, or a bare name searched like any shared library (the caller's run path first).
  // Throws std::runtime_error naming the file and the loader's reason when it cannot be loaded.
  explicit InstrioModule(const std::string& file);
  ~InstrioModule();
  InstrioModule(const InstrioModule&) = delete;
  InstrioModule& operator=(const InstrioModule&) = delete;

  // The module found by its name, INSTRIO_MODULE_FILE, loaded at the first call and kept loaded.
  // A failed load throws and is tried again at the next call.
  static const InstrioModule& byName();

  // One operation (enum instrio_operation); arguments may be null for ping and return to local.
  ModuleReply execute(int32_t operation, const instrio_connection& connection, const instrio_arguments* arguments) const;

 private:
  void* library_ = nullptr;
  instrio_execute_fn entry_ = nullptr;
};

}  // namespace dot11b::instrio

// SPDX-License-Identifier: GPL-3.0-or-later
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
  // file: a path, or a bare name searched like any shared library (the run path of the caller of dlopen
  // first, which an interposed dlopen replaces with its own).
  // Throws std::runtime_error naming the file and the loader's reason when it cannot be loaded.
  explicit InstrioModule(const std::string& file);
  ~InstrioModule();
  InstrioModule(const InstrioModule&) = delete;
  InstrioModule& operator=(const InstrioModule&) = delete;

  // The module in use, loaded at the first call and kept loaded: the file that DOT11B_INSTRIO_MODULE names
  // when it is set, else INSTRIO_MODULE_FILE from the folder of the library (or program) that holds this
  // code, else INSTRIO_MODULE_FILE by name. A failed load throws and is tried again at the next call.
  static const InstrioModule& inUse();

  // One operation (enum instrio_operation); arguments may be null for ping and return to local.
  ModuleReply execute(int32_t operation, const instrio_connection& connection,
                      const instrio_arguments* arguments) const;

 private:
  void* library_ = nullptr;
  instrio_execute_fn entry_ = nullptr;
};

}  // namespace dot11b::instrio

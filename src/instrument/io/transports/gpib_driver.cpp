// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/io/transports/gpib_driver.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <map>
#include <mutex>

#include "instrument/io/bus_error.h"

namespace dot11b::instrio {
namespace {

const std::string kInstallHint =
    "Install linux-gpib (its user library libgpib.so.0 and the kernel driver of your GPIB interface, "
    "from https://linux-gpib.sourceforge.io), or set DOT11B_GPIB_LIBRARY to the driver library's path; "
    "or connect the instrument over TCP/IP or RS-232.";

template <typename Function>
void resolve(void* library, const std::string& file, const char* name, Function& entry) {
  entry = reinterpret_cast<Function>(::dlsym(library, name));
  if (entry == nullptr) {
    throw BusError(INSTRIO_NO_DRIVER, "GPIB driver library " + file + " lacks the entry point " + name +
                                          " (not a linux-gpib library?). " + kInstallHint);
  }
}

GpibDriver load(const std::string& file) {
  void* library = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = ::dlerror();
    throw BusError(INSTRIO_NO_DRIVER, "no GPIB driver: " + file + " could not be loaded (" +
                                          (reason != nullptr ? reason : "unknown reason") + "). " + kInstallHint);
  }
  GpibDriver driver;
  driver.file = file;
  try {
    resolve(library, file, "ibdev", driver.ibdev);
    resolve(library, file, "ibwrt", driver.ibwrt);
    resolve(library, file, "ibrd", driver.ibrd);
    resolve(library, file, "ibtmo", driver.ibtmo);
    resolve(library, file, "ibloc", driver.ibloc);
    resolve(library, file, "ibonl", driver.ibonl);
    resolve(library, file, "ThreadIberr", driver.iberr);
    resolve(library, file, "ThreadIbcntl", driver.ibcntl);
  } catch (...) {
    ::dlclose(library);
    throw;
  }
  return driver;  // the library stays loaded for the life of the process
}

}  // namespace

const GpibDriver& gpibDriver() {
  const char* configured = std::getenv("DOT11B_GPIB_LIBRARY");
  const std::string file = configured != nullptr && *configured != '\0' ? configured : kGpibLibraryFile;
  // The only state the module keeps between calls: drivers loaded so far, by file name.
  static std::mutex guard;
  static std::map<std::string, GpibDriver> loaded;
  const std::lock_guard<std::mutex> lock(guard);
  auto found = loaded.find(file);
  if (found == loaded.end()) found = loaded.emplace(file, load(file)).first;
  return found->second;
}

std::string gpibErrorText(int iberr, long ibcntl) {
  switch (iberr) {
    case 0: return std::string("EDVR: system error: ") + std::strerror(static_cast<int>(ibcntl));
    case 1: return "ECIC: the interface is not controller-in-charge";
    case 2: return "ENOL: no listeners on the bus (instrument off, or wrong address?)";
    case 3: return "EADR: addressing error";
    case 4: return "EARG: invalid argument";
    case 5: return "ESAC: the interface is not system controller";
    case 6: return "EABO: I/O aborted (time-out)";
    case 7: return "ENEB: no such GPIB interface board";
    case 8: return "EDMA: DMA error";
    case 10: return "EOIP: asynchronous I/O in progress";
    case 11: return "ECAP: no capability for this operation";
    case 12: return "EFSO: file system error";
    case 14: return "EBUS: bus error";
    case 15: return "ESTB: serial poll status byte lost";
    case 16: return "ESRQ: SRQ stuck on";
    case 20: return "ETAB: table problem";
    default: return "GPIB error " + std::to_string(iberr);
  }
}

int gpibTimeoutCode(int ms) {
  // Codes 1..17 stand for 10 us, 30 us, 100 us ... 1000 s (linux-gpib T10us .. T1000s).
  static constexpr double kLimitsMs[] = {0.01, 0.03, 0.1, 0.3, 1,    3,    10,    30,     100,
                                         300,  1e3,  3e3, 1e4, 3e4, 1e5, 3e5, 1e6};
  for (int code = 1; code <= 17; ++code) {
    if (kLimitsMs[code - 1] >= ms) return code;
  }
  return 17;
}

}  // namespace dot11b::instrio

#include "runtime/modules.h"

#include <dlfcn.h>

#include <stdexcept>

namespace dot11b::rt {

std::string ownFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&ownFolder), &info) == 0 || info.dli_fname == nullptr) return "";
  const std::string path = info.dli_fname;
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

void* openModule(const std::string& fileName) {
  // Beside this object first: a bare name would be searched through the run path of whoever calls
  // dlopen, which an interposed dlopen (a sanitizer, a preloaded shim) replaces with its own.
  const std::string beside = ownFolder() + fileName;
  if (void* module = dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL)) return module;
  const std::string besideError = dlerror();
  if (void* module = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL)) return module;
  throw std::runtime_error("the module " + fileName + " could not be loaded: " + besideError);
}

}  // namespace dot11b::rt

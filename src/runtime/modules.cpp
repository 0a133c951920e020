// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/modules.h"

#include <dlfcn.h>

#include <filesystem>
#include <stdexcept>

namespace dot11b::rt {

std::string ownFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&ownFolder), &info) == 0 || info.dli_fname == nullptr) return "";
  // Through a symbolic link (the library's name in the usual folder), the folder of the file itself.
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(info.dli_fname, error);
  const std::string path = error ? std::string(info.dli_fname) : real.string();
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

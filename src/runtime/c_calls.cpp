// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/c_calls.h"

#include <exception>
#include <vector>

#include "runtime/error_text.h"
#include "runtime/library.h"

namespace dot11b::rt {

namespace {

thread_local std::string lastError;

// Runs body; any exception becomes the kept message and the failure value.
template <typename Body, typename Result>
Result guarded(Body&& body, Result failure) {
  clearLastError();
  try {
    return body();
  } catch (const std::exception& e) {
    setLastError(userMessage(e));
  } catch (...) {
    setLastError("unknown error");
  }
  return failure;
}

Values collectInputs(std::initializer_list<dot11b_array*> inputs) {
  Values in;
  for (dot11b_array* a : inputs) {
    if (!a) break;  // the first NULL ends the given inputs
    in.push_back(*valueOf(a));
  }
  return in;
}

Values collectVarargs(dot11b_array* first, va_list rest) {
  Values in;
  for (dot11b_array* a = first; a; a = va_arg(rest, dot11b_array*)) in.push_back(*valueOf(a));
  return in;
}

}  // namespace

void setLastError(std::string message) { lastError = std::move(message); }
void clearLastError() { lastError.clear(); }
const char* lastErrorText() { return lastError.c_str(); }

dot11b_array* callMlf(const char* name, std::initializer_list<dot11b_array**> outputs,
                      std::initializer_list<dot11b_array*> inputs) {
  return guarded(
      [&]() -> dot11b_array* {
        // The number of results asked for ends at the last output pointer given.
        int nargout = 1;
        int position = 2;
        for (dot11b_array** o : outputs) {
          if (o) nargout = position;
          ++position;
        }
        Values out = callByName(name, collectInputs(inputs), nargout);
        if (out.empty()) throw std::runtime_error(std::string("One or more output arguments not assigned during call to \"") + name + "\".");
        std::size_t k = 1;
        for (dot11b_array** o : outputs) {
          if (o) *o = k < out.size() ? newHandle(std::move(out[k])) : nullptr;
          ++k;
        }
        return newHandle(std::move(out.front()));
      },
      static_cast<dot11b_array*>(nullptr));
}

int callMlfNoResult(const char* name, std::initializer_list<dot11b_array*> inputs) {
  return guarded([&] { callByName(name, collectInputs(inputs), 0); return 0; }, -1);
}

int callMlx(const char* name, int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]) {
  return guarded(
      [&] {
        if (nlhs < 0 || nrhs < 0) throw std::invalid_argument("negative argument count");
        if (nlhs > 0 && plhs == nullptr) throw std::invalid_argument("no room for the results (plhs is NULL)");
        if (nrhs > 0 && prhs == nullptr) throw std::invalid_argument("no inputs (prhs is NULL)");
        Values in;
        for (int i = 0; i < nrhs; ++i) {
          if (!prhs[i]) throw std::invalid_argument("input " + std::to_string(i + 1) + " is NULL");
          in.push_back(*valueOf(prhs[i]));
        }
        Values out = callByName(name, in, nlhs);
        const std::size_t room = static_cast<std::size_t>(nlhs < 1 ? 1 : nlhs);
        // A slot without a result (a dispatching call whose sub-routine failed returns none) is set to NULL,
        // so that the caller never takes whatever the slot held before for a result. A call for the effects
        // alone may pass no room at all; its first result, if any, is dropped.
        if (plhs == nullptr) return 0;
        for (std::size_t k = 0; k < room; ++k) plhs[k] = k < out.size() ? newHandle(std::move(out[k])) : nullptr;
        return 0;
      },
      -1);
}

dot11b_array* callMlfVarargin(const char* name, int nargout, dot11b_array* first, va_list rest) {
  Values in = collectVarargs(first, rest);
  return guarded(
      [&]() -> dot11b_array* {
        if (nargout < 0) throw std::invalid_argument("negative result count");
        Values out = callByName(name, in, nargout);
        return out.empty() ? nullptr : newHandle(std::move(out.front()));
      },
      static_cast<dot11b_array*>(nullptr));
}

dot11b_array* callMlfN(const char* name, int nargout, dot11b_array* results[], dot11b_array* first, va_list rest) {
  Values in = collectVarargs(first, rest);
  return guarded(
      [&]() -> dot11b_array* {
        if (nargout < 0) throw std::invalid_argument("negative result count");
        Values out = callByName(name, in, nargout);
        for (int k = 0; k < nargout; ++k)
          results[k] = static_cast<std::size_t>(k) < out.size() ? newHandle(std::move(out[k])) : nullptr;
        return nargout > 0 ? results[0] : nullptr;
      },
      static_cast<dot11b_array*>(nullptr));
}

int callMlfV(const char* name, dot11b_array* first, va_list rest) {
  Values in = collectVarargs(first, rest);
  return guarded([&] { callByName(name, in, 0); return 0; }, -1);
}

}  // namespace dot11b::rt


// SPDX-License-Identifier: GPL-3.0-or-later
// The calling forms behind the exported C entries: each converts the C arguments, calls the routine by
// name and turns every error into a failure status and the kept message.
#pragma once

#include <cstdarg>
#include <initializer_list>
#include <string>

#include "dot11b/Dot11b_c_lib.h"
#include "runtime/value.h"

namespace dot11b::rt {

// A C handle is a Value allocated by the library; the casts are the only way between the two.
inline Value* valueOf(dot11b_array* a) { return reinterpret_cast<Value*>(a); }
inline const Value* valueOf(const dot11b_array* a) { return reinterpret_cast<const Value*>(a); }
inline dot11b_array* handleOf(Value* v) { return reinterpret_cast<dot11b_array*>(v); }
inline const dot11b_array* handleOf(const Value* v) { return reinterpret_cast<const dot11b_array*>(v); }
inline dot11b_array* newHandle(Value v) { return handleOf(new Value(std::move(v))); }

void setLastError(std::string message);
void clearLastError();
const char* lastErrorText();

// mlf form of a routine with fixed inputs: outputs 2..n through the pointers, inputs left out from the
// first NULL on. Returns the first result or NULL.
dot11b_array* callMlf(const char* name, std::initializer_list<dot11b_array**> outputs,
                      std::initializer_list<dot11b_array*> inputs);
// mlf form of a routine without results: 0 or -1.
int callMlfNoResult(const char* name, std::initializer_list<dot11b_array*> inputs);
int callMlx(const char* name, int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]);

// Forms with a NULL-terminated variable input list starting at first.
// nargout results asked for, the first returned: NULL when the call gave none or failed.
dot11b_array* callMlfVarargin(const char* name, int nargout, dot11b_array* first, va_list rest);
dot11b_array* callMlfN(const char* name, int nargout, dot11b_array* results[], dot11b_array* first, va_list rest);
int callMlfV(const char* name, dot11b_array* first, va_list rest);

}  // namespace dot11b::rt

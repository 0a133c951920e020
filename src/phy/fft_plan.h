// SPDX-License-Identifier: GPL-3.0-or-later
// FFTW plans made safely from any thread. FFTW's planner shares tables between plans: only
// fftw_execute may run concurrently, so every plan of the program is created and destroyed under one lock.
#pragma once

#include "runtime/shared_api.h"

#include <fftw3.h>

#include <algorithm>
#include <complex>
#include <new>
#include <utility>
#include <cstddef>
#include <mutex>
#include <stdexcept>
#include <string>

namespace dot11b::phy {

DOT11B_SHARED std::mutex& fftwPlannerMutex();

// The out-of-place complex transform of n points in direction `sign` (FFTW_FORWARD or FFTW_BACKWARD),
// planned once per process and kept: frames filtered one after another (the window's Calculate, a
// sequence) plan nothing again. For fftw_execute_dft on FftwBuffer arrays, from any thread.
DOT11B_SHARED fftw_plan keptTransform(std::size_t n, int sign, const char* who);
// The same in single precision, for fftwf_execute_dft on BasicFftwBuffer<float> arrays.
DOT11B_SHARED fftwf_plan keptFloatTransform(std::size_t n, int sign, const char* who);

inline fftw_complex* asFftw(std::complex<double>* values) { return reinterpret_cast<fftw_complex*>(values); }
inline fftwf_complex* asFftw(std::complex<float>* values) { return reinterpret_cast<fftwf_complex*>(values); }

// FFTW's interface in one precision: fftw_ for double, fftwf_ for float.
template <typename T>
struct Fftw;
template <>
struct Fftw<double> {
  using Plan = fftw_plan;
  static Plan plan(int n, std::complex<double>* in, std::complex<double>* out, int sign, unsigned flags) {
    return fftw_plan_dft_1d(n, asFftw(in), asFftw(out), sign, flags);
  }
  static void destroy(Plan plan) { fftw_destroy_plan(plan); }
  static Plan kept(std::size_t n, int sign, const char* who) { return keptTransform(n, sign, who); }
  static void execute(Plan plan) { fftw_execute(plan); }
  static void execute(Plan plan, std::complex<double>* in, std::complex<double>* out) {
    fftw_execute_dft(plan, asFftw(in), asFftw(out));
  }
};
template <>
struct Fftw<float> {
  using Plan = fftwf_plan;
  static Plan plan(int n, std::complex<float>* in, std::complex<float>* out, int sign, unsigned flags) {
    return fftwf_plan_dft_1d(n, asFftw(in), asFftw(out), sign, flags);
  }
  static void destroy(Plan plan) { fftwf_destroy_plan(plan); }
  static Plan kept(std::size_t n, int sign, const char* who) { return keptFloatTransform(n, sign, who); }
  static void execute(Plan plan) { fftwf_execute(plan); }
  static void execute(Plan plan, std::complex<float>* in, std::complex<float>* out) {
    fftwf_execute_dft(plan, asFftw(in), asFftw(out));
  }
};

template <typename T>
class BasicFftPlan {
 public:
  using Plan = typename Fftw<T>::Plan;
  // `makePlan` returns the plan (nullptr when FFTW cannot make it); `who` names the caller in errors.
  template <typename MakePlan>
  BasicFftPlan(const char* who, MakePlan makePlan) {
    const std::lock_guard lock(fftwPlannerMutex());
    plan_ = makePlan();
    if (plan_ == nullptr) throw std::runtime_error(std::string(who) + ": FFTW could not plan the transform");
  }
  ~BasicFftPlan() {
    const std::lock_guard lock(fftwPlannerMutex());
    Fftw<T>::destroy(plan_);
  }
  BasicFftPlan(const BasicFftPlan&) = delete;
  BasicFftPlan& operator=(const BasicFftPlan&) = delete;

  void execute() const { Fftw<T>::execute(plan_); }
  // For FFTW's new-array execute functions, which may run on several threads at once.
  Plan plan() const { return plan_; }

 private:
  Plan plan_ = nullptr;
};
using FftPlan = BasicFftPlan<double>;

// Complex values in memory from fftw_malloc, aligned alike, so that one plan serves every such buffer.
template <typename T>
class BasicFftwBuffer {
 public:
  explicit BasicFftwBuffer(std::size_t n)
      : data_(static_cast<std::complex<T>*>(fftw_malloc(sizeof(std::complex<T>) * std::max<std::size_t>(n, 1)))) {
    if (data_ == nullptr) throw std::bad_alloc();
  }
  ~BasicFftwBuffer() { fftw_free(data_); }
  BasicFftwBuffer(BasicFftwBuffer&& other) noexcept : data_(std::exchange(other.data_, nullptr)) {}
  BasicFftwBuffer(const BasicFftwBuffer&) = delete;
  BasicFftwBuffer& operator=(const BasicFftwBuffer&) = delete;
  BasicFftwBuffer& operator=(BasicFftwBuffer&&) = delete;
  std::complex<T>* data() const { return data_; }

 private:
  std::complex<T>* data_;
};
using FftwBuffer = BasicFftwBuffer<double>;

// FFTW takes transform sizes as int; `who` names the caller when n is too large.
DOT11B_SHARED int fftSize(std::size_t n, const char* who);

}  // namespace dot11b::phy

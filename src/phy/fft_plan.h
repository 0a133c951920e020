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

class FftPlan {
 public:
  // `makePlan` returns the plan (nullptr when FFTW cannot make it); `who` names the caller in errors.
  template <typename MakePlan>
  FftPlan(const char* who, MakePlan makePlan) {
    const std::lock_guard lock(fftwPlannerMutex());
    plan_ = makePlan();
    if (plan_ == nullptr) throw std::runtime_error(std::string(who) + ": FFTW could not plan the transform");
  }
  ~FftPlan() {
    const std::lock_guard lock(fftwPlannerMutex());
    fftw_destroy_plan(plan_);
  }
  FftPlan(const FftPlan&) = delete;
  FftPlan& operator=(const FftPlan&) = delete;

  void execute() const { fftw_execute(plan_); }
  // For FFTW's new-array execute functions, which may run on several threads at once.
  fftw_plan plan() const { return plan_; }

 private:
  fftw_plan plan_ = nullptr;
};

// Complex values in memory from fftw_malloc, aligned alike, so that one plan serves every such buffer.
class FftwBuffer {
 public:
  explicit FftwBuffer(std::size_t n)
      : data_(static_cast<std::complex<double>*>(fftw_malloc(sizeof(std::complex<double>) * std::max<std::size_t>(n, 1)))) {
    if (data_ == nullptr) throw std::bad_alloc();
  }
  ~FftwBuffer() { fftw_free(data_); }
  FftwBuffer(FftwBuffer&& other) noexcept : data_(std::exchange(other.data_, nullptr)) {}
  FftwBuffer(const FftwBuffer&) = delete;
  FftwBuffer& operator=(const FftwBuffer&) = delete;
  FftwBuffer& operator=(FftwBuffer&&) = delete;
  std::complex<double>* data() const { return data_; }

 private:
  std::complex<double>* data_;
};

inline fftw_complex* asFftw(std::complex<double>* values) { return reinterpret_cast<fftw_complex*>(values); }

// The out-of-place complex transform of n points in direction `sign` (FFTW_FORWARD or FFTW_BACKWARD),
// planned once per process and kept: frames filtered one after another (the window's Calculate, a
// sequence) plan nothing again. For fftw_execute_dft on FftwBuffer arrays, from any thread.
DOT11B_SHARED fftw_plan keptTransform(std::size_t n, int sign, const char* who);

// FFTW takes transform sizes as int; `who` names the caller when n is too large.
DOT11B_SHARED int fftSize(std::size_t n, const char* who);

}  // namespace dot11b::phy

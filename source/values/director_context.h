// Director expects calls into it only on paths it started itself. A message
// that Windows sends straight to the Xtra's own window (WM_DEVICECHANGE) is
// not one: every call into Director made while handling it runs inside the
// movie's Xtra context, or the player may crash.
#pragma once

#include "moa_contract.h"

class DirectorContextScope {
 public:
  // Without a context (no movie was active at new) nothing is bracketed.
  explicit DirectorContextScope(IMoaDrMovieContext* context) : context_(context) {
    if (context_ && context_->PushXtraContext(&state_) != kMoaErr_NoErr) {
      context_ = nullptr;
      refused_ = true;
    }
  }
  ~DirectorContextScope() {
    if (context_) context_->PopXtraContext(&state_);
  }
  DirectorContextScope(const DirectorContextScope&) = delete;
  DirectorContextScope& operator=(const DirectorContextScope&) = delete;

  // False when Director refused the context: it may then not be called.
  bool entered() const { return !refused_; }

 private:
  IMoaDrMovieContext* context_;
  bool refused_ = false;
  IMoaDrMovieContext::DrContextState state_{};
};

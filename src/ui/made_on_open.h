#pragma once
// A window made the first time the player opens it, not at start-up. While it does not exist (before
// it is first opened, and again once its close box has destroyed it) what the program shows in it is
// kept in its W::Shown, a record of exactly what the program sets in it; making the window applies the
// record, so the window comes up showing what it would have shown had it been there all along. From
// then on it is shown things at once, and the record starts empty for the next time it is made.
#include <memory>
#include <utility>

namespace ui {

template <typename W>
class MadeOnOpen {
 public:
  using Shown = typename W::Shown;

  template <typename... Args>
  void Attach(Args&... args) {
    window_ = std::make_unique<W>(args...);
  }

  // The window, made hidden now when it does not exist, showing what was kept for it.
  W& Made() {
    if (!window_->Exists()) {
      window_->Ensure();
      if (window_->Exists()) std::exchange(kept_, Shown{}).ApplyTo(*window_);
    }
    return *window_;
  }

  // The window when it exists, or nullptr: then what it is to show goes into Kept().
  W* IfMade() const { return window_ != nullptr && window_->Exists() ? window_.get() : nullptr; }
  Shown& Kept() { return kept_; }

 private:
  std::unique_ptr<W> window_;
  Shown kept_;
};

}  // namespace ui

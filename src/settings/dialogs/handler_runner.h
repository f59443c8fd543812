// Runs the dialogs' event handlers so that a refused write stops the handler that made it
// and every handler that set off that one from code, and is shown once, in the standard
// error box, by the outermost of them.
//
// A handler set off from code (a check box ticked by FormShow, say) runs inside the Qt
// signal of the control; exceptions must not cross that signal, so the nested handler
// keeps its failure and the code change that set it off (CodeChange) raises it again on
// the other side.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "platform/profile/profile.h"

namespace settings {

// A failure of a handler that stops it and is shown to the user.
class HandlerFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class HandlerRunner {
 public:
  // `showError` shows the message of a failure that reached a handler run by the user.
  explicit HandlerRunner(std::function<void(const std::string&)> showError)
      : showError_(std::move(showError)) {}

  template <class Body>
  void Run(Body&& body) {
    const bool nested = codeChanges_ > 0;
    const int saved = std::exchange(codeChanges_, 0);
    std::optional<std::string> failure;
    try {
      body();
    } catch (const platform::IniWriteError& error) {
      failure = error.what();
    } catch (const HandlerFailure& error) {
      failure = error.what();
    }
    codeChanges_ = saved;
    if (!failure) return;
    if (nested) {
      if (!nestedFailure_) nestedFailure_ = std::move(failure);
    } else {
      showError_(*failure);
    }
  }

  // Makes a change from code that may run a handler; throws that handler's failure.
  template <class Change>
  void CodeChange(Change&& change) {
    ++codeChanges_;
    change();
    --codeChanges_;
    if (nestedFailure_) {
      const std::string message = std::exchange(nestedFailure_, std::nullopt).value();
      throw HandlerFailure(message);
    }
  }

 private:
  std::function<void(const std::string&)> showError_;
  int codeChanges_ = 0;
  std::optional<std::string> nestedFailure_;
};

}  // namespace settings

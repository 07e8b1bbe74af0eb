#pragma once
// The one place that catches run-time errors: every menu, mouse, timer and
// control handler of the windows runs through ErrorGuard::run. An error stops
// the handler and is shown in the standard error box; the program goes on
// with the data as far as the command got.

#include <QString>
#include <functional>

class QWidget;

namespace trelvano {

class ErrorGuard {
 public:
  using Presenter = std::function<void(const QString& text)>;

  explicit ErrorGuard(QWidget* parent);
  // Replaces the error box (tests record the texts instead).
  void setPresenter(Presenter presenter) { presenter_ = std::move(presenter); }
  // Runs `handler`; returns false when it stopped with an error.
  bool run(const std::function<void()>& handler);

 private:
  QWidget* parent_;
  Presenter presenter_;
};

// Runs a handler through a window's guard and then shows that window's state
// again. The dialogs get their owner's, so their changes show at once there.
using GuardedRunner = std::function<void(const std::function<void()>& handler)>;

// The standard error box: an error icon, the text, one OK button.
void showErrorBox(QWidget* parent, const QString& text);

}  // namespace trelvano

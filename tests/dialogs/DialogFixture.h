#pragma once
// The program's core with scripted file dialogs and an error guard that
// records its texts, for opening the dialogs without the main window.

#include "app/core/MainController.h"
#include "common/ScriptedDialogs.h"
#include "common/TestPaths.h"
#include "import/ParameterFile.h"
#include "ui/ErrorGuard.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace trelvano {

struct DialogFixture {
  ScriptedDialogs dialogs;
  MainController program{dialogs};
  FlightData& data = program.data;
  QStringList errors;
  ErrorGuard guard{nullptr};
  GuardedRunner run = [this](const std::function<void()>& handler) { guard.run(handler); };

  DialogFixture() {
    guard.setPresenter([this](const QString& text) { errors << text; });
  }
  // A new-format flight; `par` is loaded first ("" keeps the default table).
  void loadLoggerFlight(const char* par = "") {
    if (*par) Ladeparameter(data.ChannelParams, example(par));
    ASSERT_EQ(program.openLoggerFile(example("ng-flug.csv")), LoadStatus::Loaded);
  }
  static QString example(const char* name) { return sourcePath(QStringLiteral("examples/") + QLatin1String(name)); }
};

template <class T>
T* childOf(QWidget* window, const char* name) {
  auto* w = window->findChild<T*>(QLatin1String(name));
  EXPECT_NE(w, nullptr) << name;
  return w;
}

}  // namespace trelvano

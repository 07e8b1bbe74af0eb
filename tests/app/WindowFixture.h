#pragma once
// A main window whose file dialogs are answered by the test and whose error
// boxes are recorded instead of shown.

#include "app/MainWindow.h"
#include "common/ScriptedDialogs.h"

#include <QAction>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace trelvano {

struct Window {
  ScriptedDialogs* dialogs;
  std::unique_ptr<MainWindow> form;
  QStringList errors;

  Window() {
    auto d = std::make_unique<ScriptedDialogs>();
    dialogs = d.get();
    form = std::make_unique<MainWindow>(std::move(d));
    form->errorGuard().setPresenter([this](const QString& text) { errors << text; });
  }
  QAction* item(const char* name) const {
    auto* a = form->findChild<QAction*>(QLatin1String(name));
    EXPECT_NE(a, nullptr) << name;
    return a;
  }
  template <class T>
  T* child(const char* name) const {
    auto* w = form->findChild<T*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
};

}  // namespace trelvano

#pragma once
// A file-dialog double: answers with queued paths (empty = cancel) and
// records what each dialog was asked to show.

#include "ui/FileDialogs.h"

#include <QStringList>
#include <deque>
#include <vector>

namespace trelvano {

struct DialogCall {
  bool save;
  QString filter, title, initialName;
};

class ScriptedDialogs : public FileDialogs {
 public:
  std::deque<QString> answers;
  std::vector<DialogCall> calls;

  QString openFile(const QString& filter, const QString& title, const QString& initialName) override {
    return answer({false, filter, title, initialName});
  }
  QString saveFile(const QString& filter, const QString& title, const QString& initialName) override {
    return answer({true, filter, title, initialName});
  }
  QString chooseFolder(const QString& title, const QString& current) override {
    return answer({false, {}, title, current});
  }

 private:
  QString answer(DialogCall call) {
    calls.push_back(std::move(call));
    if (answers.empty()) return {};
    QString a = answers.front();
    answers.pop_front();
    return a;
  }
};

}  // namespace trelvano

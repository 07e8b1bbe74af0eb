#pragma once
// Qt's own texts of standard dialogs, buttons and context menus in German,
// whatever the system language: the program speaks German throughout.

class QTranslator;

namespace trelvano {

// Loads qtbase_de.qm from Qt's translation folder into the application.
// Returns the installed translator (owned by the application), or nullptr
// when the translation is not installed: Qt's English texts stay then.
QTranslator* installGermanQtTranslations();

}  // namespace trelvano

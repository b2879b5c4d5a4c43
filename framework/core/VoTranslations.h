#pragma once
// Qt's own texts (the buttons and labels of its file, print and message dialogs, the context menus
// of its edits) in Italian, the language of the programs, whatever the machine's language: the
// translations that Qt installs with its translations package. Call once after the application
// object exists; false when they are not installed (Qt then speaks English).
class QCoreApplication;

bool VoLoadQtTranslations(QCoreApplication *app);

#pragma once
#include <QString>
#include <QStringList>

// Qt draws some texts itself: file and printer dialogs, standard buttons, the context menu of
// every edit. The program is German whatever the desktop's language, so Qt's German catalogue
// is installed before the first window. Returns the catalogue's path, or empty when none of
// `folders` holds it (the texts then stay Qt's English ones).
QString InstallQtGermanTranslations();
QString InstallQtGermanTranslations(const QStringList& folders);
// Where the catalogue is looked for: Qt's own translations folder, then "translations" beside
// the program (a deployment that carries its own copy).
QStringList QtTranslationFolders();

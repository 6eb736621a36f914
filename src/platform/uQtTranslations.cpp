#include "platform/uQtTranslations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QStringList QtTranslationFolders() {
  return {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
          QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
}

QString InstallQtGermanTranslations() { return InstallQtGermanTranslations(QtTranslationFolders()); }

QString InstallQtGermanTranslations(const QStringList& folders) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return QString();
  // Once per application: a second catalogue of the same texts would only cost lookups.
  if (auto* installed = app->findChild<QTranslator*>(QStringLiteral("QtGermanTranslations"),
                                                     Qt::FindDirectChildrenOnly))
    return installed->filePath();
  const QLocale german(QLocale::German, QLocale::Germany);
  for (const QString& folder : folders) {
    if (folder.isEmpty()) continue;
    auto* translator = new QTranslator(app);
    translator->setObjectName(QStringLiteral("QtGermanTranslations"));
    // Looks for qtbase_de_DE.qm, then qtbase_de.qm; the application owns the translator.
    if (translator->load(german, QStringLiteral("qtbase"), QStringLiteral("_"), folder) &&
        QCoreApplication::installTranslator(translator))
      return translator->filePath();
    delete translator;
  }
  return QString();
}

#include "VoTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool VoLoadQtTranslations(QCoreApplication *app) {
    auto *translator = new QTranslator(app);
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    if (!translator->load(italian, QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

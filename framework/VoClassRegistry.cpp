#include "VoClassRegistry.h"

#include "VoExceptions.h"

#include <QHash>

namespace {
struct Entry {
    QString name;
    TVoClassFactory factory;
};
QHash<QString, Entry> &Registry() {
    static QHash<QString, Entry> registry;
    return registry;
}
} // namespace

void RegisterVoClass(const QString &className, TVoClassFactory factory) {
    Registry().insert(className.toUpper(), Entry{className, std::move(factory)});
}

void UnRegisterVoClass(const QString &className) {
    Registry().remove(className.toUpper());
}

bool IsVoClassRegistered(const QString &className) {
    return Registry().contains(className.toUpper());
}

QStringList RegisteredVoClasses() {
    QStringList names;
    for (const Entry &e : Registry())
        names << e.name;
    names.sort(Qt::CaseInsensitive);
    return names;
}

QWidget *CreateVoClass(const QString &className, QWidget *parent) {
    const auto it = Registry().constFind(className.toUpper());
    if (it == Registry().constEnd() || !it->factory)
        throw EVoError(
            QStringLiteral("La finestra \"%1\" non è disponibile in questa versione del programma.")
                .arg(className));
    return it->factory(parent);
}

#include "VoClassRegistry.h"

#include "VoExceptions.h"
#include "VoForms.h"

#include <QWidget>

#include <QHash>

namespace {
const char *const ClassNameProperty = "voClassName";

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

TVoClassReplacement::TVoClassReplacement(const QString &className, TVoClassFactory factory)
    : m_className(className.toUpper()) {
    const auto it = Registry().constFind(m_className);
    m_wasRegistered = it != Registry().constEnd();
    if (m_wasRegistered) {
        m_previousName = it->name;
        m_previous = it->factory;
    }
    RegisterVoClass(className, std::move(factory));
}

TVoClassReplacement::~TVoClassReplacement() {
    if (m_wasRegistered)
        Registry().insert(m_className, Entry{m_previousName, m_previous});
    else
        Registry().remove(m_className);
}

QString VoClassNotAvailableMessage(const QString &className) {
    return QStringLiteral("La finestra \"%1\" non è disponibile in questa versione del programma.")
        .arg(className);
}

QWidget *CreateVoClass(const QString &className, QWidget *parent) {
    const auto it = Registry().constFind(className.toUpper());
    if (it == Registry().constEnd() || !it->factory)
        throw EVoError(VoClassNotAvailableMessage(className));
    QWidget *window = it->factory(parent);
    if (!window)
        throw EVoError(VoClassNotAvailableMessage(className));
    window->setProperty(ClassNameProperty, it->name);
    VoFinishFormCreation(window);
    return window;
}

QString VoFormClassName(const QObject *window) {
    return window ? window->property(ClassNameProperty).toString() : QString();
}

#pragma once
// Window classes register a factory under their class name when the program starts; the menu and
// other windows create them by that name, ignoring case.
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

using TVoClassFactory = std::function<QWidget *(QWidget *parent)>;

void RegisterVoClass(const QString &className, TVoClassFactory factory);
void UnRegisterVoClass(const QString &className);
bool IsVoClassRegistered(const QString &className);
QStringList RegisteredVoClasses();
// Creates a window of the named class; an unknown name raises EVoError.
QWidget *CreateVoClass(const QString &className, QWidget *parent = nullptr);

// Registers a class at static-initialisation time: place one in each window unit.
struct TVoClassRegistrar {
    TVoClassRegistrar(const QString &className, TVoClassFactory factory) {
        RegisterVoClass(className, std::move(factory));
    }
};

#define VO_REGISTER_CLASS(ClassName)                                                                         \
    static const TVoClassRegistrar ClassName##_registrar(                                                    \
        QStringLiteral(#ClassName), [](QWidget *parent) -> QWidget * { return new ClassName(parent); })

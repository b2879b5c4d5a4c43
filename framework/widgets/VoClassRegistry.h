#pragma once
// Window classes register a factory under their class name when the program starts; the menu and
// other windows create them by that name, ignoring case.
#include <QString>
#include <QStringList>
#include <functional>

class QObject;
class QWidget;

using TVoClassFactory = std::function<QWidget *(QWidget *parent)>;

void RegisterVoClass(const QString &className, TVoClassFactory factory);
void UnRegisterVoClass(const QString &className);
bool IsVoClassRegistered(const QString &className);
QStringList RegisteredVoClasses();
// Creates a window of the named class and runs its FormCreate; an unknown name raises EVoError. The
// window remembers the name (VoFormClassName).
QWidget *CreateVoClass(const QString &className, QWidget *parent = nullptr);
// The registered class name under which a window was created (empty for other windows).
QString VoFormClassName(const QObject *window);
// What the user is told when a window class is not available.
QString VoClassNotAvailableMessage(const QString &className);

// Puts a factory in the place of a class name for the life of the object, and then gives the name
// back what it had (its own factory, or nothing): a test replacing a window leaves the program's.
class TVoClassReplacement {
public:
    TVoClassReplacement(const QString &className, TVoClassFactory factory);
    ~TVoClassReplacement();
    TVoClassReplacement(const TVoClassReplacement &) = delete;
    TVoClassReplacement &operator=(const TVoClassReplacement &) = delete;

private:
    QString m_className;
    bool m_wasRegistered = false;
    QString m_previousName;
    TVoClassFactory m_previous;
};

// Registers a window class under its own name, or (the second form) under another: a program
// offering another program's window under a name of its own. Each program and library lists its
// windows in one registration function that the program calls at start-up, before any window opens;
// registering a name again replaces its factory with an equal one, so running it twice does no harm.
template <class TWindow> void RegisterVoClass(const QString &className) {
    RegisterVoClass(className, [](QWidget *parent) -> QWidget * { return new TWindow(parent); });
}

#define VO_REGISTER_CLASS(ClassName) RegisterVoClass<ClassName>(QStringLiteral(#ClassName))
#define VO_REGISTER_CLASS_AS(Name, ClassName) RegisterVoClass<ClassName>(QStringLiteral(#Name))

// The framework's own windows that the programs open by name (the search form).
void VoRegisterFrameworkWindows();

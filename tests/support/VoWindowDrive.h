#pragma once
// Windows opened by class name and driven in tests as a user drives them: clicks, typing, dates and
// search forms.
#include "VoClassRegistry.h"
#include "VoWidgetTest.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class QAbstractButton;
class QLineEdit;
class QVariant;
class TfrVoDBRWGrid;
class TVoDBDateEdit;
class TVoScriptedResponder;

// Opens a window by its class name, as the menu does, and shows it active.
template <class T> T *VoOpenWindow(const QString &className) {
    auto *window = qobject_cast<T *>(CreateVoClass(className));
    if (window)
        VoShowActive(window);
    return window;
}

// Closes a window and frees it at once (before the test's database goes).
void VoCloseWindow(QWidget *window);

// Clicks a check box or button where a user clicks it.
void VoClick(QAbstractButton *button);

// Types into an edit over what it shows, as the user does after clicking it (an empty text clears it),
// and leaves it with Tab.
void VoTypeInto(QLineEdit *edit, const QString &text);

// Types a date into a date edit as the user types it ("dd/MM/yyyy"; empty clears it) and leaves it
// with Tab.
void VoTypeDate(TVoDBDateEdit *edit, const QString &date);

// What a search form showed before it was answered.
struct TVoSearchSeen {
    bool opened = false;
    QString caption;
    QStringList titles; // of the visible columns, in order
    int rows = 0;       // before anything was typed
};

// Opens the search form of the focused lookup with F8 and answers it: types the text into its search
// box and chooses the row in front with Enter. The window of the lookup is active again afterwards.
void VoSearchAndChoose(const QString &text, TVoSearchSeen *seen = nullptr);

// Deletes a row as the user does: in the window's list whose rows are keyed by keyField, on the row of
// that key, the delete action, answered Yes (the messages cleared first). The frame of the list, or
// nullptr when no list holds the row.
TfrVoDBRWGrid *VoDeleteRow(QWidget *window, const QString &keyField, const QVariant &key,
                           TVoScriptedResponder *messages);

// Answers the search form that the next call opens: picks the row it lists first after typing text
// into its search box; an empty text cancels the search.
void VoAnswerSearch(const QString &text);

// What keeps a window's tools from the keyboard, one line each: a tool of a tool bar whose tool tip
// names no key, or names another key than the action's, and two actions that answer one key where
// the focus reaches both (the key would do neither). The main window's own keys count.
QStringList VoToolKeyFaults(QWidget *window);

// Presses "Annulla" of the wait window, as the user does, once a job's bar reaches a position, for
// the life of the object. Counts gives what the window showed beside the bar at each step up to then
// ("2 di 3"), or an empty text for a step made while the window was hidden.
class TVoPressAnnulla {
public:
    explicit TVoPressAnnulla(int position);
    ~TVoPressAnnulla();
    TVoPressAnnulla(const TVoPressAnnulla &) = delete;
    TVoPressAnnulla &operator=(const TVoPressAnnulla &) = delete;
    QStringList Counts() const { return m_counts; }

private:
    QStringList m_counts;
};

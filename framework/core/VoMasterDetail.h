#pragma once
// A detail collection that lists the rows of its master's current row (a code's details, a
// category's goods codes).
//
// Whenever the master's current row changes as a whole (the master opened, moved, was read again,
// a row was inserted, saved or deleted), the detail is closed and opened again with the master's
// key as its first parameter, typed integer. While the master has no saved row (its list is empty,
// or the row is being inserted) the key is NULL and the detail is empty. A change of one field of
// the master's row leaves the detail alone.
//
// A detail row being inserted or edited is saved before the master's row changes; when it cannot be
// saved (its message shown), the master stays on its row.
//
// A row inserted into the detail receives the master's key: every INSERT statement of the detail's
// insert list is given it under the key column's name.
#include "VoEvent.h"

#include <QObject>
#include <QString>
#include <QVariant>

class TVoQueryCollection;
class TVoField;

class TVoMasterDetail : public QObject {
    Q_OBJECT
public:
    // keyField names the master's key column, and the detail's column that refers to it.
    TVoMasterDetail(TVoQueryCollection *master, TVoQueryCollection *detail, const QString &keyField,
                    QObject *parent = nullptr);

    TVoQueryCollection *Master() const { return m_master; }
    TVoQueryCollection *Detail() const { return m_detail; }
    // The key of the master's saved current row; NULL when there is none.
    QVariant MasterKey() const;
    // Opens the detail again for the master's current row (closes it when the master is closed).
    void Reload();

    // On by default: the detail follows every whole-row change of the master by itself. A window
    // that decides when the detail follows (a warning first) switches it off and calls Reload.
    bool FollowMaster() const { return m_follow; }
    void SetFollowMaster(bool on) { m_follow = on; }

private:
    void MasterChanged(TVoField *field);

    TVoQueryCollection *m_master;
    TVoQueryCollection *m_detail;
    QString m_keyField;
    bool m_follow = true;
    TVoHooks m_hooks;
};

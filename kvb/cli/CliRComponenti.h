#pragma once
// The members of a commission or of a testing minute, and what the two windows that keep them share.
//
// A member is a person row shared by every commission and minute that names him, linked to each by a
// membership row that holds his role there. Adding a member whose surname and name are those of a
// stored person asks whether he is the same one: Yes links the stored person (refused when he is
// already a member here), No stores a namesake. Editing a member changes the shared person, so the
// change shows everywhere; deleting one removes his membership and then every person that nothing
// links any more.
#include "VoRegistry.h"

#include <QStringList>

class QAction;
class TVoDBEdit;
class TVoDBLookupEdit;
class TVoMasterDetail;

class TfrCliComponenti : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrCliComponenti(bool withRoleSort, QWidget *parent = nullptr);
    TVoDBEdit *const xedNome;
    TVoDBEdit *const xedCognome;
    TVoDBLookupEdit *const xleQualifica;
    TVoDBLookupEdit *const xleRuolo;
};

// What tells the commissions window from the minutes window.
struct TCliMembersProfile {
    QString caption;
    // The master's table and key column, and the membership table with its key column.
    QString masterTable;
    QString masterKey;
    QString linkTable;
    QString linkKey;
    QString alreadyPresent;
    bool perVerbale;
    const char *masterSelect;
    QStringList masterInsert;
    QStringList masterUpdate;
    QStringList masterDelete;
    const char *detailSelect;
    // The membership's statements; the person's own are the same in both windows.
    const char *linkInsert;
    const char *linkUpdate;
    const char *linkDelete;
    // Whether a person is already a member of the master (:ICPCID, and the master's key by its name).
    const char *memberExistsSQL;
    const char *qualificationList;
};

class TfmCliMembri : public TfmVoRegistry {
    Q_OBJECT
public:
    TVoQueryCollection *const xqcMain;
    TVoQueryCollection *const xqcDetail;
    TfrCliComponenti *const frDetail;
    QAction *const acCarMulti;

protected:
    TfmCliMembri(const TCliMembersProfile &profile, TfrVoDBRWGrid *master, QWidget *parent);
    void FormCreate() override;
    // The key of the master's saved current row; NULL when there is none.
    QVariant MasterKey() const;
    TfrVoDBRWGrid *MasterFrame() const { return m_masterFrame; }

private:
    void xqcDetailBeforePost();
    void xqcDetailBeforeWrite(int listKind);
    void xqcDetailVoBeforeExec(TVoQueryProp &Prop, bool &Allow);
    void xqcDetailVoAfterExec(const TVoQueryProp &Prop);
    void UpdateCarMulti();
    void acCarMultiExecute();

    const TCliMembersProfile &m_profile;
    TfrVoDBRWGrid *const m_masterFrame;
    TVoMasterDetail *const m_link;
    // The person the next membership links: the stored one the user recognised, or the one just
    // stored.
    int FLinkCpcId = 0;
    // The user recognised a stored person: no new person is stored.
    bool m_linkStoredPerson = false;
};

// Sets up a collection's statement lists, each statement in its order.
void CliSetStatements(TVoQueryCollection *collection, const QStringList &insert, const QStringList &update,
                      const QStringList &del);
// A statement constant as text.
inline QString CliSql(const char *text) {
    return QString::fromUtf8(text);
}

#pragma once
// The types of commissions and of testing minutes. Each type belongs to a general type, a type of the
// same table with a key below 1000000; the general types come with the database, can only be read,
// and are the only ones offered as parents. The two windows differ only in their table and words.
#include "VoRegistry.h"

class TVoDBEdit;
class TVoDBLookupEdit;

// What tells the two type registries apart.
struct TCliTypeProfile {
    QString caption;
    QString frameHint;
    const char *select;
    const char *generalList;
    const char *table;
    QString keyField;
    QString codeField;
    QString descField;
    QString parentField;
    // The general type's description as the lookup's list names it, apart from the type's own.
    QString generalDescField;
    QString descWord;
    // What still uses a type (its key as the parameter named like the key field).
    const char *usersSQL;
};

class TfrCliTipo : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    TfrCliTipo(const TCliTypeProfile &profile, QWidget *parent = nullptr);
    TVoDBEdit *const xedCodice;
    TVoDBEdit *const xedDesc;
    TVoDBLookupEdit *const xelGen;
};

class TfmCliTipo : public TfmVoRegistry {
    Q_OBJECT
public:
    TVoQueryCollection *const xqcMain;
    TfrCliTipo *const frMaster;

protected:
    TfmCliTipo(const TCliTypeProfile &profile, QWidget *parent);
    void FormCreate() override;

private:
    const TCliTypeProfile &m_profile;
};

class TfmCliTipiCommissione : public TfmCliTipo {
    Q_OBJECT
public:
    explicit TfmCliTipiCommissione(QWidget *parent = nullptr);
};

class TfmCliTipoVer : public TfmCliTipo {
    Q_OBJECT
public:
    explicit TfmCliTipoVer(QWidget *parent = nullptr);
};

// The message refusing the deletion of a type still in use.
extern const QString KCliTipoInUso;

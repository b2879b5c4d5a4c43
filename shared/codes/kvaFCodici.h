#pragma once
// The small code tables that voucher rows and articles name: conditions of the goods, causals,
// categories, storage locations, VAT rates and units of measure, each kept in a registry window with
// a list page and a detail page. A code that rows or articles of either program still name is not
// deleted. The durable-goods program shows the same tables in these windows under names of its own.
#include "VoQuery.h"
#include "VoRegistry.h"

#include <memory>

// The consumables register's voucher rows and articles that name a code by the column of that name:
// the select of the code's users for GuardDeleteWhileUsed. A macro, so that the statements stay string
// constants.
#define KVA_ROWS_AND_ARTICLES_NAMING(column)                                                                 \
    "SELECT IAFCID FROM TAFC_ARTVELIST WHERE " column " = :" column                                          \
    " UNION ALL SELECT IFARID FROM TFAR_FACARTICOLI WHERE " column " = :" column

class TVoDBCheckBox;
class TVoDBEdit;
class TVoDBMemo;
class TVoDBNumericEdit;

// --- Conditions ---------------------------------------------------------------------------------------

class TfrkvaCond : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvaCond(QWidget *parent = nullptr);
    TVoDBEdit *const xedDesc;
    TVoDBEdit *const xedCodice;
};

class TfmkvaCond : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmkvaCond(QWidget *parent = nullptr);
    TVoQueryCollection *const xqcTabella;
    TfrkvaCond *const frMaster;

protected:
    void FormCreate() override;
};

// --- Causals ------------------------------------------------------------------------------------------

class TfrkvaCausali : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvaCausali(QWidget *parent = nullptr);
    TVoDBEdit *const VoDBEdit1; // code
    TVoDBEdit *const VoDBEdit2; // description
    TVoDBCheckBox *const xckScarico;
};

class TfmkvaCausali : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmkvaCausali(QWidget *parent = nullptr);
    TVoQueryCollection *const xqcMain;
    TfrkvaCausali *const frMaster;

protected:
    // The same causals as another program shows them: its caption and its select of the table.
    TfmkvaCausali(const QString &caption, const char *select, QWidget *parent);
    void FormCreate() override;

private:
    void frMasterVoDBEdit1Validate(bool &Ok, QString &Msg);
    void frMasterVoDBEdit2Validate(bool &Ok, QString &Msg);

    // Finds a causal by its code.
    std::unique_ptr<TVoQuery> quCodice;
    const char *const m_select;
};

// --- Categories ---------------------------------------------------------------------------------------

class TfrkvaCategorie : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvaCategorie(QWidget *parent = nullptr);
    TVoDBEdit *const xedCodice;
    TVoDBEdit *const xedDesc;
};

class TfmkvaCategorie : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmkvaCategorie(QWidget *parent = nullptr);
    TVoQueryCollection *const xqcMain;
    TfrkvaCategorie *const frDetail;

protected:
    void FormCreate() override;
};

// --- Storage locations --------------------------------------------------------------------------------

class TfrkvaCollocazioni : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvaCollocazioni(QWidget *parent = nullptr);
    TVoDBEdit *const xdeCodice;
    TVoDBEdit *const xdeDescrizione;
};

class TfmkvaCollocazioni : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmkvaCollocazioni(QWidget *parent = nullptr);
    TVoQueryCollection *const xqcMain;
    TfrkvaCollocazioni *const frMaster;

protected:
    void FormCreate() override;
};

// --- VAT rates ----------------------------------------------------------------------------------------

class TfrkvaAliquoteIVA : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvaAliquoteIVA(QWidget *parent = nullptr);
    TVoDBEdit *const xdeCodice;
    TVoDBEdit *const xdeDescrizione;
    TVoDBNumericEdit *const xdnIVA;
};

class TfmkvaAliquoteIVA : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmkvaAliquoteIVA(QWidget *parent = nullptr);
    TVoQueryCollection *const xqcAliquoteIVA;
    TfrkvaAliquoteIVA *const frFkvaAliquoteIVA;

protected:
    void FormCreate() override;
};

// --- Units of measure ---------------------------------------------------------------------------------

class TfrkvaUniMisura : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvaUniMisura(QWidget *parent = nullptr);
    TVoDBEdit *const xdeCodice;
    TVoDBEdit *const xdeDescrizione;
    TVoDBMemo *const xdmNote;
    TVoDBEdit *const xdeMisuraCarico;
    TVoDBEdit *const xdeMisuraScarico;
    TVoDBNumericEdit *const xdnFattore;

private:
    void xdeDescrizioneValidate(bool &Ok, QString &Msg);
};

class TfmkvaUniMisura : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmkvaUniMisura(QWidget *parent = nullptr);
    TVoQueryCollection *const xqcUniMisura;
    TfrkvaUniMisura *const frUniMisura;

protected:
    void FormCreate() override;
};

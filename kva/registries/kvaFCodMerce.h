#pragma once
// The goods codes: the table of codes with the details of each, and the goods codes allowed in each
// category (a goods code belongs to at most one). Both windows show a master list above the list of
// its current row's rows.
#include "VoRegistry.h"

class TVoDBEdit;
class TVoDBLookupEdit;
class TVoMasterDetail;
class TVoSearchDialog;

// --- Categories and their goods codes -----------------------------------------------------------------

// The categories, only listed here: they are kept in their own window.
class TfrCategRo : public TfrVoDBROGrid {
    Q_OBJECT
public:
    explicit TfrCategRo(QWidget *parent = nullptr);
};

class TfrCategMerce : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrCategMerce(QWidget *parent = nullptr);
    TVoDBLookupEdit *const xelMerceologia;

private:
    void xelMerceologiaChangeFKValue();
    void xelMerceologiaValidate(bool &Ok, QString &Msg);
    void xelMerceologiaShowSearchForm(TVoSearchDialog *Form);
};

class TfmCategMerce : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmCategMerce(QWidget *parent = nullptr);
    TVoQueryCollection *const xqcMain;
    TVoQueryCollection *const xqcDetail;
    TfrCategRo *const frMaster;
    TfrCategMerce *const frDetail;

protected:
    void FormCreate() override;

private:
    void frMasterxdsMainDataChange(TVoField *Field);

    TVoMasterDetail *m_link;
};

// --- Goods codes and their details --------------------------------------------------------------------

class TfrkvaMer : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvaMer(QWidget *parent = nullptr);
    TVoDBEdit *const xedCodice;
    TVoDBEdit *const xedDesc;
};

class TfrkvaDettCodMerc : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvaDettCodMerc(QWidget *parent = nullptr);
    TVoDBEdit *const xdeCodice;
    TVoDBEdit *const xdeDescrizione;
};

class TfmkvaCodMerce : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmkvaCodMerce(QWidget *parent = nullptr);
    TVoQueryCollection *const xqcMain;
    TVoQueryCollection *const xqcDetail;
    TfrkvaMer *const frMaster;
    TfrkvaDettCodMerc *const frDetail;

protected:
    void FormCreate() override;
};

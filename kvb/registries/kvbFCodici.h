#pragma once
// The code tables that this program's goods and vouchers name: the eight inventory categories (only
// shown) with the goods codes allowed in each, the goods codes, the states of goods, the inventory
// causals, the acceptance documents and the locations. The goods codes, causals, conditions and
// locations are the code tables and windows both programs share, offered here under this program's
// names or with its profile; the delete of a code still named by either program's rows is refused.
#include "VoRegistry.h"
#include "kvaFCodMerce.h"
#include "kvaFCodici.h"

class TVoDBDateEdit;

// --- Inventory categories -----------------------------------------------------------------------------

class TfrkvbCategorie : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvbCategorie(QWidget *parent = nullptr);
    TVoDBEdit *const xedCodice;
    TVoDBEdit *const xedDesc;
};

class TfmkvbCategorie : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmkvbCategorie(QWidget *parent = nullptr);
    TVoQueryCollection *const xqcMain;
    TfrkvbCategorie *const frDetail;

protected:
    void FormCreate() override;
};

// --- States of goods ----------------------------------------------------------------------------------

class TfrkvbTAva : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvbTAva(QWidget *parent = nullptr);
    TVoDBEdit *const xedCodice;
    TVoDBEdit *const xedDesc;
};

class TfmkvbAva : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmkvbAva(QWidget *parent = nullptr);
    TVoQueryCollection *const xqcMain;
    TfrkvbTAva *const frMaster;

protected:
    void FormCreate() override;
};

// --- Inventory causals --------------------------------------------------------------------------------

class TfmkvbCausali : public TfmkvaCausali {
    Q_OBJECT
public:
    explicit TfmkvbCausali(QWidget *parent = nullptr);
};

// --- Acceptance documents -----------------------------------------------------------------------------

class TfrkvbDelibere : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvbDelibere(QWidget *parent = nullptr);
    TVoDBEdit *const xedNumero;
    TVoDBDateEdit *const xdeData;
    TVoDBEdit *const xedDesc;
};

class TfmkvbDelibere : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmkvbDelibere(QWidget *parent = nullptr);
    TVoQueryCollection *const xqcMain;
    TfrkvbDelibere *const frMaster;

protected:
    void FormCreate() override;
};

// --- Goods codes --------------------------------------------------------------------------------------

// The codes both programs share; a new one is marked as this program's.
class TfmkvbCodMerce : public TfmkvaCodMerce {
    Q_OBJECT
public:
    explicit TfmkvbCodMerce(QWidget *parent = nullptr);
};

// The goods categories window (TfmCategMerce) on this program's inventory categories: a goods code may
// stand in several of them.
const TCategMerceProfile &kvbCategMerceProfile();

#pragma once
// Taking over an unloading voucher that the durable-goods program or the inventory registers marked
// for this program: its goods, grouped into articles, become one loading voucher of the current
// register-year, and the source is marked as imported. One window over two sets of tables.
#include "kvaFImpWizard.h"

// The tables and texts by which the two sources differ.
struct TKvaImpSource {
    const char *caption;
    const char *listSQL;
    const char *keyField;
    const char *numberField;
    const char *dateField;
    const char *descField;
    const char *registerField;
    const char *registerTitle;
    const char *checkSQL;
    const char *goodsSQL;
    const char *description;
    const char *table;
    const char *markedSQL;
    const char *remarkSQL;
    // The goods view's own column names, as the goods select returns them.
    const char *goodDesc, *goodAmount, *goodNote, *goodTitle, *goodAuthor, *goodPublisher;
};

extern const TKvaImpSource kvaImpDurables;
extern const TKvaImpSource kvaImpInventory;

class TfmKvaImpBenDur : public TfmKvaImpWizard {
    Q_OBJECT
public:
    explicit TfmKvaImpBenDur(QWidget *parent = nullptr, const TKvaImpSource &source = kvaImpDurables);

    // Columns of the goods grid.
    enum {
        colIvaId = 0,
        colCatId = 1,
        colSedeId = 2,
        colSecId = 3,
        colMerId = 4,
        colClcId = 5,
        colCfmId = 6,
        colDcmId = 7,
        colUnmId = 8,
        colRspId = 9,
        colNote = 10,
        colTitolo = 11,
        colAutore = 12,
        colEditore = 13,
        colDesc = 15,
        colQuantita = 16,
        colPrezzo = 17,
        colIva = 18,
        colCategoria = 19,
        colMerce = 20,
        colSede = 21,
        colLuogo = 22,
        colCount = 23
    };

protected:
    QStringList UnclassifiedCodes() override;
    void LoadGoods() override;
    bool RowsComplete() override;
    bool Post() override;
    bool SameForAllAllowed(int column) override;

private:
    QVariant SourceId() const;
    const TKvaImpSource &m_source;
};

class TfmKvaImpInv : public TfmKvaImpBenDur {
    Q_OBJECT
public:
    explicit TfmKvaImpInv(QWidget *parent = nullptr) : TfmKvaImpBenDur(parent, kvaImpInventory) {}
};

#pragma once
// Taking over a warehouse issue: each row of an unloading movement of the financial year becomes a
// row of one loading voucher of the current register-year, in loading units and priced from the
// warehouse's loads; the voucher keeps the movement, which is then offered no more.
#include "kvaFImpWizard.h"

class TfmKvaImpMag : public TfmKvaImpWizard {
    Q_OBJECT
public:
    explicit TfmKvaImpMag(QWidget *parent = nullptr);

    enum {
        colArtId = 0,
        colIvaId = 1,
        colCatId = 2,
        colSedeId = 3,
        colSecId = 4,
        colCodice = 5,
        colDesc = 6,
        colQuantita = 7,
        colPrezzo = 8,
        colMerce = 9,
        colSede = 10,
        colLuogo = 11,
        colMerId = 12,
        colMgmArtId = 13,
        colClcId = 14,
        colCfmId = 16,
        colDcmId = 17,
        colUnmId = 18,
        colRspId = 19,
        colNote = 20,
        colCount = 21
    };

protected:
    QStringList UnclassifiedCodes() override;
    void LoadGoods() override;
    bool RowsComplete() override;
    bool Post() override;

private:
    QVariant MovementId() const;
};

#pragma once
// The bulk data replacement of the durable goods: the shared replacement on the definition KVBREPLACE,
// the goods picked in the goods picker, each statement's :SELECTEDID a good's iBInbId. A definition's
// field may ask for vouchers around its statements, both provisional and described "Cambio " and the
// caption: InsertScarico="1" an unloading voucher in the current register before the updates,
// InsertCarico="1" a loading voucher after them, in the current register for a category change
// (Name "iCamId") or in the chosen one for a register change ("iFacId"), whose insert script takes
// :iBInbNumero, the next goods number there. Each voucher's amount is then the total of its goods.
#include "AbcFDataReplace.h"

class TfrKvbDblLstInbSelect;

class TfmKvbDataReplace : public TfmAbcDataReplace {
    Q_OBJECT
public:
    explicit TfmKvbDataReplace(QWidget *parent = nullptr);

    TfrKvbDblLstInbSelect *frKvbDblLstInbSelect1;

protected:
    bool ShowsOldValue() const override;
    QStringList InsertParamNames() const override;
    QString BeforeUpdates() override;
    int InitialCount(const QList<int> &rows) const override;
    QString AfterUpdates() override;
    void BeforeInsert(TVoQuery &insert) override;
    void AfterInserts() override;
    QStringList WrittenBesides() const override;

private:
    QString FieldName() const;
    bool Asks(const char *flag) const;
    int NewRegister() const;
    // A new provisional voucher of a kind in a register, or 0 when no register-year of the register
    // holds its date.
    int CreateVoucher(int kind, int registerId);

    int m_unloadingId = 0;
    int m_loadingId = 0;
    // The vouchers of the last run, as the user is told of them.
    QStringList m_vouchersWritten;
};

#pragma once
// The menu of the durable-goods program: its ten pages, its items and the guards that run before
// them. What both programs' menus share is the shell's (AbcMAtt.h).
#include "AbcMAtt.h"

#include <QPointer>

// What the menu sets on the multiple-unloading window when it opens it as the recognition.
class IkvbRecognitionWindow {
public:
    virtual ~IkvbRecognitionWindow() = default;
    // The date of the unloading voucher it makes (a day count with its time).
    virtual void SetVoucherDate(double date) = 0;
    // A condition added to the unloading vouchers it offers.
    virtual void SetVoucherCondition(const QString &condition) = 0;
    // The unloading voucher chosen; -1 none.
    virtual void SetTargetVoucher(int voucherId) = 0;
};

// What the menu sets on the closing window: the closing of the register (1) or its check (0).
class IkvbClosingWindow {
public:
    virtual ~IkvbClosingWindow() = default;
    virtual void SetClosingMode(int mode) = 0;
};

class TdmkvbAtt : public TdmAbcAtt {
    Q_OBJECT
public:
    explicit TdmkvbAtt(QObject *parent = nullptr);
    ~TdmkvbAtt() override;

    TVoApgPage *xpgMov, *xpgRicRiv, *xpgRinumera, *xpgTabelle, *xpgArchiviBase, *xpgStampe, *xpgImport,
        *xpgExport, *xpgUtility, *xpgTools;
    TVoAttForm *xafCarico, *xafScarico, *xafVistaBeni, *xafCambioSettore, *xafStorLuoghi, *xafStorImporti,
        *xafStorSedi, *xafRicognizione, *xafTipoChiusura, *xafChiusura, *xafVerifica, *xafRinumera,
        *xafAggregati, *xafVoci, *xafTipoVer, *xafTipoDoc, *xafCategorie, *xafTipiCommissione, *xafCondizioni,
        *xafStatiAvanz, *xafCausali, *xafMerceol, *xafCatMerc, *xafBeneficiari, *xafDelibere, *xafDoc,
        *xafCommissioni, *xafVerbali, *xafSettCons, *xafResponsabili, *xafCollocazioni, *xafImpInv,
        *xafImpMag, *xafImpVelist, *xafExpInv, *xafExpVelist, *xafSblocco, *xafBlocco, *xafDataReplace,
        *xafVelisto, *xafNuovoAnno;
    TVoAttReport *xarkvbStampe;

    TdmAbcParams *ParamsModule() const override;

    // The good whose history windows the goods list opens: set before it runs a history item.
    int HistoryGoodId() const { return m_historyGoodId; }
    void SetHistoryGoodId(int goodId) { m_historyGoodId = goodId; }

private:
    void xafCaricoBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xafRicognizioneInizializedForm(TVoCustomAtt *Sender, QWidget *Form);
    void xafChiusuraInizializedForm(TVoCustomAtt *Sender, QWidget *Form);
    void xafVerificaInizializedForm(TVoCustomAtt *Sender, QWidget *Form);
    void xafRinumeraBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xafImpMagBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xafImpVelistBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    // The imports from the inventory registers (kind 0) and the hand-over to the consumables register
    // (kind 1) make a voucher of the kind: refused when its dates could not lie in the working year.
    void WorkingYearGuard(int kind, bool &Allow);

    int m_historyGoodId = 0;
    QPointer<QWidget> m_aggregates; // the budget windows opened from the menu
    QPointer<QWidget> m_items;
};

extern TdmkvbAtt *dmkvbAtt;

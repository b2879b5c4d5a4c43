#pragma once
// The menu of the consumables register: its pages, its items and the guards that run before them.
#include "AbcMAtt.h"

#include <QPointer>

// What the import items offer: the warehouse's unloading movements of a financial year (:iEsFin, the
// year number) that no voucher carries yet, and the unloading vouchers of the inventory registers and
// of the durable-goods program marked for this program in a financial year (:iAnfId).
extern const char *const kvaSQLImportWarehouse;
extern const char *const kvaSQLImportInventory;
extern const char *const kvaSQLImportDurables;

class TdmkvaAtt : public TdmAbcAtt {
    Q_OBJECT
public:
    explicit TdmkvaAtt(QObject *parent = nullptr);
    ~TdmkvaAtt() override;

    TVoApgPage *xpgMov, *xpgRicogn, *xpgTabelle, *xpgArchiviBase, *xpgStampe, *xpgImporta, *xpgEsporta,
        *xpgUtility, *xpgTools;
    TVoAttForm *xafCarico, *xafScarico, *xafArticoli, *xafChiusura, *xafVoci, *xafTipoDoc, *xafCategorie,
        *xafAliquote, *xafCondizioni, *xafCausali, *xafMerceol, *xafCatMerc, *xafBeneficiari, *xafDoc,
        *xafSettCons, *xafResponsabili, *xafUniMisura, *xafCollocazioni, *xafImpMag, *xafImpInv,
        *xafImpBenDur, *xafExportBenDur, *xafDataReplace, *xafVelist, *xafNuovoAnno;
    TVoAttShell *xasBeniDur;
    TVoAttReport *xarkvaStampe;

    TdmAbcParams *ParamsModule() const override;

private:
    void xafCaricoBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xafVociBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xafImpMagBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xafImpInvBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xafImpBenDurBeforeExecute(TVoCustomAtt *Sender, bool &Allow);

    // The import guards: nothing to import, and loads dated after the register-year's end.
    void ImportGuard(const QString &sourceSQL, const QString &paramName, const QVariant &paramValue,
                     const QString &nothingMessage, bool &Allow);

    QPointer<QWidget> m_voci; // the budget window last opened from the menu
};

extern TdmkvaAtt *dmkvaAtt;

// Whether a register of this program still lacks its numbering or VAT option.
bool kvaRegisterOptionsMissing();
// What the user is told when one does.
extern const char *const kvaRegisterOptionsMessage;

// The folder of the release notes and of the update marker, beside the program.
QString kvaEtcDir();

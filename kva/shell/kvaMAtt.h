#pragma once
// The menu of the consumables register: its pages, its items and the guards that run before them.
#include "VoAttivazioni.h"

#include <QPointer>
#include <QStringList>

class TdmModAnaAtt;

class TdmkvaAtt : public TdmVoAttivazioni {
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
    TVoAttShell *xasFatture, *xasBeniDur, *xasNotizie;
    TVoAttReport *xarkvaStampe;
    TVoAttComponent *xacParam;

    // The first open window whose caption is exactly the text; nullptr when none.
    static QWidget *FindOpenForm(const QString &caption);
    // The persons registry's frame callback: the responsibles get addresses, phones and e-mail.
    static void AddResponsabiliFrames(int kind, QStringList &frameClasses, QStringList &frameCaptions);

private:
    void xacParamExecute(TVoCustomAtt *Sender);
    void xacParamBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xacParamAfterExecute(TVoCustomAtt *Sender);
    void xafCaricoBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xafVociBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xafVociInizializedForm(TVoCustomAtt *Sender, QWidget *Form);
    void xafBeneficiariBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xafSettConsBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xafResponsabiliBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xafImpMagBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xafImpInvBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xafImpBenDurBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xasFattureBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xasNotizieBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xasNotizieAfterExecute(TVoCustomAtt *Sender);

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

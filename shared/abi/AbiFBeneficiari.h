#pragma once
// The beneficiaries registry in one window (suppliers, recipients and publishers): the beneficiary on
// top and, below, one tab per kind of its details: seats, payment methods with delegates and payee,
// legal data, phones, e-mail addresses, web sites, representatives, substitutions and contribution
// certificates. Everything shown comes from the beneficiaries module (dmBeneficiari), which the menu
// binds before the window is made.
//
// A detail being typed is never dropped: changing tab, moving to another beneficiary or closing the
// window first asks whether to save it, and Cancel keeps the tab, the beneficiary and the typing.
#include "VoChildDB.h"
#include "VoEvent.h"

class QSplitter;
class QTabWidget;
class TVoPageControl;
class TfrAbiDurc;
class TfrBeneficiari;
class TfrDatiBancari;
class TfrDatiLegali;
class TfrDelegatiConto;
class TfrEmail;
class TfrNumTelefono;
class TfrQuietanzante;
class TfrRappresentanti;
class TfrSedi;
class TfrSitiWeb;
class TfrSostituzioni;
class TfrTipoSede;
class TfrVoDBRWGrid;

class TfmBeneficiari : public TfmVoChildDB {
    Q_OBJECT
public:
    explicit TfmBeneficiari(QWidget *parent = nullptr);

    // The tabs, by their detail-tab index.
    enum {
        tabSedi,
        tabPagamenti,
        tabDatiLeg,
        tabTelefono,
        tabMail,
        tabWeb,
        tabRappr,
        tabSostituzioni,
        tabDurc
    };

    TfrBeneficiari *frBen;
    QSplitter *Splitter;
    TVoPageControl *pcContenitore;
    QWidget *tsSedi;
    QSplitter *Splitter2;
    TfrSedi *frSediBen;
    TfrTipoSede *frTpSede;
    QWidget *tsPagamenti;
    QSplitter *Splitter1;
    TfrDatiBancari *frDatiBanca;
    QTabWidget *pcDetail;
    QWidget *tsDelegati;
    TfrDelegatiConto *frDelegatiConto;
    QWidget *tsQuietanzante;
    TfrQuietanzante *frQuietanzante;
    QWidget *tsDatiLeg;
    TfrDatiLegali *frDatiLeg;
    QWidget *tsTelefono;
    TfrNumTelefono *frNumTel;
    QWidget *tsMail;
    TfrEmail *frEmailBen;
    QWidget *tsWeb;
    TfrSitiWeb *frWeb;
    QWidget *tsRappr;
    TfrRappresentanti *frRappr;
    QWidget *tsSostituzioni;
    TfrSostituzioni *frSostitBen;
    QWidget *tsDurc;
    TfrAbiDurc *frDurc;

    void pcContenitoreChanging(int NewIndex, bool &AllowChange);
    // The tab shown: its index recorded, its frames on their first page, its lists read.
    void TabShow(int index);
    void frDatiBancaxdsMainDataChange();

protected:
    void FormCreate() override;
    void FormActivate() override;
    void FormShow() override;
    bool FormCloseQuery() override;
    void FormClose(TCloseAction &Action) override;

private:
    // Hides the historicised beneficiaries of the open list.
    void OpenBeneficiari();
    // Asks whether to save the details of a tab being typed; false when the user cancels.
    bool AskSaveDetails(int tab);
    QList<TfrVoDBRWGrid *> DetailFrames(int tab) const;
    void AskIbanRecalculation();

    TVoHooks m_hooks;
};

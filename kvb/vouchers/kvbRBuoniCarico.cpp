#include "kvbRBuoniCarico.h"

#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoRegistry.h"

TfrkvbBuoniCarico::TfrkvbBuoniCarico(QWidget *parent)
    : TfrVoDBRWGrid(parent), xneNumero(VoAddDetailControl<TVoDBNumericEdit>(this, QStringLiteral("Numero"),
                                                                            QStringLiteral("iBBuoNUMERO"))),
      xdeData(VoAddDetailControl<TVoDBDateEdit>(this, QStringLiteral("Data"), QStringLiteral("dBBuoDATA"))),
      xedDescr(VoAddDetailEdit(this, QStringLiteral("Descrizione"), QStringLiteral("sBBuoDESC"), 250)),
      xelBenef(
          VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Provenienza"), QStringLiteral("iBenId"))),
      xelDelibera(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Documento di accettazione"),
                                                      QStringLiteral("IDELID"))),
      xedNumProt(
          VoAddDetailEdit(this, QStringLiteral("Numero protocollo"), QStringLiteral("sBBuoPROTNUM"), 20)),
      xdeDataProt(VoAddDetailControl<TVoDBDateEdit>(this, QStringLiteral("Data protocollo"),
                                                    QStringLiteral("dBBuoPROTDATA"))),
      xceImporto(VoAddDetailControl<TVoDBCurrencyEdit>(this, QStringLiteral("Importo buono"),
                                                       QStringLiteral("iBBuoIMPORTO"))),
      xceImportoBeni(VoAddDetailControl<TVoDBCurrencyEdit>(this, QStringLiteral("Importo beni"),
                                                           QStringLiteral("IBENIIMP"))),
      xdcRicogniz(VoAddDetailControl<TVoDBCheckBox>(this, QStringLiteral("Buono per ricognizione"),
                                                    QStringLiteral("iBBuoRicogniz"))) {
    setToolTip(QStringLiteral("dati del buono"));
    grFrame->AddColumn(QStringLiteral("iBBuoNUMERO"), QStringLiteral("Numero"));
    grFrame->AddColumn(QStringLiteral("dBBuoDATA"), QStringLiteral("Data"), 78);
    grFrame->AddColumn(QStringLiteral("SBENRAGSOC"), QStringLiteral("Fornitore"), 160);
    grFrame->AddColumn(QStringLiteral("sBBuoDESC"), QStringLiteral("Descrizione"), 240);
    grFrame->AddColumn(QStringLiteral("IBENIIMP"), QStringLiteral("Importo beni"), 0, Qt::AlignRight);
    grFrame->AddColumn(QStringLiteral("iBBuoIMPORTO"), QStringLiteral("Importo buono"), 0, Qt::AlignRight);

    xneNumero->SetDisplayFormat(QStringLiteral("0000000"));
    xneNumero->setMaximumWidth(100);
    for (TVoDBCurrencyEdit *amount : {xceImporto, xceImportoBeni}) {
        amount->SetDisplayFormat(QStringLiteral("#,##0.00"));
        amount->SetScale(4);
        amount->setMaximumWidth(140);
    }
    xceImportoBeni->SetReadOnly(true);
    xceImportoBeni->setFocusPolicy(Qt::NoFocus);
    xelBenef->SetKeyField(QStringLiteral("IBENID"));
    xelBenef->SetListField(QStringLiteral("SBENRAGSOC"));
    xelDelibera->SetKeyField(QStringLiteral("IDELID"));
    xelDelibera->SetListField(QStringLiteral("SDELSTRINGA"));
    xelDelibera->SetSearchField(QStringLiteral("SDELNUMERO"));
}

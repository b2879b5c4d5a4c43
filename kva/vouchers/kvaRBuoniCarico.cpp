#include "kvaRBuoniCarico.h"

#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"

#include <QFormLayout>
#include <QLabel>

TfrkvaBuoniCarico::TfrkvaBuoniCarico(QWidget *parent) : TfrkvaBuoniCarico(0, parent) {}

TfrkvaBuoniCarico::TfrkvaBuoniCarico(int kind, QWidget *parent)
    : TfrVoDBRWGrid(parent), xdeData(new TVoDBDateEdit), xedDescr(new TVoDBEdit),
      xelBenef(new TVoDBLookupEdit), xedNumProt(new TVoDBEdit), xdeDataProt(new TVoDBDateEdit),
      xneNumero(new TVoDBNumericEdit), xceImportoBeni(new TVoDBCurrencyEdit),
      xckScaricato(new TVoDBCheckBox(QStringLiteral("Scaricato"))) {
    const bool loading = kind == 0;
    setToolTip(loading ? QStringLiteral("Dati del carico") : QStringLiteral("Dati dello scarico"));

    grFrame->AddColumn(QStringLiteral("iFBuoNumero"), QStringLiteral("Numero"));
    grFrame->AddColumn(QStringLiteral("dFBuoData"), QStringLiteral("Data"), 78);
    if (loading)
        grFrame->AddColumn(QStringLiteral("sBenRagSoc"), QStringLiteral("Fornitore"), 137);
    grFrame->AddColumn(QStringLiteral("sFBuoDesc"), QStringLiteral("Descrizione"), loading ? 208 : 222);
    grFrame->AddColumn(QStringLiteral("IBENIIMP"), QStringLiteral("Importo beni"), loading ? 0 : 100,
                       Qt::AlignRight);

    xedDescr->setMaxLength(250);
    xedNumProt->setMaxLength(50);
    xneNumero->SetDisplayFormat(QStringLiteral("0000000"));
    xceImportoBeni->SetReadOnly(true);
    xceImportoBeni->setFocusPolicy(Qt::NoFocus);
    xckScaricato->setEnabled(false);
    xelBenef->SetKeyField(QStringLiteral("IBENID"));
    xelBenef->SetListField(QStringLiteral("SBENRAGSOC"));

    auto *form = new QFormLayout(tsDetail);
    const QList<std::tuple<const char *, QWidget *, TVoDBControl *, const char *>> rows = {
        {"Data", xdeData, xdeData, "DFBUODATA"},
        {"Descrizione", xedDescr, xedDescr, "SFBUODESC"},
        {"Provenienza", xelBenef, xelBenef, "IBENID"},
        {"Numero protocollo", xedNumProt, xedNumProt, "SFBUOPROTNUM"},
        {"Data protocollo", xdeDataProt, xdeDataProt, "DFBUOPROTDATA"},
        {"Numero", xneNumero, xneNumero, "IFBUONUMERO"},
        {"Importo beni", xceImportoBeni, xceImportoBeni, "IBENIIMP"},
        {nullptr, xckScaricato, xckScaricato, "lFBuoScaricato"},
    };
    for (const auto &[caption, widget, control, field] : rows) {
        // An unloading voucher has neither supplier nor unloaded mark: they stay hidden, children of
        // the frame, which frees them with itself.
        if (!loading && (widget == xelBenef || widget == xckScaricato)) {
            widget->setParent(this);
            widget->hide();
            continue;
        }
        if (caption) {
            auto *label = new QLabel(QString::fromUtf8(caption));
            label->setBuddy(widget);
            form->addRow(label, widget);
        } else {
            form->addRow(widget);
        }
        control->SetDataSource(xdsMain);
        control->SetDataField(QString::fromLatin1(field));
    }
}

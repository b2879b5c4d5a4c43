#include "kvbRBeniCaricoSca.h"

#include "AbcURoutines.h"
#include "VoDBEdits.h"
#include "VoDBGrid.h"
#include "VoDBLookupEdit.h"
#include "VoRegistry.h"
#include "VoSearchDialog.h"

#include <QFormLayout>

namespace {

TVoDBLookupEdit *GoodLookup(TfrVoDBRWGrid *frame, const char *caption, const char *list) {
    auto *lookup =
        VoAddDetailControl<TVoDBLookupEdit>(frame, QString::fromUtf8(caption), QStringLiteral("iBInbID"));
    lookup->SetKeyField(QStringLiteral("IBINBID"));
    lookup->SetListField(QString::fromLatin1(list));
    return lookup;
}

} // namespace

TfrkvbBeniCaricoSca::TfrkvbBeniCaricoSca(QWidget *parent)
    : TfrVoDBRWGrid(parent), xelNumero(GoodLookup(this, "Numero", "IBINBNUMERO")),
      xceImporto(VoAddDetailControl<TVoDBCurrencyEdit>(this, QStringLiteral("Importo"),
                                                       QStringLiteral("iBInbIMPORTO"))),
      xelDesc(GoodLookup(this, "Descrizione", "SBINBDESC")),
      xedTitolo(VoAddDetailEdit(this, QStringLiteral("Titolo libro"), QStringLiteral("sBInbLIBTITOLO"), 100)),
      xedAutore(VoAddDetailEdit(this, QStringLiteral("Autore"), QStringLiteral("sBInbLIBAUTORE"), 100)),
      xedEditore(VoAddDetailEdit(this, QStringLiteral("Editore"), QStringLiteral("sBInbLIBEDITORE"), 100)),
      xelCond(GoodLookup(this, "Condizione", "SCONDDESC")),
      xelCateg(GoodLookup(this, "Categoria", "SCAMDESC")),
      xelCausale(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Causale di scarico"),
                                                     QStringLiteral("ICAVIDSCARICO"))) {
    setToolTip(QStringLiteral("Dati di scarico del bene"));
    grFrame->AddColumn(QStringLiteral("iBInbNUMERO"), QStringLiteral("Numero"));
    grFrame->AddColumn(QStringLiteral("SCamDESC"), QStringLiteral("Categoria"), 160);
    grFrame->AddColumn(QStringLiteral("sBInbDESC"), QStringLiteral("Descrizione"), 240);
    grFrame->AddColumn(QStringLiteral("iBInbIMPORTO"), QStringLiteral("Valore"), 0, Qt::AlignRight);

    xelNumero->SetSearchField(QStringLiteral("IBINBNUMERO"));
    xelNumero->setMaximumWidth(120);
    xelNumero->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *form) {
        SetSearchForm(form, {QStringLiteral("Numero"), QStringLiteral("Descrizione")}, {100, 200});
    });
    xelNumero->OnChangeFKValue.Add([this](TVoDBLookupEdit *) { xelNumeroChangeFKValue(); });
    xceImporto->SetDisplayFormat(QStringLiteral("#,##0.00"));
    xceImporto->SetScale(4);
    xceImporto->setMaximumWidth(140);
    for (TVoDBControl *shown :
         std::initializer_list<TVoDBControl *>{xelDesc, xedTitolo, xedAutore, xedEditore, xelCond, xelCateg})
        shown->SetReadOnly(true);
    xelCausale->SetKeyField(QStringLiteral("ICAVID"));
    xelCausale->SetListField(QStringLiteral("SCAVDESC"));
    xelCausale->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *form) {
        SetSearchFormTable(form, QStringLiteral("Causali"));
    });
    ShowBook(false);
}

void TfrkvbBeniCaricoSca::ShowBook(bool book) {
    VoSetFieldRowVisible(xelDesc, !book);
    for (QWidget *edit : std::initializer_list<QWidget *>{xedTitolo, xedAutore, xedEditore})
        VoSetFieldRowVisible(edit, book);
}

void TfrkvbBeniCaricoSca::xelNumeroChangeFKValue() {
    const int state = xdsMain->State();
    if (state != dsInsert && state != dsEdit)
        return;
    const QVariant good = xelNumero->KeyValue();
    for (TVoDBLookupEdit *companion : {xelDesc, xelCateg, xelCond}) {
        companion->SetReadOnly(false);
        companion->SetKeyValue(good);
        companion->SetReadOnly(true);
    }
}

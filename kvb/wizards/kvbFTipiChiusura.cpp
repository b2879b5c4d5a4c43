#include "kvbFTipiChiusura.h"

#include "AbcURoutines.h"
#include "VoDBEdits.h"

TfrkvbTipiChiusura::TfrkvbTipiChiusura(QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xedCodice(VoAddDetailEdit(this, QStringLiteral("Codice"), QStringLiteral("sTchSDesc"), 20)),
      xedDesc(VoAddDetailEdit(this, QStringLiteral("Descrizione"), QStringLiteral("sTchLDesc"), 100)) {
    grFrame->AddColumn(QStringLiteral("sTchSDesc"), QStringLiteral("Codice"));
    grFrame->AddColumn(QStringLiteral("sTchLDesc"), QStringLiteral("Descrizione"), 250);
    SetControlWritable(xedCodice, false);
    SetControlWritable(xedDesc, false);
}

TfmkvbTipiChiusura::TfmkvbTipiChiusura(QWidget *parent)
    : TfmVoRegistry(parent), xqcMain(NewCollection(QStringLiteral("xqcMain"))),
      frMaster(new TfrkvbTipiChiusura) {
    setWindowTitle(QStringLiteral("Tabella tipi di chiusura"));
    Arrange(frMaster, xqcMain);
}

void TfmkvbTipiChiusura::FormCreate() {
    TfmVoRegistry::FormCreate();
    SetUpRegistry(frMaster, xqcMain,
                  QStringLiteral("SELECT iTchId, sTchSDesc, sTchLDesc, iLocked FROM TTch_TipoChiusura "),
                  {{0, QStringLiteral("sTchSDesc"), true}, {1, QStringLiteral("sTchLDesc"), true}});
}

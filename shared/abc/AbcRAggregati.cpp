#include "AbcRAggregati.h"

#include "AbcMVpro.h"
#include "AbcUUtil.h"
#include "VoDBEdits.h"
#include "VoDates.h"
#include "VoExceptions.h"

#include <QFormLayout>
#include <QLabel>

TfrAggregati::TfrAggregati(QWidget *parent) : TfrVoDBRWGrid(parent) {
    setObjectName(QStringLiteral("frFAggregati"));
    grFrame->AddColumn(QStringLiteral("SAGGDESCS"), QStringLiteral("Codice"), 60);
    grFrame->AddColumn(QStringLiteral("SAGGDESCL"), QStringLiteral("Descrizione"), 534);

    xdeCodice = new TVoDBEdit(tsDetail);
    xdeCodice->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    laCodice = new QLabel(QStringLiteral("Codice"), tsDetail);
    xdeDescrizione = new TVoDBEdit(tsDetail);
    laDescrizione = new QLabel(QStringLiteral("Descrizione"), tsDetail);
    laInizio = new QLabel(QStringLiteral("Inizio validità"), tsDetail);
    laDataInizio = new QLabel(tsDetail);
    laFine = new QLabel(QStringLiteral("Fine validità"), tsDetail);
    laDataFine = new QLabel(tsDetail);
    laCodice->setBuddy(xdeCodice);
    laDescrizione->setBuddy(xdeDescrizione);
    auto *form = new QFormLayout(tsDetail);
    form->addRow(laCodice, xdeCodice);
    form->addRow(laDescrizione, xdeDescrizione);
    form->addRow(laInizio, laDataInizio);
    form->addRow(laFine, laDataFine);
    xdeCodice->Bind(xdsMain, QStringLiteral("SAGGDESCS"));
    xdeDescrizione->Bind(xdsMain, QStringLiteral("SAGGDESCL"));

    xacInsert->OnExecute.Add([this](TVoDataAction *) { xacInsertExecute(); });
    xacCancel->OnExecute.Add([this](TVoDataAction *) { xacCancelExecute(); });
    xdsMain->OnDataChange.Add([this](TVoDataSource *, TVoField *field) {
        if (!field)
            ShowValidity();
    });
    xdeCodice->OnKeyDown.Add([this](QWidget *, int &key, Qt::KeyboardModifiers) { xdeCodiceKeyDown(key); });
}

void TfrAggregati::Bind(TVoQueryCollection *dataSet) {
    m_hooks.Clear();
    SetDataSet(dataSet);
    m_hooks.Add(dataSet, dataSet->BeforePost, [this](TVoQueryCollection *) { xqcAggregatiBeforePost(); });
}

// The validity is shown for an aggregate that ends.
void TfrAggregati::ShowValidity() {
    const TVoQueryCollection *c = DataSet();
    const bool ends = c && c->Active() && !c->IsEmpty() && !c->FieldByName(QStringLiteral("DEND"))->IsNull();
    for (QLabel *label : {laInizio, laDataInizio, laFine, laDataFine})
        label->setVisible(ends);
    if (!ends)
        return;
    laDataInizio->setText(c->FieldByName(QStringLiteral("DSTART"))->AsString());
    laDataFine->setText(c->FieldByName(QStringLiteral("DEND"))->AsString());
}

void TfrAggregati::xacInsertExecute() {
    laInizio->show();
    laDataInizio->setText(FormatDays(CurrentYearStart));
    laDataInizio->show();
    laFine->hide();
    laDataFine->hide();
    xacInsert->ExecuteDefault();
    // Income aggregates are numbered.
    if (AggCashFlow == 1 && xdsMain->State() == dsInsert)
        DataSet()->FieldByName(QStringLiteral("SAGGDESCS"))->SetValue(NextAggregateCode());
}

void TfrAggregati::xacCancelExecute() {
    ShowValidity();
    xacCancel->ExecuteDefault();
}

void TfrAggregati::xacPostExecute() {
    xacPost->ExecuteDefault();
}

// Income codes are digits; other aggregates are coded by a letter.
void TfrAggregati::xdeCodiceKeyDown(int &Key) {
    if (AggCashFlow == 1)
        DigitKeysOnly(Key);
    else if (Key >= Qt::Key_0 && Key <= Qt::Key_9)
        Key = 0;
}

void TfrAggregati::xqcAggregatiBeforePost() {
    TVoQueryCollection *c = DataSet();
    if (xdeCodice->text().isEmpty())
        RefusePost(VproCodeRequired, this, xdeCodice);
    if (c->State() != dsEdit)
        return;
    const int aggregateId = c->FieldByName(QStringLiteral("iAggId"))->AsInteger();
    if (!IsAggregateOccupied(aggregateId))
        return;
    if (IsAggregateBlocked(aggregateId))
        RefusePost(VproFrozen);
    if (!ConfirmModelsUpdate())
        throw EVoAbort();
}

#include "AbcRSottoVoci.h"

#include "AbcMVpro.h"
#include "VoDBEdits.h"
#include "VoExceptions.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>

TfrSottoVoci::TfrSottoVoci(QWidget *parent) : TfrVproConto(parent) {
    setObjectName(QStringLiteral("frFSottoVoci"));
    grFrame->AddColumn(QStringLiteral("SSVODESCS"), QStringLiteral("Codice"), 60);
    grFrame->AddColumn(QStringLiteral("SSVODESCL"), QStringLiteral("Descrizione"), 400);
    grFrame->AddColumn(QStringLiteral("ContoCompetenza"), QStringLiteral("Competenza"), 0, Qt::AlignCenter);
    grFrame->AddColumn(QStringLiteral("ContoResidui"), QStringLiteral("Residui"), 0, Qt::AlignCenter);

    xdeCodice = new TVoDBEdit(tsDetail);
    xdeCodice->SetUpperCase(true);
    xdeCodice->setMaxLength(3);
    xdeCodice->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    laCodice = new QLabel(QStringLiteral("Codice "), tsDetail);
    xdeDescrizione = new TVoDBEdit(tsDetail);
    xdeDescrizione->setMaxLength(82);
    laDescrizione = new QLabel(QStringLiteral("Descrizione "), tsDetail);
    auto *form = new QFormLayout(tsDetail);
    laCodice->setBuddy(xdeCodice);
    laDescrizione->setBuddy(xdeDescrizione);
    form->addRow(laCodice, xdeCodice);
    form->addRow(laDescrizione, xdeDescrizione);
    form->addRow(gbConto);
    xdeCodice->Bind(xdsMain, QStringLiteral("SSVODESCS"));
    xdeDescrizione->Bind(xdsMain, QStringLiteral("SSVODESCL"));

    xacInsert->OnExecute.Add([this](TVoDataAction *) { xacInsertExecute(); });
    xacCancel->OnExecute.Add([this](TVoDataAction *) { xacCancelExecute(); });
    xacRefresh->OnExecute.Add([this](TVoDataAction *) { xacRefreshExecute(); });
    xdsMain->OnDataChange.Add([this](TVoDataSource *, TVoField *field) {
        if (!field)
            ShowRow();
    });
    xdsMain->AfterStateChange.Add([this](TVoDataSource *) { xdsMainAfterStateChange(); });
    OnDetailShow.Add([this](TfrVoDBRWGrid *) { tsDetailShow(); });
    xdeCodice->OnKeyDown.Add([](QWidget *, int &key, Qt::KeyboardModifiers) { DigitKeysOnly(key); });
}

void TfrSottoVoci::Bind(TVoQueryCollection *dataSet) {
    m_hooks.Clear();
    SetDataSet(dataSet);
    m_hooks.Add(dataSet, dataSet->AfterInsert, [this](TVoQueryCollection *) { xqcSottoVociAfterInsert(); });
    m_hooks.Add(dataSet, dataSet->BeforePost, [this](TVoQueryCollection *) { xqcSottoVociBeforePost(); });
}

// No sub-item stored: none listed, or only the one being made.
bool TfrSottoVoci::NoSubItems() const {
    TVoQueryCollection *c = DataSet();
    if (!c || !c->Active() || c->IsEmpty())
        return true;
    return c->State() == dsInsert && c->RecordCount() == 1;
}

bool TfrSottoVoci::ItemHasBoth() const {
    return dmVproDBQuery->VproCompetenza && dmVproDBQuery->VproResidui;
}

void TfrSottoVoci::ClearAccounts() {
    dmVproDBQuery->SvoCompetenza = dmVproDBQuery->SvoResidui = false;
    ShowAccounts(false, false);
    EnableAccounts(true);
}

void TfrSottoVoci::FollowItem() {
    EnableAccounts(false);
    dmVproDBQuery->SvoCompetenza = dmVproDBQuery->VproCompetenza;
    dmVproDBQuery->SvoResidui = dmVproDBQuery->VproResidui;
    ShowAccounts(dmVproDBQuery->VproCompetenza, dmVproDBQuery->VproResidui);
}

void TfrSottoVoci::ShowRow() {
    if (!dmVproDBQuery)
        return;
    if (NoSubItems()) {
        ClearAccounts();
        return;
    }
    const TVoQueryCollection *c = DataSet();
    dmVproDBQuery->SvoCompetenza = RowHasAccount("ContoCompetenza");
    dmVproDBQuery->SvoResidui = RowHasAccount("ContoResidui");
    ShowAccounts(dmVproDBQuery->SvoCompetenza, dmVproDBQuery->SvoResidui);
    EnableAccounts(ItemHasBoth() && c->FieldByName(QStringLiteral("ILOCKED"))->AsInteger() <= 0);
}

void TfrSottoVoci::tsDetailShow() {
    if (NoSubItems())
        ClearAccounts();
    else if (ItemHasBoth())
        EnableAccounts(true);
    else
        FollowItem();
}

void TfrSottoVoci::InsertAccounts() {
    if (ItemHasBoth()) {
        EnableAccounts(true);
        if (!NoSubItems())
            ShowAccounts(false, false);
    } else {
        FollowItem();
    }
    dmVproDBQuery->SvoCompetenza = dmVproDBQuery->SvoResidui = false;
}

void TfrSottoVoci::xacInsertExecute() {
    InsertAccounts();
    xacInsert->ExecuteDefault();
}

void TfrSottoVoci::xacCancelExecute() {
    xacCancel->ExecuteDefault();
    ShowRow();
}

void TfrSottoVoci::xacRefreshExecute() {
    tsDetailShow();
    xacRefresh->ExecuteDefault();
}

void TfrSottoVoci::xacPostExecute() {
    xacPost->ExecuteDefault();
}

void TfrSottoVoci::xdsMainAfterStateChange() {
    if (xdsMain->State() != dsInsert)
        return;
    InsertAccounts();
    // The new row belongs to the current item, whose sub-items the statements write.
    DataSet()
        ->FieldByName(QStringLiteral("SSVODESCS"))
        ->SetValue(NextSubItemCode(dmVproDBQuery->CurrentVproId));
}

bool TfrSottoVoci::StoredAccount(bool competenza) const {
    return competenza ? dmVproDBQuery->SvoCompetenza : dmVproDBQuery->SvoResidui;
}

// Editing the sub-item, or making the first one.
void TfrSottoVoci::StartChange() {
    if (NoSubItems())
        xacInsertExecute();
    else
        xdsMain->Edit();
}

void TfrSottoVoci::xqcSottoVociAfterInsert() {
    DataSet()->FieldByName(QStringLiteral("IVPROID"))->SetAsInteger(dmVproDBQuery->CurrentVproId);
}

void TfrSottoVoci::xqcSottoVociBeforePost() {
    TVoQueryCollection *c = DataSet();
    TdmVproDBQuery *dm = dmVproDBQuery;
    const bool editing = c->State() == dsEdit;
    if (NoSubItems() && !ItemHasBoth())
        ShowAccounts(dm->VproCompetenza, dm->VproResidui);
    const int subItemId = c->FieldByName(QStringLiteral("iSvoId"))->AsInteger();
    const bool competenza = ckCompetenza->isChecked();
    const bool residui = ckResidui->isChecked();
    if (!competenza && !residui)
        RefusePost(VproNoAccount);
    if (editing && ((!competenza && dm->SvoCompetenza) || (!residui && dm->SvoResidui)) &&
        IsSubItemOccupied(subItemId))
        RefusePost(VproAccountLost);
    const QString code = c->FieldByName(QStringLiteral("SSVODESCS"))->AsString().trimmed();
    if (code.isEmpty())
        RefusePost(VproCodeRequired, this, xdeCodice);
    if (editing && IsSubItemOccupied(subItemId)) {
        const QString stored = c->FieldByName(QStringLiteral("SSVODESCS"))->OldValue().toString().trimmed();
        if (IsSubItemBlocked(subItemId) && code != stored)
            RefusePost(VproFrozen);
        if (!ConfirmModelsUpdate())
            throw EVoAbort();
    }
    dm->SvoCorId = competenza && residui ? 3 : competenza ? 1 : 2;
    c->FieldByName(QStringLiteral("ICORID"))->SetAsInteger(dm->SvoCorId);
}

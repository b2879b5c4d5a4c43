#include "kvaRFac.h"

#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "kvaUUtil.h"

#include <QFormLayout>
#include <QLabel>

TfrkvaTFac::TfrkvaTFac(QWidget *parent) : TfrVoDBRWGrid(parent) {
    setObjectName(QStringLiteral("frkvaFac"));
    grFrame->AddColumn(QStringLiteral("sFacDesc"), QStringLiteral("Descrizione"), 370);
    grFrame->AddColumn(QStringLiteral("sTfcLDesc"), QStringLiteral("Tipo"), 200);

    xdeDesc = new TVoDBEdit(tsDetail);
    xdeDesc->setMaxLength(32);
    laDesc = new QLabel(QStringLiteral("Descrizione"), tsDetail);
    laDesc->setBuddy(xdeDesc);

    xelTipoFac = new TVoDBLookupEdit(tsDetail);
    xelTipoFac->SetKeyField(QStringLiteral("iTfcId"));
    xelTipoFac->SetListField(QStringLiteral("sTfcLDesc"));
    xelTipoFac->SetSearchField(QStringLiteral("sTfcLDesc"));
    xelTipoFac->SetSearchFormClass(QStringLiteral("TfmVoSearch"));
    xelTipoFac->SetAutoSeek(false);
    xelTipoFac->SetDefaultValue(0);
    laTipoFac = new QLabel(QStringLiteral("Tipo Velisto"), tsDetail);
    laTipoFac->setBuddy(xelTipoFac);

    xckIva = new TVoDBCheckBox(QStringLiteral("Carica importi già ivati"), tsDetail);
    xckNumAnnuale = new TVoDBCheckBox(QStringLiteral("Gestione annuale"), tsDetail);
    // The state rules open them as the register is made or edited.
    for (TVoDBControl *control : std::initializer_list<TVoDBControl *>{xelTipoFac, xckIva, xckNumAnnuale})
        SetControlWritable(control, false);

    auto *form = new QFormLayout(tsDetail);
    form->addRow(laDesc, xdeDesc);
    form->addRow(laTipoFac, xelTipoFac);
    form->addRow(xckIva);
    form->addRow(xckNumAnnuale);

    const std::pair<TVoDBControl *, const char *> bindings[] = {{xdeDesc, "sFacDesc"},
                                                                {xelTipoFac, "iTfcId"},
                                                                {xckIva, "iFacIvaInclusa"},
                                                                {xckNumAnnuale, "iFacNumeraz"}};
    for (const auto &[control, field] : bindings) {
        control->SetDataSource(xdsMain);
        control->SetDataField(QString::fromLatin1(field));
    }

    xdeDesc->OnValidate.Add([this](QWidget *s, bool &ok, QString &msg) { xdeDescValidate(s, ok, msg); });
    xelTipoFac->OnValidate.Add(
        [this](QWidget *s, bool &ok, QString &msg) { xelTipoFacValidate(s, ok, msg); });
    xelTipoFac->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xelTipoFacShowSearchForm(s, f); });
    xdsMain->AfterStateChange.Add([this](TVoDataSource *s) { xdsMainAfterStateChange(s); });
    xdsMain->OnDataChange.Add([this](TVoDataSource *s, TVoField *f) { xdsMainDataChange(s, f); });
    OnDetailShow.Add([this](TfrVoDBRWGrid *s) { tsDetailShow(s); });
}

void TfrkvaTFac::xdeDescValidate(QWidget *, bool &Ok, QString &Msg) {
    if (xdeDesc->text().isEmpty()) {
        Ok = false;
        Msg = QStringLiteral("descrizione");
    }
}

void TfrkvaTFac::xelTipoFacValidate(QWidget *, bool &Ok, QString &Msg) {
    if (xelTipoFac->text().isEmpty()) {
        Ok = false;
        Msg = QStringLiteral("tipo di Velisto");
    }
}

void TfrkvaTFac::xelTipoFacShowSearchForm(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    SetSearchFormTable(Form, QStringLiteral("tipo Velisto"));
}

void TfrkvaTFac::ApplyOptionRule() {
    const TVoQueryCollection *c = DataSet();
    if (!c || xdsMain->State() == dsInsert)
        return;
    const std::pair<TVoDBCheckBox *, const char *> options[] = {{xckNumAnnuale, "iFacNumeraz"},
                                                                {xckIva, "iFacIvaInclusa"}};
    for (const auto &[box, name] : options) {
        const TVoField *f = c->Active() && !c->IsEmpty() ? c->FindField(QString::fromLatin1(name)) : nullptr;
        // As stored: a box ticked by mistake in this edit can be unticked again.
        const QVariant stored = f ? f->OldValue() : QVariant();
        SetControlWritable(box, f && (stored.isNull() || stored.toInt() != 0));
    }
}

void TfrkvaTFac::xdsMainAfterStateChange(TVoDataSource *) {
    switch (xdsMain->State()) {
    case dsBrowse:
    case dsInsert:
        for (TVoDBControl *control : std::initializer_list<TVoDBControl *>{xelTipoFac, xckIva, xckNumAnnuale})
            SetControlWritable(control, xdsMain->State() == dsInsert);
        break;
    case dsEdit:
        SetControlWritable(xelTipoFac, false);
        ApplyOptionRule();
        xckIva->update();
        xckNumAnnuale->update();
        break;
    default:
        break;
    }
}

void TfrkvaTFac::xdsMainDataChange(TVoDataSource *, TVoField *) {
    ApplyOptionRule();
}

void TfrkvaTFac::tsDetailShow(TfrVoDBRWGrid *) {
    // Coming back to the page of a register being made, its type can still be chosen.
    if (xdsMain->State() != dsInsert)
        SetControlWritable(xelTipoFac, false);
    ApplyOptionRule();
    xckIva->update();
    xckNumAnnuale->update();
}

#include "kvaRFac.h"

#include "AbcURoutines.h"
#include "VoDBEdits.h"
#include "VoQueryCollection.h"

#include <QFormLayout>

TfrkvaTFac::TfrkvaTFac(QWidget *parent) : TfrAbcTFac(QStringLiteral("Tipo"), parent) {
    setObjectName(QStringLiteral("frkvaFac"));
    xckIva = new TVoDBCheckBox(QStringLiteral("Carica importi già ivati"), tsDetail);
    xckNumAnnuale = new TVoDBCheckBox(QStringLiteral("Gestione annuale"), tsDetail);
    DetailLayout()->addRow(xckIva);
    DetailLayout()->addRow(xckNumAnnuale);
    const std::pair<TVoDBCheckBox *, const char *> bindings[] = {{xckIva, "iFacIvaInclusa"},
                                                                 {xckNumAnnuale, "iFacNumeraz"}};
    for (const auto &[box, field] : bindings) {
        // The state rules open them as the register is made or edited.
        SetControlWritable(box, false);
        box->SetDataSource(xdsMain);
        box->SetDataField(QString::fromLatin1(field));
    }

    xdsMain->AfterStateChange.Add([this](TVoDataSource *s) { xdsMainAfterStateChange(s); });
    xdsMain->OnDataChange.Add([this](TVoDataSource *s, TVoField *f) { xdsMainDataChange(s, f); });
    OnDetailShow.Add([this](TfrVoDBRWGrid *s) { tsDetailShow(s); });
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
        for (TVoDBCheckBox *box : {xckIva, xckNumAnnuale})
            SetControlWritable(box, xdsMain->State() == dsInsert);
        break;
    case dsEdit:
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
    ApplyOptionRule();
    xckIva->update();
    xckNumAnnuale->update();
}

#include "AbcRVproConto.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>

TfrVproConto::TfrVproConto(QWidget *parent) : TfrVoDBRWGrid(parent) {
    gbConto = new QGroupBox(QStringLiteral("Conto"), tsDetail);
    ckCompetenza = new QCheckBox(QStringLiteral("Competenza"), gbConto);
    ckResidui = new QCheckBox(QStringLiteral("Residui"), gbConto);
    auto *accounts = new QHBoxLayout(gbConto);
    accounts->addWidget(ckCompetenza);
    accounts->addWidget(ckResidui);
    accounts->addStretch();
    for (QCheckBox *box : {ckCompetenza, ckResidui})
        connect(box, &QCheckBox::clicked, this,
                [this, box] { VoGuarded([this, box] { AccountClicked(box); }); });
}

void TfrVproConto::EnableAccounts(bool enabled) {
    ckCompetenza->setEnabled(enabled);
    ckResidui->setEnabled(enabled);
}

bool TfrVproConto::RowHasAccount(const char *field) const {
    const TVoQueryCollection *c = DataSet();
    return c && c->Active() && !c->IsEmpty() &&
           c->FieldByName(QString::fromLatin1(field))->AsString() == QStringLiteral("SI");
}

void TfrVproConto::ShowAccounts(bool competenza, bool residui) {
    ckCompetenza->setChecked(competenza);
    ckResidui->setChecked(residui);
}

void TfrVproConto::AccountClicked(QCheckBox *box) {
    const bool stored = StoredAccount(box == ckCompetenza);
    if (xdsMain->State() != dsBrowse || !DetailShown() || box->isChecked() == stored)
        return;
    StartChange();
    // Nothing started: the box shows what is stored again.
    if (xdsMain->State() == dsBrowse)
        box->setChecked(stored);
}

#include "kvaFRptSecMerc_select.h"

#include "VoIdComboBox.h"
#include "VoUtils.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char *const kSectorsSQL =
    "SELECT sec.iSecId, sec.sSecCod || ' - ' || sec.sSecDescS AS sDesc FROM TSec_SettCons sec";

} // namespace

TfmRptSecMerc_select::TfmRptSecMerc_select(QWidget *parent)
    : TfmVoMultiSelect(parent), cbSettore(new TVoIdComboBox(this)) {
    auto *panel = new QWidget(this);
    panel->setFixedHeight(41);
    auto *row = new QHBoxLayout(panel);
    row->addWidget(new QLabel(QStringLiteral("Settore di consegna"), panel));
    cbSettore->setParent(panel);
    cbSettore->setFixedWidth(177);
    row->addWidget(cbSettore);
    row->addStretch(1);
    ClientLayout()->insertWidget(0, panel);
    // Printing for a sector needs one.
    connect(cbSettore, &QComboBox::currentIndexChanged, this,
            [this](int index) { buOk->setEnabled(index >= 0); });
}

void TfmRptSecMerc_select::FormShow() {
    TfmVoMultiSelect::FormShow();
    cbSettore->SetEnumValues(LoadEnumValues(QString::fromLatin1(kSectorsSQL)));
    cbSettore->ClearSelection();
    buOk->setEnabled(false);
}

#include "kvbRBuoniScarico.h"

#include "VoDBGrid.h"
#include "VoDBLookupEdit.h"
#include "VoRegistry.h"

#include <QFormLayout>
#include <QLabel>

TfrkvbBuoniScarico::TfrkvbBuoniScarico(QWidget *parent) : TfrkvbBuoniCarico(parent) {
    if (auto *label = qobject_cast<QLabel *>(VoDetailForm(this)->labelForField(xelBenef)))
        label->setText(QStringLiteral("Destinazione"));
    grFrame->SetColumnTitle(2, QStringLiteral("Destinatario"));
}

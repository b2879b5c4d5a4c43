#include "kvbRBuoniScarico.h"

#include "VoDBGrid.h"
#include "VoDBLookupEdit.h"
#include "VoQueryCollection.h"
#include "VoRegistry.h"
#include "VoTableModel.h"

#include <QBrush>
#include <QFormLayout>
#include <QLabel>

TfrkvbBuoniScarico::TfrkvbBuoniScarico(QWidget *parent) : TfrkvbBuoniCarico(parent) {
    if (auto *label = qobject_cast<QLabel *>(VoFieldLabel(xelBenef)))
        label->setText(QStringLiteral("Destinazione"));
    grFrame->SetColumnTitle(2, QStringLiteral("Destinatario"));
    // Definitive vouchers stand out; a selected row keeps the highlight.
    grFrame->Model()->RowForeground = [this](int row) -> QVariant {
        const TVoQueryCollection *vouchers = DataSet();
        const TVoField *locked = vouchers ? vouchers->FindField(QStringLiteral("ILOCKED")) : nullptr;
        if (!locked || vouchers->RowValue(row, locked->Index()).toInt() <= 0)
            return QVariant();
        return QBrush(QColor(Qt::red));
    };
}

#pragma once
// The goods picker of the bulk data replacement: the current register's goods that a definitive
// voucher loaded, still in charge and in the register's numbering, each item carrying its iBInbId,
// narrowed by the filter composed on the stored goods filter.
#include "AbcRDblLstSelect.h"

class TfrKvbDblLstInbSelect : public TfrAbcDblLstSelect {
    Q_OBJECT
public:
    explicit TfrKvbDblLstInbSelect(QWidget *parent = nullptr);

protected:
    QString ListSQL() const override;
    QVariantHash ListParams() const override;
    QTreeWidgetItem *NewListItem(const TVoQuery &q) const override;
};

#pragma once
// The article picker: the catalogue's articles, each item carrying its article's iFarId, narrowed by
// the filter composed on the stored definition of the article fields.
#include "AbcRDblLstSelect.h"

class TfrKvaDblLstArtSelect : public TfrAbcDblLstSelect {
    Q_OBJECT
public:
    explicit TfrKvaDblLstArtSelect(QWidget *parent = nullptr);

protected:
    QString ListSQL() const override;
    QTreeWidgetItem *NewListItem(const TVoQuery &q) const override;
};

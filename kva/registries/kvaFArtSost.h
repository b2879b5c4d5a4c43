#pragma once
// The merging of a duplicate article into another: every voucher row of the article, in every
// register and year, passes to the other article, the article leaves the catalogue and the other
// article's unloading rows are priced again.
#include "VoDialogs.h"

#include <QString>

class QLabel;
class TVoDataSource;
class TVoDBLookupEdit;
class TVoQueryCollection;
class TVoSearchDialog;

// Moves the rows of article oldId to article newId, deletes oldId and prices again every unloading row
// of newId at its own voucher's date and register-year, all in one transaction: a failure leaves rows,
// articles and costs as they were and reaches the caller.
void kvaReplaceArticle(int oldId, int newId);

class TfmKvaArtSost : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    explicit TfmKvaArtSost(QWidget *parent = nullptr);

    // The article to replace, set by the opener.
    int iFarId = -1;
    QString sFarSDesc;
    QString sFarLDesc;

    TVoQueryCollection *const xqc;
    TVoDataSource *const xds;
    QLabel *const laArtOld;
    TVoDBLookupEdit *const xelCod;
    TVoDBLookupEdit *const xelDesc;
    TVoDBLookupEdit *const xelCat;
    TVoDBLookupEdit *const xelCodMerce;
    TVoDBLookupEdit *const xelDettCodMerce;
    TVoDBLookupEdit *const xelUniMis;
    TVoDBLookupEdit *const xelIva;

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormClose(TCloseAction &Action) override;
    void buOkClick() override;

private:
    void xelDescShowSearchForm(TVoSearchDialog *Form);
    void xelDescChangeFKValue();
    // The lookups that only show the article chosen.
    QList<TVoDBLookupEdit *> Followers() const;
};

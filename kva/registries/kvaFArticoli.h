#pragma once
// The article catalogue: every article the voucher rows name, searched as the user types, corrected,
// deleted while no row uses it, with its stock on request and the merging of a duplicate.
#include "VoRegistry.h"

class TfrKvaRicerca;
class TfrkvaArticoli;

class TfmkvaArticoli : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmkvaArticoli(QWidget *parent = nullptr);

    TVoQueryCollection *const xqcArticoli;
    TfrkvaArticoli *const frArticoli;
    TfrKvaRicerca *const frKvaRicerca1;

protected:
    void FormCreate() override;
    void FormShow() override;

private:
    // What the update of an article stores besides the controls: a book's description made of its
    // title, author and publisher, or empty book fields for any other article.
    TVoFieldValue BookValues() const;
    void xqcArticoliBeforePost();
    void xqcArticoliVoBeforeExec(TVoQueryProp &Prop);
    // The article is locked and its unit checked against the rows that use it.
    void xqcArticoliBeforeWrite(int listKind);
};

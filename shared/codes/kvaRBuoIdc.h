#pragma once
// The documents page of a voucher window: the documents of the registry linked to the current
// voucher. A link is only added or removed, never changed. A document is linked once to a voucher
// (it may be linked to several vouchers); only documents dated from a year before the register-year
// to its end are offered. On a loading voucher without supplier, a linked document that names one
// gives it to the voucher.
#include "VoDBFrames.h"

class TVoDBLookupEdit;
class TVoSearchDialog;

// What differs between the programs that link documents to their vouchers: the tables, the captions
// and how far before the register-year an unloading voucher's documents may be dated.
struct TBuoIdcProfile {
    const char *voucherTable; // upper-case, as the statements' events name it
    const char *voucherKey;
    const char *linkKey;
    // quBuoDoc_S: the link of a document (:iIdcId) to a voucher (named after voucherKey).
    const char *linkedSQL;
    const char *voucherSupplierSQL;
    const char *documentCaption;
    const char *supplierCaption;
    // Days before the register-year's start from which documents are offered, by kind.
    double daysBefore[2];
    // Widths of the search form's columns.
    int typeWidth;
};

class TfrkvaBuoIdc : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvaBuoIdc(QWidget *parent = nullptr);

    TVoDBLookupEdit *const xelDocumento;
    // What the chosen document is, shown only.
    TVoDBLookupEdit *const xelNumero;
    TVoDBLookupEdit *const xelData;
    TVoDBLookupEdit *const xelBenef;
    TVoDBLookupEdit *const xelTipoDoc;

    // Serves a voucher window of a kind (0 loading, 1 unloading) on its header collection; the
    // frame's own collection holds the links, with the statements of that kind. The frame does nothing
    // before it: its hooks and lists are set here.
    void SetUpFor(TVoQueryCollection *vouchers, int kind, const TBuoIdcProfile &profile);

private:
    // The current voucher, when it is saved and not being changed; -1 otherwise.
    int Voucher() const;
    // Links are added only to a saved voucher, not being inserted or edited, that is not locked.
    void ApplyVoucherState();
    void xelDocumentoShowSearchForm(TVoSearchDialog *Form);
    void xelDocumentoChangeFKValue();
    void xelDocumentoValidate(bool &Ok, QString &Msg);
    void xqcDocBeforeWrite(int listKind);
    void xqcDocVoBeforeExec(TVoQueryProp &Prop, bool &Allow);
    void xqcDocVoAfterExec(TVoQueryProp &Prop);
    void xqcDocAfterPost();

    TVoQueryCollection *m_vouchers = nullptr;
    int m_kind = 0;
    const TBuoIdcProfile *m_profile = nullptr;
    // Read inside the link's write, after locking the voucher: the suppliers of voucher and document.
    QVariant m_voucherSupplier;
    QVariant m_documentSupplier;
    bool m_supplierTaken = false;
    TVoHooks m_hooks;
};

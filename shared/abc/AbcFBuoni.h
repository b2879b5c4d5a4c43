#pragma once
// The voucher window both programs show: the register-year's vouchers of one kind above, the chosen
// voucher's goods and its documents on two pages below. The header's rules are here, once: the number
// and date a new voucher is given, their validators, the number checked again inside the write, when
// a voucher takes goods, and the header read again when its goods change. Each program's window adds
// its frames, its statements and the rules of its goods; its profile names its columns.
#include "VoChildDB.h"
#include "VoQueryCollection.h"

class QSplitter;
class QTabWidget;
class TVoDBDateEdit;
class TVoDBNumericEdit;
class TVoMasterDetail;
class TfrVoDBRWGrid;
struct TAbcVoucherProfile;

// What a program's voucher window does its own way: its register's numbering and dates, its columns,
// and where its rules on goods differ.
struct TAbcVoucherWindowProfile {
    const TAbcVoucherProfile *vouchers;
    // The header's key (which the goods and the documents name too) and number.
    const char *idField;
    const char *numberField;
    const char *goodsCaption;
    // The header's amounts and how they show.
    const char *amountFields[2];
    const char *amountFormat;
    int amountScale;
    // Goods and documents are read again when the header changes state too, not only when it moves.
    bool detailsFollowState;
    // A voucher whose header is being edited takes no goods.
    bool goodsOnlyWhileBrowsing;
    // A definitive voucher is not deleted.
    bool definitiveKept;
};

// The header frame with its number and date.
struct TAbcVoucherHeader {
    TfrVoDBRWGrid *frame;
    TVoDBNumericEdit *number;
    TVoDBDateEdit *date;

    template <class Frame> static TAbcVoucherHeader Of(Frame *frame) {
        return {frame, frame->xneNumero, frame->xdeData};
    }
};

class TfmAbcBuoni : public TfmVoChildDB {
    Q_OBJECT
public:
    TVoQueryCollection *const xqcMain;
    TVoQueryCollection *const xqcDetail;
    TVoQueryCollection *const xqcDoc;
    QSplitter *const Splitter1;
    QTabWidget *const pcDetail;

    // The number proposed for the voucher being inserted.
    int ProposedNumber() const { return m_proposedNumber; }
    // Shows a voucher of the window's kind that another job (an import) has just written, unless a
    // voucher is being typed: the list is read again and the new voucher made current.
    void ShowWrittenVoucher(int voucherId);
    // 0 loading, 1 unloading.
    int Kind() const { return m_kind; }

protected:
    // The frames are taken over: the header above, the goods and the documents on the pages below.
    TfmAbcBuoni(QWidget *parent, const TAbcVoucherWindowProfile &profile, int kind, const QString &caption,
                const TAbcVoucherHeader &header, TfrVoDBRWGrid *goods, TfrVoDBRWGrid *documents);

    // The header's rules hooked; the window then sets up its collections and frames.
    void FormCreate() override;
    void FormShow() override;
    void FormClose(TCloseAction &Action) override;

    TfrVoDBRWGrid *HeaderFrame() const { return m_header.frame; }
    TfrVoDBRWGrid *GoodsFrame() const { return m_goodsFrame; }
    TfrVoDBRWGrid *DocumentsFrame() const { return m_documentsFrame; }
    // The current voucher when it is saved and shown as it is stored; -1 otherwise.
    int CurrentVoucher() const;
    bool CurrentVoucherDefinitive() const;
    // Whether the current voucher takes no new goods: not saved (they would have no owner), or
    // definitive.
    bool TakesNoGoods() const;
    virtual void ApplyLock();
    virtual void frMasterxdsMainDataChange(TVoField *field);
    // The number and date of a new voucher.
    virtual void ProposeNewVoucher();
    // What is wrong with the date typed for the number typed, or an empty text.
    virtual QString DateProblem(double date, int number) const;
    // The header's amounts follow the goods written.
    void RefreshVouchers();

    const TAbcVoucherWindowProfile &m_profile;
    const int m_kind;
    int m_proposedNumber = 0;
    TVoMasterDetail *const m_goods;
    TVoMasterDetail *const m_documents;

private:
    void OpenDetails();
    void frMasterxdsMainAfterStateChange();
    void frMasterxneNumeroValidate(bool &Ok, QString &Msg);
    void frMasterxdeDataValidate(bool &Ok, QString &Msg);
    void xqcMainAfterOpen();

    const TAbcVoucherHeader m_header;
    TfrVoDBRWGrid *const m_goodsFrame;
    TfrVoDBRWGrid *const m_documentsFrame;
};

// Shows a voucher of a kind just written by a job in every open voucher window of that kind.
void AbcShowWrittenVoucher(int kind, int voucherId);

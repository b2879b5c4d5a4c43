#include "AbcFBuoni.h"

#include "AbcUBuoni.h"
#include "AbcUContext.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBFrames.h"
#include "VoDates.h"
#include "VoMasterDetail.h"
#include "VoMessages.h"
#include "VoPageControl.h"

#include <QApplication>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

TfmAbcBuoni::TfmAbcBuoni(QWidget *parent, const TAbcVoucherWindowProfile &profile, int kind,
                         const QString &caption, const TAbcVoucherHeader &header, TfrVoDBRWGrid *goods,
                         TfrVoDBRWGrid *documents)
    : TfmVoChildDB(parent), xqcMain(new TVoQueryCollection(this)), xqcDetail(new TVoQueryCollection(this)),
      xqcDoc(new TVoQueryCollection(this)), Splitter1(new QSplitter(Qt::Vertical)), pcDetail(new QTabWidget),
      m_profile(profile), m_kind(kind),
      m_goods(new TVoMasterDetail(xqcMain, xqcDetail, QString::fromLatin1(profile.idField), this)),
      m_documents(new TVoMasterDetail(xqcMain, xqcDoc, QString::fromLatin1(profile.idField), this)),
      m_header(header), m_goodsFrame(goods), m_documentsFrame(documents) {
    setWindowTitle(caption);
    OpenMaximized = true;
    m_goods->SetFollowMaster(!profile.detailsFollowState);
    m_documents->SetFollowMaster(!profile.detailsFollowState);

    m_header.frame->SetDataSet(xqcMain);
    m_goodsFrame->SetDataSet(xqcDetail);
    m_documentsFrame->SetDataSet(xqcDoc);
    for (auto [frame, title] : {std::pair<QWidget *, const char *>{m_goodsFrame, profile.goodsCaption},
                                {m_documentsFrame, "Documenti"}}) {
        auto *page = new QWidget;
        auto *layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(frame);
        pcDetail->addTab(page, QString::fromLatin1(title));
    }
    Splitter1->addWidget(m_header.frame);
    Splitter1->addWidget(pcDetail);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter1);
    // Tab from the header's last field goes on to the voucher's goods.
    VoTabsAfterPages(pcDetail);
}

void TfmAbcBuoni::FormCreate() {
    TfmVoChildDB::FormCreate();
    pcDetail->setCurrentIndex(0);
    for (TfrVoDBRWGrid *frame : {m_header.frame, m_goodsFrame, m_documentsFrame})
        frame->pcMain->setCurrentIndex(0);

    TVoDataSource *header = m_header.frame->xdsMain;
    header->OnDataChange.Add([this](TVoDataSource *, TVoField *field) { frMasterxdsMainDataChange(field); });
    header->AfterStateChange.Add([this](TVoDataSource *) { frMasterxdsMainAfterStateChange(); });
    m_header.number->OnValidate.Add(
        [this](QWidget *, bool &Ok, QString &Msg) { frMasterxneNumeroValidate(Ok, Msg); });
    m_header.date->OnValidate.Add(
        [this](QWidget *, bool &Ok, QString &Msg) { frMasterxdeDataValidate(Ok, Msg); });
    xqcMain->AfterOpen.Add([this](TVoQueryCollection *) { xqcMainAfterOpen(); });
    xqcMain->BeforeWrite.Add([this](TVoQueryCollection *, int listKind) {
        AbcCheckVoucherNumberFree(xqcMain, QString::fromLatin1(m_profile.numberField), listKind,
                                  *m_profile.vouchers, m_kind, &m_proposedNumber);
    });
    xqcDetail->AfterPost.Add([this](TVoQueryCollection *) { RefreshVouchers(); });
    xqcDetail->AfterDelete.Add([this](TVoQueryCollection *) { RefreshVouchers(); });
}

void TfmAbcBuoni::FormShow() {
    TfmVoChildDB::FormShow();
    xqcMain->Open();
    ApplyLock();
}

void TfmAbcBuoni::FormClose(TCloseAction &Action) {
    TfmVoChildDB::FormClose(Action);
    xqcMain->Close();
}

int TfmAbcBuoni::CurrentVoucher() const {
    if (!xqcMain->Active() || xqcMain->IsEmpty() || xqcMain->State() == dsInsert)
        return -1;
    return xqcMain->FieldByName(QString::fromLatin1(m_profile.idField))->AsInteger(-1);
}

bool TfmAbcBuoni::CurrentVoucherDefinitive() const {
    return CurrentVoucher() > 0 && xqcMain->FieldByName(QStringLiteral("ILOCKED"))->AsInteger() != 0;
}

bool TfmAbcBuoni::TakesNoGoods() const {
    return CurrentVoucherDefinitive() || CurrentVoucher() <= 0 ||
           (m_profile.goodsOnlyWhileBrowsing && xqcMain->State() != dsBrowse);
}

void TfmAbcBuoni::ApplyLock() {
    m_goodsFrame->xacInsert->SetLocked(TakesNoGoods());
    if (m_profile.definitiveKept)
        m_header.frame->xacDelete->SetLocked(CurrentVoucherDefinitive());
}

void TfmAbcBuoni::OpenDetails() {
    if (!m_profile.detailsFollowState)
        return;
    m_goods->Reload();
    m_documents->Reload();
}

void TfmAbcBuoni::frMasterxdsMainDataChange(TVoField *field) {
    ApplyLock();
    if (!field)
        OpenDetails();
}

void TfmAbcBuoni::frMasterxdsMainAfterStateChange() {
    if (xqcMain->State() == dsInsert)
        ProposeNewVoucher();
    OpenDetails();
    ApplyLock();
}

void TfmAbcBuoni::ProposeNewVoucher() {
    m_header.date->setEnabled(true);
    m_header.date->SetReadOnly(false);
    m_proposedNumber = AbcNextVoucherNumber(*m_profile.vouchers, m_kind, CurrentRegisterId);
    m_header.number->SetValue(m_proposedNumber);
    m_header.date->SetDate(
        DaysToDate(AbcAcceptedVoucherDate(*m_profile.vouchers, TodayDays(), m_proposedNumber, m_kind)));
}

void TfmAbcBuoni::frMasterxneNumeroValidate(bool &Ok, QString &Msg) {
    const int accepted =
        xqcMain->State() == dsInsert
            ? m_proposedNumber
            : xqcMain->FieldByName(QString::fromLatin1(m_profile.numberField))->OldValue().toInt();
    Msg = AbcVoucherNumberProblem(*m_profile.vouchers, m_header.number->Value(), m_kind, accepted);
    Ok = Msg.isEmpty();
}

QString TfmAbcBuoni::DateProblem(double date, int number) const {
    return AbcVoucherDateProblem(*m_profile.vouchers, date, number, m_kind);
}

void TfmAbcBuoni::frMasterxdeDataValidate(bool &Ok, QString &Msg) {
    Msg = DateProblem(m_header.date->AsDays(), int(m_header.number->AsFloat()));
    Ok = Msg.isEmpty();
}

void TfmAbcBuoni::xqcMainAfterOpen() {
    for (const char *amount : m_profile.amountFields) {
        TVoField *field = xqcMain->FieldByName(QString::fromLatin1(amount));
        field->SetDisplayFormat(QString::fromLatin1(m_profile.amountFormat));
        field->SetDisplayScale(m_profile.amountScale);
    }
    xqcMain->FieldByName(QString::fromLatin1(m_profile.numberField))
        ->SetDisplayFormat(QStringLiteral("0000000"));
}

void TfmAbcBuoni::ShowWrittenVoucher(int voucherId) {
    if (!xqcMain->Active() || xqcMain->State() != dsBrowse)
        return;
    xqcMain->Refresh();
    xqcMain->Locate(QString::fromLatin1(m_profile.idField), voucherId);
}

void AbcShowWrittenVoucher(int kind, int voucherId) {
    for (QWidget *top : QApplication::topLevelWidgets()) {
        QList<TfmAbcBuoni *> windows = top->findChildren<TfmAbcBuoni *>();
        if (auto *own = qobject_cast<TfmAbcBuoni *>(top))
            windows << own;
        for (TfmAbcBuoni *window : windows)
            if (window->Kind() == kind)
                VoGuarded([&] { window->ShowWrittenVoucher(voucherId); });
    }
}

void TfmAbcBuoni::RefreshVouchers() {
    const TVoBookmark bookmark = xqcDetail->GetBookmark();
    xqcMain->Refresh();
    if (xqcDetail->BookmarkValid(bookmark))
        xqcDetail->GotoBookmark(bookmark);
}

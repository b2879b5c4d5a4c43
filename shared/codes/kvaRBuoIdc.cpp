#include "kvaRBuoIdc.h"

#include "AbcUContext.h"
#include "AbcURoutines.h"
#include "VoConnection.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoRegistry.h"

#include <QLabel>

namespace {

// The documents of the register-year and of the year before it.
const char *const kDocumentoListSQL =
    "SELECT IIDCID, SIDCNUMERO, DIDCDATA, STIDDESC, SIDCDESC FROM TIDC_INVDOC idc INNER JOIN TTID_TIPOINVDOC "
    "tid ON (tid.iTidId = idc.iTidId) WHERE (idc.dIdcData BETWEEN :dIdcDataDa AND :dIdcDataA) AND ##WHERE##";
const char *const kNumeroListSQL = "SELECT IIDCID, SIDCNUMERO FROM TIDC_INVDOC WHERE ##WHERE##";
const char *const kDataListSQL = "SELECT IIDCID, dIdcData FROM TIDC_INVDOC WHERE ##WHERE##";
const char *const kBenefListSQL = "SELECT idc.IIDCID, ben.sBenRagSoc FROM TIDC_INVDOC idc INNER JOIN "
                                  "TBen_Beneficiari ben ON (ben.iBenId = idc.iBenId) WHERE ##WHERE##";
const char *const kTipoDocListSQL = "SELECT idc.IIDCID, tid.STIDDESC FROM TIDC_INVDOC idc INNER JOIN "
                                    "TTID_TIPOINVDOC tid ON (tid.iTidId = idc.iTidId) WHERE ##WHERE##";
const char *const kDocumentSupplierSQL = "SELECT IBENID FROM TIDC_INVDOC WHERE IIDCID = :iIdcId";

// Both programs number their voucher kinds alike.
constexpr int kLoading = 0;

const char *const kAlreadyLinked = "Documento già associato a questo buono";

TVoDBLookupEdit *AddShown(TfrVoDBRWGrid *frame, const QString &caption, const char *keyField,
                          const char *listField) {
    auto *lookup = VoAddDetailControl<TVoDBLookupEdit>(frame, caption, QStringLiteral("iIdcId"));
    lookup->SetKeyField(QString::fromLatin1(keyField));
    lookup->SetListField(QString::fromLatin1(listField));
    lookup->SetReadOnly(true);
    lookup->setFocusPolicy(Qt::NoFocus);
    return lookup;
}

// The caption of a control of the detail page: its buddy label's text.
void SetCaption(QWidget *control, const QString &caption) {
    for (QLabel *label : control->parentWidget()->findChildren<QLabel *>())
        if (label->buddy() == control)
            label->setText(caption);
}

bool Linked(const TBuoIdcProfile &profile, int voucher, const QVariant &document) {
    TVoQuery q(QString::fromLatin1(profile.linkedSQL));
    q.SetParam(QString::fromLatin1(profile.voucherKey), voucher)
        .SetParam(QStringLiteral("iIdcId"), document)
        .Open();
    return !q.Eof();
}

} // namespace

TfrkvaBuoIdc::TfrkvaBuoIdc(QWidget *parent)
    : TfrVoDBRWGrid(parent), xelDocumento(VoAddDetailControl<TVoDBLookupEdit>(
                                 this, QStringLiteral("Descrizione"), QStringLiteral("iIdcId"))),
      xelNumero(AddShown(this, QStringLiteral("Numero"), "IIDCID", "SIDCNUMERO")),
      xelData(AddShown(this, QStringLiteral("Data"), "IIDCID", "DIDCDATA")),
      xelBenef(AddShown(this, QStringLiteral("Provenienza"), "idc.IIDCID", "SBENRAGSOC")),
      xelTipoDoc(AddShown(this, QStringLiteral("Tipo documento"), "idc.IIDCID", "STIDDESC")) {
    setToolTip(QStringLiteral("Documenti"));
    grFrame->AddColumn(QStringLiteral("sIdcNumero"), QStringLiteral("Numero"));
    grFrame->AddColumn(QStringLiteral("sIdcDesc"), QStringLiteral("Descrizione"), 200);
    grFrame->AddColumn(QStringLiteral("dIdcData"), QStringLiteral("Data"));
    grFrame->AddColumn(QStringLiteral("sBenRagSoc"), QStringLiteral("Fornitore"), 200);
    grFrame->AddColumn(QStringLiteral("sTidDesc"), QStringLiteral("Tipo di documento"), 200);
    // A link is never changed: typing on the page of a saved link changes nothing either.
    xacEdit->SetLocked(true);
    xacEdit->setVisible(false);
    xdsMain->SetAutoEdit(false);
    xelDocumento->SetKeyField(QStringLiteral("IIDCID"));
    xelDocumento->SetListField(QStringLiteral("SIDCDESC"));
    xelDocumento->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *, TVoSearchDialog *Form) { xelDocumentoShowSearchForm(Form); });
    xelDocumento->OnChangeFKValue.Add([this](TVoDBLookupEdit *) { xelDocumentoChangeFKValue(); });
    xelDocumento->OnValidate.Add(
        [this](QWidget *, bool &Ok, QString &Msg) { xelDocumentoValidate(Ok, Msg); });
}

void TfrkvaBuoIdc::SetUpFor(TVoQueryCollection *vouchers, int kind, const TBuoIdcProfile &profile) {
    m_vouchers = vouchers;
    m_kind = kind;
    m_profile = &profile;
    SetCaption(xelDocumento, QString::fromUtf8(profile.documentCaption));
    SetCaption(xelBenef, QString::fromUtf8(profile.supplierCaption));
    const std::pair<TVoDBLookupEdit *, const char *> lists[] = {{xelDocumento, kDocumentoListSQL},
                                                                {xelNumero, kNumeroListSQL},
                                                                {xelData, kDataListSQL},
                                                                {xelBenef, kBenefListSQL},
                                                                {xelTipoDoc, kTipoDocListSQL}};
    for (const auto &[lookup, sql] : lists) {
        lookup->SetConnection(qqoVoGlobConn);
        lookup->SetListSQL(QString::fromLatin1(sql));
    }
    xelDocumento->ListDataSet()->SetParam(
        QStringLiteral("dIdcDataDa"),
        DaysToDateParam(CurrentRegStart - profile.daysBefore[kind == kLoading ? 0 : 1]));
    xelDocumento->ListDataSet()->SetParam(QStringLiteral("dIdcDataA"), DaysToDateParam(CurrentRegEnd));

    m_hooks.Clear();
    m_hooks.Add(vouchers, vouchers->DataChange,
                [this](TVoQueryCollection *, TVoField *) { ApplyVoucherState(); });
    m_hooks.Add(vouchers, vouchers->StateChange, [this](TVoQueryCollection *) { ApplyVoucherState(); });
    TVoQueryCollection *links = DataSet();
    m_hooks.Add(links, links->BeforeWrite,
                [this](TVoQueryCollection *, int listKind) { xqcDocBeforeWrite(listKind); });
    m_hooks.Add(links, links->VoBeforeExec, [this](TVoQueryCollection *, TVoQueryProp &Prop, bool &Allow) {
        xqcDocVoBeforeExec(Prop, Allow);
    });
    m_hooks.Add(links, links->VoAfterExec,
                [this](TVoQueryCollection *, TVoQueryProp &Prop) { xqcDocVoAfterExec(Prop); });
    m_hooks.Add(links, links->AfterPost, [this](TVoQueryCollection *) { xqcDocAfterPost(); });
    ApplyVoucherState();
}

int TfrkvaBuoIdc::Voucher() const {
    if (!m_vouchers || !m_vouchers->Active() || m_vouchers->IsEmpty() || m_vouchers->State() != dsBrowse)
        return -1;
    return m_vouchers->FieldByName(QString::fromLatin1(m_profile->voucherKey))->AsInteger(-1);
}

void TfrkvaBuoIdc::ApplyVoucherState() {
    const bool locked = Voucher() > 0 && m_vouchers->FieldByName(QStringLiteral("ILOCKED"))->AsInteger() == 1;
    xacInsert->SetLocked(Voucher() <= 0 || locked);
}

void TfrkvaBuoIdc::xelDocumentoShowSearchForm(TVoSearchDialog *Form) {
    SetSearchForm(Form,
                  {QStringLiteral("Numero"), QStringLiteral("Data"), QStringLiteral("Tipo"),
                   QStringLiteral("Descrizione")},
                  {100, 100, m_profile->typeWidth, 300});
}

void TfrkvaBuoIdc::xelDocumentoChangeFKValue() {
    for (TVoDBLookupEdit *shown : {xelNumero, xelData, xelBenef, xelTipoDoc}) {
        shown->SetReadOnly(false);
        shown->SetKeyValue(xelDocumento->KeyValue());
        shown->SetReadOnly(true);
    }
}

void TfrkvaBuoIdc::xelDocumentoValidate(bool &Ok, QString &Msg) {
    if (xelDocumento->text().isEmpty()) {
        Ok = false;
        Msg = QStringLiteral("documenti");
        return;
    }
    if (xdsMain->State() == dsInsert && Linked(*m_profile, Voucher(), xelDocumento->KeyValue())) {
        Ok = false;
        Msg = QString::fromUtf8(kAlreadyLinked);
    }
}

// Another copy of the program may link the same document, or give the voucher a supplier, while the
// user chooses: both are looked at again once the voucher is locked for this write.
void TfrkvaBuoIdc::xqcDocBeforeWrite(int listKind) {
    if (listKind != skInsert)
        return;
    const int voucher = Voucher();
    const QVariant document = DataSet()->FieldByName(QStringLiteral("iIdcId"))->Value();
    const QString key = QString::fromLatin1(m_profile->voucherKey);
    VoLockRow(QString::fromLatin1(m_profile->voucherTable), key, voucher);
    if (Linked(*m_profile, voucher, document))
        throw EVoError(QString::fromUtf8(kAlreadyLinked));
    m_voucherSupplier = VoSelectValue(QString::fromLatin1(m_profile->voucherSupplierSQL), {{key, voucher}});
    m_documentSupplier =
        VoSelectValue(QString::fromLatin1(kDocumentSupplierSQL), {{QStringLiteral("iIdcId"), document}});
    m_supplierTaken = false;
}

void TfrkvaBuoIdc::xqcDocVoBeforeExec(TVoQueryProp &Prop, bool &Allow) {
    if (Prop.Kind == skInsert) {
        Prop.Values.Add(QString::fromLatin1(m_profile->voucherKey), Voucher());
    } else if (Prop.Kind == skUpdate && Prop.TableName == QLatin1String(m_profile->voucherTable)) {
        // A supplier the voucher already has stays.
        Allow = m_kind == kLoading && m_voucherSupplier.isNull() && !m_documentSupplier.isNull();
        if (!Allow)
            return;
        Prop.Values.Add(QStringLiteral("IBENID"), m_documentSupplier);
        Prop.Values.Add(QString::fromLatin1(m_profile->voucherKey), Voucher());
    }
}

void TfrkvaBuoIdc::xqcDocVoAfterExec(TVoQueryProp &Prop) {
    if (Prop.Kind == skInsert)
        DataSet()->Refresh();
    else if (Prop.Kind == skUpdate && Prop.TableName == QLatin1String(m_profile->voucherTable))
        m_supplierTaken = true;
}

// The header shows the supplier the voucher took; reading it again reads its documents again too,
// and the link just made stays the current one.
void TfrkvaBuoIdc::xqcDocAfterPost() {
    if (!m_supplierTaken)
        return;
    m_supplierTaken = false;
    const QString linkKey = QString::fromLatin1(m_profile->linkKey);
    const QVariant link = DataSet()->FieldByName(linkKey)->Value();
    m_vouchers->Refresh();
    if (DataSet()->Active())
        DataSet()->Locate(linkKey, link);
}

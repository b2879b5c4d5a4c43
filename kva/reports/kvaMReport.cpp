#include "kvaMReport.h"

#include "VoDBGrid.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoMultiSelect.h"
#include "VoQueryCollection.h"
#include "VoRptEngine.h"
#include "VoRptTreeView.h"
#include "kvaFSelectRangeData.h"
#include "kvaUUtil.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <memory>

TdmkvaReport *dmkvaReport = nullptr;

namespace {

// The loading register: the rows of the loading vouchers of a period, in the current register-year or,
// when the numbering spans the register's years, in the whole register.
const char *const kRegCarichiByYearSQL =
    "SELECT afc.sFarSDesc, afc.sFarLDesc, afc.dFBuoData, afc.fAfcQuantita, afc.fAfcCostoUnit, afc.fAlvIva, "
    "afc.sUnmMisCarico, (afc.fAfcCostoUnit * afc.fAfcQuantita) AS TotaleNoIva, CAST(((afc.fAfcCostoUnit * "
    "afc.fAfcQuantita)+(afc.fAfcCostoUnit * afc.fAfcQuantita * COALESCE(afc.fAlvIva,0) / 100)) AS "
    "NUMERIC(11,6)) AS TotaleIva, afc.iFBuoNumero FROM VAfc_ArtVelist afc WHERE (afc.iDwgFacAnfId = "
    ":iDwgFacAnfId) AND (afc.iFBuoTipo = 0) AND (afc.dFBuoData BETWEEN :dStart AND :dEnd) ORDER BY "
    "afc.dFBuoData, afc.sFarSDesc";
const char *const kRegCarichiByRegisterSQL =
    "SELECT afc.sFarSDesc, afc.sFarLDesc, afc.dFBuoData, afc.fAfcQuantita, afc.fAfcCostoUnit, afc.fAlvIva, "
    "afc.sUnmMisCarico, (afc.fAfcCostoUnit * afc.fAfcQuantita) AS TotaleNoIva, CAST(((afc.fAfcCostoUnit * "
    "afc.fAfcQuantita)+(afc.fAfcCostoUnit * afc.fAfcQuantita * COALESCE(afc.fAlvIva,0) / 100)) AS "
    "NUMERIC(11,6)) AS TotaleIva, afc.iFBuoNumero FROM VAfc_ArtVelist afc WHERE (afc.iFacId = :iFacId) AND "
    "(afc.iFBuoTipo = 0) AND (afc.dFBuoData BETWEEN :dStart AND :dEnd) ORDER BY afc.dFBuoData, afc.sFarSDesc";
const char *const kFacCurrSQL =
    "SELECT fac.sFacDesc, tfc.sTfcLDesc FROM TFac_Velisto fac INNER JOIN TTfc_TipoVelist "
    "tfc ON (fac.iTfcId = tfc.iTfcId) WHERE fac.iFacId = :iFacId";
// The vouchers of a kind in a register-year, with their supplier and their amounts (a voucher without
// rows is worth 0).
const char *const kBuoniSQL =
    "SELECT BUO.iFBuoId, BUO.IBENID, BUO.IFBUONUMERO, BUO.DFBUODATA, BUO.SFBUODESC, BUO.DFBUOPROTDATA, "
    "BUO.SFBUOPROTNUM, BUO.ILOCKED, (SELECT ben.SBENRAGSOC FROM TBEN_BENEFICIARI ben WHERE ben.IBENID = "
    "BUO.IBENID) AS SBENRAGSOC, COALESCE((SELECT SUM(CAST(afc.fAfcCostoUnit * afc.fAfcQuantita AS "
    "NUMERIC(11,6))) FROM TAfc_ArtVelist afc WHERE afc.iFBuoId = BUO.iFBuoId), 0) AS iBeniImpNoIva, "
    "COALESCE((SELECT SUM(CAST(((v.fAfcCostoUnit * v.fAfcQuantita)+(v.fAfcCostoUnit * v.fAfcQuantita * "
    "COALESCE(v.fAlvIva,0) / 100)) AS NUMERIC(11,6))) FROM VAfc_ArtVelist v WHERE v.iFBuoId = BUO.iFBuoId), "
    "0) AS iBeniImpConIva FROM TFBuo_Buoni BUO WHERE (BUO.IFBUOTIPO=:iFBuoTipo) AND "
    "(BUO.iDwgFacAnfId=:iDwgFacAnfId) ORDER BY IFBUONUMERO";
const char *const kArtXBuonoSQL =
    "SELECT afc.iAfcId, afc.sFarSDesc, afc.sFarLDesc, afc.iFBuoId, afc.fAfcCostoUnit, afc.sCafDesc, "
    "afc.sCafCodice, afc.sMerDesc, afc.sMerCodice, afc.iDcmId, afc.iCavId, afc.iCondId, afc.iSecId, "
    "afc.fAfcQuantita, afc.sCondDesc, afc.sCondCodice, afc.iLocked, afc.sDcmDescL, afc.iMerId, afc.iVProId, "
    "afc.iSedInfId, afc.iClcId, afc.iCafId, afc.sSecDescS, afc.fAfcTotale_ConIva AS fAfcTotaleIva, "
    "afc.fAfcTotale AS fAfcTotaleNoIva, afc.iUnmId, afc.iAlvId, afc.fAlvIva, afc.sUnmDescS, afc.bAfcNote, "
    "afc.sFarLibTitolo, afc.sFarLibAutore, afc.sFarLibEditore, afc.iRspId FROM VAfc_ArtVelist afc WHERE "
    "afc.iFBuoId = :iFBuoId ORDER BY afc.iAfcId";
const char *const kDocXBuonoSQL =
    "SELECT idc.IIDCID, idc.ITIDID, idc.DIDCDATA, idc.SIDCNUMERO, idc.SIDCDESC, tid.sTidDesc FROM "
    "TIDC_INVDOC "
    "idc INNER JOIN TTid_TipoInvDoc tid ON (idc.iTidId = tid.iTidId) INNER JOIN TFBuoIdc bi ON (idc.iIdcId = "
    "bi.iIdcId) WHERE bi.iFBuoId = :iFBuoId ORDER BY idc.DIDCDATA, idc.SIDCNUMERO";

const char *const kVariables[] = {"IvaInclusa",   "data_inizio",    "data_fine",
                                  "art_giacenza", "art_costomedio", "sSettore"};

// A column of a selection form: field, title, width, and whether the search box looks in it.
struct TSelectColumn {
    const char *field;
    const char *title;
    int width;
    bool text;
};

// The dressing every selection form gets: caption, then one column and one sort entry per column.
void DressSelectForm(TfmVoMultiSelect *form, const QString &caption,
                     std::initializer_list<TSelectColumn> columns) {
    form->setWindowTitle(caption);
    TVoDBGrid *grid = form->frVoMultiSel->grFrame;
    grid->ClearColumns();
    grid->ColsIndex().Clear();
    for (const TSelectColumn &c : columns) {
        const int column =
            grid->AddColumn(QString::fromLatin1(c.field), QString::fromLatin1(c.title), c.width);
        grid->ColsIndex().Add(column, QString::fromLatin1(c.field), QString(), c.text);
    }
}

// The vouchers of a kind of the chosen register-year.
void SetVouchersParams(TVoQueryCollection *list, int kind) {
    list->SetParam(QStringLiteral("iFBuoTipo"), kind);
    list->SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId());
}

// The kind of voucher a voucher report prints, -1 for another report.
int VoucherKind() {
    const int id = GetBaseReportId();
    return id == 26004 ? kvaLoading : id == 26005 ? kvaUnloading : -1;
}

} // namespace

TdmkvaReport::TdmkvaReport(QObject *parent) : QObject(parent) {
    setObjectName(QStringLiteral("dmkvaReport"));
    qquRegCarichi = Query(QStringLiteral("qquRegCarichi"), &frdRegCarichi);
    qquFacCurr = Query(QStringLiteral("qquFacCurr"), &frdFacCurr);
    cdsGiacenze = Query(QStringLiteral("cdsGiacenze"), &frdGiacenze);
    cdsBuoni = Query(QStringLiteral("cdsBuoni"), nullptr);
    xfrBuoni = new TVofrDBDataSet(this, cdsBuoni);
    xfrBuoni->setObjectName(QStringLiteral("xfrBuoni"));
    xfrBuoni->ShowSelectForm = true;
    xfrBuoni->DoAfterSelect = true;
    qquArtXBuono = Query(QStringLiteral("qquArtXBuono"), &frdArtXBuono);
    qquDocXBuono = Query(QStringLiteral("qquDocXBuono"), &frdDocXBuono);
    for (const char *name : kVariables)
        VoRptPublishVariable(this, QString::fromLatin1(name));

    qquRegCarichi->BeforeOpen.Add([this](TVoQueryCollection *d) { qquRegCarichiBeforeOpen(d); });
    qquFacCurr->BeforeOpen.Add([this](TVoQueryCollection *d) { qquFacCurrBeforeOpen(d); });
    cdsBuoni->BeforeOpen.Add([this](TVoQueryCollection *d) { cdsBuoniBeforeOpen(d); });
    cdsBuoni->AfterScroll.Add([this](TVoQueryCollection *d) { cdsBuoniAfterScroll(d); });
    xfrBuoni->OnBeforeSelectForm.Add(
        [this](TVofrDBDataSet *s, TfmVoMultiSelect *f) { xfrBuoniBeforeSelectForm(s, f); });

    SetReportSqlTexts();
    cdsGiacenze->AddFieldDef(QStringLiteral("Codice"), QMetaType::QString);
    cdsGiacenze->AddFieldDef(QStringLiteral("Descrizione"), QMetaType::QString);
    cdsGiacenze->AddFieldDef(QStringLiteral("Giacenza"), QMetaType::Double);
    cdsGiacenze->AddFieldDef(QStringLiteral("CostoUnit"), QMetaType::Double);
    cdsGiacenze->CreateDataSet();
}

TVoQueryCollection *TdmkvaReport::Query(const QString &name, TfrDBDataSet **publisher) {
    auto *query = new TVoQueryCollection(this);
    query->setObjectName(name);
    if (publisher) {
        *publisher = new TfrDBDataSet(this, query);
        (*publisher)->setObjectName(QStringLiteral("frd") + name.mid(3));
    }
    return query;
}

void TdmkvaReport::SetReportSqlTexts() {
    // The registers get their scope and period when they open.
    qquRegCarichi->SetCommandText(QString::fromLatin1(kRegCarichiByYearSQL));
    qquRegCarichi->SetParamNull(QStringLiteral("iDwgFacAnfId"), QMetaType::Int);
    qquRegCarichi->SetParamNull(QStringLiteral("dStart"), QMetaType::QDate);
    qquRegCarichi->SetParamNull(QStringLiteral("dEnd"), QMetaType::QDate);
    qquFacCurr->SetCommandText(QString::fromLatin1(kFacCurrSQL));
    qquFacCurr->SetParamNull(QStringLiteral("iFacId"), QMetaType::Int);
    for (TVoQueryCollection *q : {qquArtXBuono, qquDocXBuono}) {
        q->SetCommandText(QString::fromLatin1(q == qquArtXBuono ? kArtXBuonoSQL : kDocXBuonoSQL));
        q->SetParamNull(QStringLiteral("iFBuoId"), QMetaType::Int);
    }
    // Until a voucher report opens it: the loading vouchers of no register-year.
    cdsBuoni->SetCommandText(QString::fromLatin1(kBuoniSQL));
    cdsBuoni->SetParam(QStringLiteral("iFBuoTipo"), kvaLoading);
    cdsBuoni->SetParam(QStringLiteral("iDwgFacAnfId"), 0);
}

// --- The engine's hooks ----------------------------------------------------------------------------------

void TdmkvaReport::GetReportValue(const QString &name, QVariant &value) {
    if (name == QLatin1String("IvaInclusa"))
        value = CurrentVatIncluded;
    else if (name == QLatin1String("data_inizio"))
        value = data_inizio;
    else if (name == QLatin1String("data_fine"))
        value = data_fine;
    else if (name == QLatin1String("art_giacenza"))
        value = art_giacenza;
    else if (name == QLatin1String("art_costomedio"))
        value = art_costomedio;
    else if (name == QLatin1String("sSettore"))
        value = sSettore;
}

void TdmkvaReport::CloseReportDatasets() {
    for (TVoQueryCollection *q : findChildren<TVoQueryCollection *>(Qt::FindDirectChildrenOnly))
        q->Close();
}

void TdmkvaReport::OpenCloseSelectionLists() {
    for (TVoQueryCollection *list : {cdsBuoni}) {
        list->Open();
        list->Close();
    }
}

// --- Registers ----------------------------------------------------------------------------------------

void TdmkvaReport::RegisterBeforeOpen(TVoQueryCollection *query, const char *byYearSQL,
                                      const char *byRegisterSQL) {
    if (CurrentNumbering == 1) {
        query->SetCommandText(QString::fromLatin1(byYearSQL));
        query->SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId());
    } else {
        query->SetCommandText(QString::fromLatin1(byRegisterSQL));
        query->SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
    }
    const std::unique_ptr<TfmKvaSelectRangeDate> dialog(VoNewForm<TfmKvaSelectRangeDate>());
    dialog->setWindowTitle(QStringLiteral("Registro dal - al"));
    dialog->Label2->setText(QStringLiteral("al"));
    TfmKvaSelectRangeDate::SetDays(dialog->dtpStart, CurrentRegStart);
    TfmKvaSelectRangeDate::SetDays(dialog->dtpEnd, CurrentRegEnd);
    // Cancel prints nothing.
    if (dialog->exec() != QDialog::Accepted)
        throw EVoAbort();
    data_inizio = FormatDays(dialog->StartDate);
    data_fine = FormatDays(dialog->EndDate);
    query->Params().ParamByName(QStringLiteral("dStart")).SetAsDate(dialog->StartDate);
    query->Params().ParamByName(QStringLiteral("dEnd")).SetAsDate(dialog->EndDate);
}

void TdmkvaReport::qquRegCarichiBeforeOpen(TVoQueryCollection *DataSet) {
    RegisterBeforeOpen(DataSet, kRegCarichiByYearSQL, kRegCarichiByRegisterSQL);
}

void TdmkvaReport::qquFacCurrBeforeOpen(TVoQueryCollection *DataSet) {
    DataSet->SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
}

// --- Vouchers -----------------------------------------------------------------------------------------

void TdmkvaReport::cdsBuoniBeforeOpen(TVoQueryCollection *DataSet) {
    const int kind = VoucherKind();
    if (kind >= 0)
        SetVouchersParams(DataSet, kind);
}

void TdmkvaReport::cdsBuoniAfterScroll(TVoQueryCollection *DataSet) {
    const QVariant voucher = DataSet->FieldByName(QStringLiteral("iFBuoId"))->Value();
    for (TVoQueryCollection *q : {qquArtXBuono, qquDocXBuono}) {
        q->Close();
        q->SetParam(QStringLiteral("iFBuoId"), voucher);
        q->Open();
    }
}

void TdmkvaReport::xfrBuoniBeforeSelectForm(TVofrDBDataSet *, TfmVoMultiSelect *Form) {
    const int kind = VoucherKind();
    if (kind >= 0) {
        Form->SetCommandText(QString::fromLatin1(kBuoniSQL));
        SetVouchersParams(Form->frVoMultiSel->xqcMultiSelect, kind);
    }
    DressSelectForm(Form, QStringLiteral("Selezione Buoni"),
                    {{"dFBuoData", "Data", 100, false},
                     {"iFBuoNumero", "Numero", 100, true},
                     {"sFBuoDesc", "Descrizione", 300, true}});
}

// --- Layouts and hooks ------------------------------------------------------------------------------

QStringList kvaReportLayouts() {
    QStringList layouts;
    const QDir folder(QStringLiteral(":/kva/reports/layouts"));
    for (const QString &name : folder.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            layouts << QString::fromUtf8(file.readAll());
    }
    return layouts;
}

void kvaHookReports(TVoRptTreeView *tree) {
    tree->GetfrReport()->OnGetValue.Add([](const QString &name, QVariant &value) {
        if (dmkvaReport)
            dmkvaReport->GetReportValue(name, value);
    });
    tree->GetfrReport()->OnEndDoc.Add([] {
        if (dmkvaReport)
            dmkvaReport->CloseReportDatasets();
    });
    tree->GetfrDesigner()->OnDesign.Add([] {
        if (dmkvaReport)
            dmkvaReport->OpenCloseSelectionLists();
    });
    tree->SetStandardLayouts(kvaReportLayouts());
    VoGuarded([tree] { tree->SeedLayouts(); });
}

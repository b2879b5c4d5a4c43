#include "AbcMVpro.h"

#include "AbcUUtil.h"
#include "VoConnection.h"

TdmVproDBQuery *dmVproDBQuery = nullptr;

namespace {

const char *const kAggregatiSQL =
    "SELECT agg.*, fls.SFLSDESCL, tito.STITODESCL FROM TAGG_AGGREGATI agg INNER JOIN TFLS_FLUSSOCASSA fls ON "
    "(agg.IFLSID = fls.IFLSID) INNER JOIN TTITO_TIPOTOTALE tito ON (agg.ITITOID = tito.ITITOID)";
const char *const kVociSQL =
    "SELECT vpro.IVPROID, vpro.ICORID, vpro.IAGGID, vpro.SVPROCOD, vpro.SVPRODESCS, vpro.SVPRODESCL, "
    "vpro.BVPRONOTE, vpro.LVPRODEFAULT, vpro.DSTART, vpro.DEND, vpro.DDELETE, vpro.ILOCKED, agg.SAGGDESCL "
    "FROM TVPRO_VOCIPROGETTI vpro INNER JOIN TAGG_AGGREGATI agg ON (vpro.IAGGID = agg.IAGGID) WHERE "
    "vpro.DDELETE IS NULL";
const char *const kSottoVociSQL =
    "SELECT ISVOID, ICORID, IVPROID, SSVODESCS, SSVODESCL, LSVODEFAULT, DSTART, DEND, DDELETE, ILOCKED FROM "
    "TSVO_SOTTOVOCI WHERE IVPROID = :ivproid AND DDELETE IS NULL";

const char *const kSottoVociInsertSQL =
    " INSERT INTO TSVO_SOTTOVOCI (ISVOID, ICORID, IDWGID, IVPROID, SSVODESCS, SSVODESCL, DSTART, DEND) "
    "VALUES "
    "(:VOGENID, :ICORID, :IDWGID, :IVPROID, :SSVODESCS, :SSVODESCL, :DSTART, :DEND)";
const char *const kSottoVociUpdateSQL =
    " UPDATE TSVO_SOTTOVOCI SET TSVO_SOTTOVOCI.ICORID = :ICORID, TSVO_SOTTOVOCI.SSVODESCS = :SSVODESCS, "
    "TSVO_SOTTOVOCI.SSVODESCL = :SSVODESCL, TSVO_SOTTOVOCI.DSTART = :DSTART, TSVO_SOTTOVOCI.DEND = :DEND "
    "WHERE "
    "TSVO_SOTTOVOCI.ISVOID = :VOCURRID";
const char *const kAggregatiInsertSQL =
    " INSERT INTO TAGG_AGGREGATI (IAGGID, IDWGID, SAGGDESCS, SAGGDESCL, IFLSID, ITITOID, DSTART, DEND) "
    "VALUES "
    "(:VOGENID, :IDWGID, :SAGGDESCS, :SAGGDESCL, :IFLSID, :ITITOID, :DSTART, :DEND)";
// Trashing an item retires it: models and voucher rows of the suite keep naming it.
const char *const kVociDeleteSQL =
    " UPDATE TVPRO_VOCIPROGETTI SET DDELETE = CURRENT_TIMESTAMP WHERE IVPROID = :VOCURRID";

const QString kVoci = QStringLiteral("TVPRO_VOCIPROGETTI");
const QString kSottoVoci = QStringLiteral("TSVO_SOTTOVOCI");

int FieldInt(TVoQueryCollection *dataSet, const char *name) {
    return dataSet->FieldByName(QString::fromLatin1(name))->AsInteger();
}

} // namespace

TdmVproDBQuery::TdmVproDBQuery(QObject *parent)
    : QObject(parent), xqcAggregati(new TVoQueryCollection(this)), xqcVoci(new TVoQueryCollection(this)),
      xqcSottoVoci(new TVoQueryCollection(this)) {
    setObjectName(QStringLiteral("dmVproDBQuery"));
    xqcAggregati->SetCommandText(QString::fromLatin1(kAggregatiSQL));
    xqcVoci->SetCommandText(QString::fromLatin1(kVociSQL));
    xqcSottoVoci->SetCommandText(QString::fromLatin1(kSottoVociSQL));

    xqcSottoVoci->SQLInsert.Add(QString::fromLatin1(kSottoVociInsertSQL));
    xqcSottoVoci->SQLUpdate.Add(QString::fromLatin1(kSottoVociUpdateSQL));
    xqcAggregati->SQLInsert.Add(QString::fromLatin1(kAggregatiInsertSQL));
    xqcVoci->SQLDelete.Add(QString::fromLatin1(kVociDeleteSQL));

    for (TVoQueryCollection *dataSet : {xqcVoci, xqcSottoVoci}) {
        dataSet->AddCalcField(QStringLiteral("ContoCompetenza"), QMetaType::QString);
        dataSet->AddCalcField(QStringLiteral("ContoResidui"), QMetaType::QString);
        dataSet->OnCalcFields.Add([this](TVoQueryCollection *s) { CalcConti(s); });
    }
    xqcVoci->AfterScroll.Add([this](TVoQueryCollection *) { xqcVociAfterScroll(); });
    xqcVoci->VoBeforeExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &p, bool &) { xqcVociVoBeforeExec(p); });
    xqcVoci->VoAfterExec.Add([this](TVoQueryCollection *, TVoQueryProp &p) { xqcVociVoAfterExec(p); });
    xqcSottoVoci->VoBeforeExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &p, bool &) { xqcSottoVociVoBeforeExec(p); });
    xqcAggregati->VoBeforeExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &p, bool &) { xqcAggregatiVoBeforeExec(p); });
}

void TdmVproDBQuery::BindConnection(TVoSQLConnection *connection) {
    xqcSottoVoci->SetConnection(connection);
    xqcVoci->SetConnection(connection);
    xqcAggregati->SetConnection(connection);
    qquTmp = connection;
}

void TdmVproDBQuery::CalcConti(TVoQueryCollection *dataSet) {
    QString competenza, residui;
    switch (FieldInt(dataSet, "ICORID")) {
    case 1:
        competenza = QStringLiteral("SI");
        residui = QStringLiteral("NO");
        break;
    case 2:
        competenza = QStringLiteral("NO");
        residui = QStringLiteral("SI");
        break;
    case 3:
        competenza = residui = QStringLiteral("SI");
        break;
    default:
        break;
    }
    dataSet->FieldByName(QStringLiteral("ContoCompetenza"))->SetValue(competenza);
    dataSet->FieldByName(QStringLiteral("ContoResidui"))->SetValue(residui);
}

void TdmVproDBQuery::xqcVociAfterScroll() {
    const int itemId = FieldInt(xqcVoci, "IVPROID");
    xqcSottoVoci->Close();
    xqcSottoVoci->SetParam(QStringLiteral("iVproId"), itemId);
    xqcSottoVoci->Open();
    CurrentVproId = itemId;
}

void TdmVproDBQuery::xqcVociVoBeforeExec(TVoQueryProp &Prop) {
    if (Prop.TableName == kVoci && (Prop.ListKind == skUpdate || Prop.ListKind == skInsert)) {
        Prop.Values.Add(QStringLiteral("iCorId"), VproCorId);
        Prop.Values.Add(QStringLiteral("iDwgId"), CurrentSchoolId);
        if (Prop.ListKind == skInsert && VproTckId > -1)
            Prop.Values.Add(QStringLiteral("iTckId"), VproTckId);
    } else if (Prop.TableName == kSottoVoci && Prop.ListKind == skUpdate) {
        // The item's sub-items follow its dates; an item without an end leaves theirs open.
        Prop.Values.AddDate(QStringLiteral("dStart"), VproStart);
        Prop.Values.AddDate(QStringLiteral("dEnd"), VproEnd);
        Prop.Values.Add(QStringLiteral("iCorId"), VproCorId);
        Prop.Values.Add(QStringLiteral("iVproId"), CurrentVproId);
    }
}

void TdmVproDBQuery::xqcVociVoAfterExec(TVoQueryProp &Prop) {
    if (Prop.TableName == kVoci && Prop.ListKind == skInsert)
        CurrentVproId = Prop.Values.Value(QStringLiteral("VOGENID")).toInt();
}

void TdmVproDBQuery::xqcSottoVociVoBeforeExec(TVoQueryProp &Prop) {
    if (Prop.TableName != kSottoVoci || (Prop.ListKind != skUpdate && Prop.ListKind != skInsert))
        return;
    // A sub-item always takes its item's validity.
    Prop.Values.Add(QStringLiteral("iVproId"), CurrentVproId);
    Prop.Values.Add(QStringLiteral("dStart"), xqcVoci->FieldByName(QStringLiteral("DSTART"))->Value());
    const TVoField *end = xqcVoci->FieldByName(QStringLiteral("DEND"));
    if (!end->IsNull())
        Prop.Values.Add(QStringLiteral("dEnd"), end->Value());
    Prop.Values.Add(QStringLiteral("iCorId"), SvoCorId);
    Prop.Values.Add(QStringLiteral("iDwgId"), CurrentSchoolId);
}

void TdmVproDBQuery::xqcAggregatiVoBeforeExec(TVoQueryProp &Prop) {
    if (Prop.ListKind != skInsert)
        return;
    // A new aggregate starts with the current financial year.
    Prop.Values.Add(QStringLiteral("iflsid"), CashFlow);
    Prop.Values.Add(QStringLiteral("ititoid"), TotalType);
    Prop.Values.AddDate(QStringLiteral("dstart"), CurrentYearStart);
    Prop.Values.Add(QStringLiteral("idwgid"), CurrentSchoolId);
}

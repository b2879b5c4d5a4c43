#include "kvaUUtil.h"

#include "VoDates.h"
#include "VoExceptions.h"
#include "VoGlobals.h"
#include "VoQuery.h"

#include <QLocale>

int CurrentRegisterType = 0;
int CurrentNumbering = 0;
int CurrentVatIncluded = 0;
int CurrentRegisterId = 0;
int CurrentRegYear = 0;
int CurrentRegYearId = 0;
int CurrentSchoolRegisterId = 0;
int CurrentRegisterYearId = 0;
double CurrentRegStart = 0.0;
double CurrentRegEnd = 0.0;
int CurrentSiteId = 0;
QString CurrentSiteDesc;

namespace {

const char *const kContextSQL =
    "SELECT anf.iAnfValore, anf.DANFVOREXINIZIO, anf.DANFVOREXFINE, dfa.dDwgFacAnfInizio, "
    "dfa.dDwgFacAnfFine, "
    "df.iDwgId, df.iFacId, anf.iAnfId, df.iDwgFacId FROM TDwgFacAnf dfa INNER JOIN TDwgFac df ON "
    "dfa.IDWGFacID=df.IDWGFacID INNER JOIN TANF_ANNIFINANZ anf ON (dfa.iAnfId = anf.iAnfId) WHERE "
    "dfa.iDwgFacAnfId = :iDwgFacAnfId;";

const char *const kRegisterYearDescSQL =
    "SELECT fac.sfacdesc || '  Anno: ' || anf.iAnfValore AS DESCR, fac.iTfcId, fac.iFacNumeraz, "
    "fac.iFacIvaInclusa FROM TDwgFacAnf dfa INNER JOIN TDwgFac df ON (dfa.IDWGfacID = df.IDWGfacID) "
    "INNER JOIN TFac_Velisto fac ON (df.IfacID = fac.IfacID) INNER JOIN TANF_ANNIFINANZ ANF ON "
    "(dfa.IANFID = ANF.IANFID) WHERE dfa.idwgfacanfid = :idwgfacanfid AND ((fac.ITFCID<>5) AND "
    "(fac.ITFCID<>7))";

const char *const kSchoolDescSQL =
    "SELECT VDow.sDowSDesc FROM VDow_DataOwner VDow WHERE VDow.iDwgId = :iDwgId";

const char *const kSitesSQL = "SELECT iSedInfId, sSedInfLDesc FROM TSedInf_SedeInfo;";

const char *const kSystemYearSQL =
    " SELECT TANF_ANNIFINANZ.DANFVOREXINIZIO, TANF_ANNIFINANZ.DANFVOREXFINE FROM "
    "TANF_ANNIFINANZ WHERE TANF_ANNIFINANZ.IANFVALORE = :IANFVALORE";

const char *const kRegisterHasYearSQL =
    " SELECT dfa.iDwgFacAnfId, anf.IANFID, dfa.iDwgFacId, dfa.DDWGFACANFINIZIO, dfa.DDWGFACANFFINE FROM "
    "TDwgFacAnf dfa INNER JOIN TANF_ANNIFINANZ anf ON (dfa.IANFID = anf.IANFID) WHERE (anf.IANFVALORE = "
    ":IANFVALORE) AND (dfa.iDwgFacId = :iDwgFacId)";

// The neighbouring register-year: %1 is MAX or MIN, %2 the comparison. The register-year left out is
// compared by id, with -1 leaving out none (a NULL would leave out every row).
const char *const kNeighbourYearSQL =
    "SELECT dfa.iDwgFacAnfId, dfa.DDWGFACANFINIZIO AS INIZIOUTENTE, dfa.DDWGFACANFFINE AS FINEUTENTE, "
    "anf.DANFVOREXINIZIO AS INIZIOVOREX, anf.DANFVOREXFINE AS FINEVOREX, anf.IANFVALORE AS ANNOFIN "
    "FROM TDwgFacAnf dfa INNER JOIN TANF_ANNIFINANZ anf ON (dfa.IANFID = anf.IANFID) "
    "WHERE (dfa.iDwgFacId = :iDwgFacId) AND (dfa.iDwgFacAnfId <> :iDwgFacAnfId) AND anf.IANFVALORE = "
    "(SELECT %1(a2.IANFVALORE) FROM TDwgFacAnf d2 INNER JOIN TANF_ANNIFINANZ a2 ON (d2.IANFID = a2.IANFID) "
    "WHERE (d2.iDwgFacId = :iDwgFacId) AND (d2.iDwgFacAnfId <> :iDwgFacAnfId) AND (a2.IANFVALORE %2 "
    ":IANFVALORE))";

const char *const kNewIdSQL = "SELECT L_ICNTID FROM PYSETGETID(:sTable,1);";

const char *const kCustomReportSQL = "SELECT iYRptId FROM TYRpc_RptCustom WHERE iYRpcId = :iYRpcId;";

const char *const kXmlArchiveSQL =
    "SELECT TYXar.bYXarXmlFile FROM TYXar_XmlArchivio TYXar INNER JOIN TYXls_XmlLista TYXls ON "
    "(TYXls.iYXlsId "
    "= TYXar.iYXlsId) WHERE sYXarCodice = :sYXarCodice AND TYXls.sYXlsCodice = :sYXlsCodice";

QString GlobalText(const QString &name) {
    const QVariant v = xgvmGlobalVar.GetValues(name);
    return v.isNull() ? QString() : VoVariantToText(v);
}

} // namespace

int ParamRegisterYearId() {
    return VoVarToInt(xgvmGlobalVar.GetValues(ParRegisterYear), -1);
}

int ParamSchoolId() {
    return VoVarToInt(xgvmGlobalVar.GetValues(ParSchool), -1);
}

QVariant GetParamDescription(const QString &name) {
    if (name.isEmpty() || GlobalText(name).isEmpty()) {
        CurrentRegisterType = 0;
        CurrentNumbering = 0;
        return QVariant();
    }
    const bool registerYear = name.compare(ParRegisterYear, Qt::CaseInsensitive) == 0;
    const bool school = name.compare(ParSchool, Qt::CaseInsensitive) == 0;
    if (!registerYear && !school)
        throw EVoException(VoFormat(QStringLiteral("Parametro %s non definito"), {name}));
    TVoQuery q(QString::fromLatin1(registerYear ? kRegisterYearDescSQL : kSchoolDescSQL));
    q.SetParam(registerYear ? QStringLiteral("idwgfacanfid") : QStringLiteral("iDwgId"),
               VoVarToInt(xgvmGlobalVar.GetValues(name), -1));
    q.Open();
    if (q.Eof())
        return QVariant();
    if (registerYear) {
        CurrentRegisterType = q.AsInteger(QStringLiteral("iTfcId"));
        CurrentNumbering = q.AsInteger(QStringLiteral("iFacNumeraz"));
        CurrentVatIncluded = q.AsInteger(QStringLiteral("iFacIvaInclusa"));
    }
    const QVariant v = q.Value(0);
    return v.isNull() ? QVariant() : QVariant(VoVariantToText(v));
}

void LoadCurrentRegisterYear(int registerYearId, double &start, double &end) {
    TVoQuery q(QString::fromLatin1(kContextSQL));
    q.SetParam(QStringLiteral("iDwgFacAnfId"), registerYearId);
    q.Open();
    if (q.Eof()) {
        start = VoNoDate;
        end = VoNoDate;
        return;
    }
    CurrentRegYear = q.AsInteger(QStringLiteral("iAnfValore"));
    CurrentRegYearId = q.AsInteger(QStringLiteral("iAnfId"));
    CurrentSchoolRegisterId = q.AsInteger(QStringLiteral("iDwgFacId"));
    CurrentRegisterYearId = registerYearId;
    auto effective = [&q](const char *own, const char *year) {
        // A custom date counts only when set (not day 0); else the financial year's default.
        const double o = q.AsDate(QString::fromLatin1(own));
        if (!q.IsNull(QString::fromLatin1(own)) && o != 0.0)
            return o;
        if (!q.IsNull(QString::fromLatin1(year)))
            return q.AsDate(QString::fromLatin1(year));
        return VoNoDate;
    };
    start = effective("dDwgFacAnfInizio", "DANFVOREXINIZIO");
    end = effective("dDwgFacAnfFine", "DANFVOREXFINE");
}

void LoadWorkingContext(bool firstActivation) {
    const QVariant parameter = xgvmGlobalVar.GetValues(ParRegisterYear);
    const bool unset = parameter.isNull() || VoVariantToText(parameter).isEmpty();
    const int id = VoVarToInt(parameter, -1);
    if (!(firstActivation && unset))
        LoadCurrentRegisterYear(id, CurrentRegStart, CurrentRegEnd);
    UseSchoolYearDates = false;
    {
        TVoQuery q(QString::fromLatin1(kContextSQL));
        q.SetParam(QStringLiteral("iDwgFacAnfId"), id);
        q.Open();
        // With no row each value reads as 0.
        CurrentRegisterId = q.AsInteger(QStringLiteral("iFacId"));
        CurrentYearValue = q.AsInteger(QStringLiteral("iAnfValore"));
        CurrentSchoolId = q.AsInteger(QStringLiteral("iDwgId"));
    }
    if (firstActivation) {
        TVoQuery q(QString::fromLatin1(kSitesSQL));
        q.Open();
        const int siteId = q.AsInteger(QStringLiteral("iSedInfId"), -1);
        const QString siteDesc = q.AsString(QStringLiteral("sSedInfLDesc"));
        if (q.CountToEnd() == 1) {
            CurrentSiteId = siteId;
            CurrentSiteDesc = siteDesc;
        } else {
            CurrentSiteId = -1;
            CurrentSiteDesc.clear();
        }
    }
    GetFinancialYearDates(CurrentYearValue, CurrentSchoolId, CurrentYearStart, CurrentYearEnd);
}

void ReplaceCurrDwg(QString &sql) {
    if (sql.contains(QStringLiteral("::CURR_DWG")))
        sql.replace(QStringLiteral("::CURR_DWG"), GlobalText(ParSchool));
}

void ResetWorkingContext() {
    CurrentRegisterType = CurrentNumbering = CurrentVatIncluded = 0;
    CurrentRegisterId = CurrentRegYear = CurrentRegYearId = 0;
    CurrentSchoolRegisterId = CurrentRegisterYearId = 0;
    CurrentRegStart = CurrentRegEnd = 0.0;
    CurrentSiteId = 0;
    CurrentSiteDesc.clear();
    ResetSharedContext();
}

void GetSystemYearDates(int yearValue, DateWindow &window) {
    TVoQuery q(QString::fromLatin1(kSystemYearSQL));
    q.SetParam(QStringLiteral("IANFVALORE"), yearValue);
    q.Open();
    window.low = q.AsDate(QStringLiteral("DANFVOREXINIZIO"));
    window.high = q.AsDate(QStringLiteral("DANFVOREXFINE"));
}

bool RegisterHasYear(int schoolRegisterId, int yearValue) {
    TVoQuery q(QString::fromLatin1(kRegisterHasYearSQL));
    q.SetParam(QStringLiteral("IANFVALORE"), yearValue)
        .SetParam(QStringLiteral("iDwgFacId"), schoolRegisterId);
    q.Open();
    return !q.Eof();
}

namespace {
void NeighbourRegisterYear(bool previous, int schoolRegisterId, int leaveOutId, DateWindow &window, int &year,
                           int &registerYearId) {
    TVoQuery q(QString::fromLatin1(kNeighbourYearSQL)
                   .arg(previous ? QStringLiteral("MAX") : QStringLiteral("MIN"),
                        previous ? QStringLiteral("<") : QStringLiteral(">")));
    q.SetParam(QStringLiteral("iDwgFacId"), schoolRegisterId)
        .SetParam(QStringLiteral("iDwgFacAnfId"), leaveOutId)
        .SetParam(QStringLiteral("IANFVALORE"), year);
    q.Open();
    const double startUser = q.AsDate(QStringLiteral("INIZIOUTENTE"));
    const double endUser = q.AsDate(QStringLiteral("FINEUTENTE"));
    const double startYear = q.AsDate(QStringLiteral("INIZIOVOREX"));
    const double endYear = q.AsDate(QStringLiteral("FINEVOREX"));
    // The previous year is told apart by its end, the next one by its start.
    const bool empty = previous ? (endUser == 0.0 && endYear == 0.0) : (startUser == 0.0 && startYear == 0.0);
    if (empty) {
        (previous ? window.high : window.low) = VoNoDate;
        year = -1;
        return;
    }
    window.low = startUser != 0.0 ? startUser : startYear;
    window.high = endUser != 0.0 ? endUser : endYear;
    registerYearId = q.AsInteger(QStringLiteral("iDwgFacAnfId"));
    year = q.AsInteger(QStringLiteral("ANNOFIN"));
}
} // namespace

void GetPreviousRegisterYear(int schoolRegisterId, int leaveOutId, DateWindow &window, int &year,
                             int &registerYearId) {
    NeighbourRegisterYear(true, schoolRegisterId, leaveOutId, window, year, registerYearId);
}

void GetNextRegisterYear(int schoolRegisterId, int leaveOutId, DateWindow &window, int &year,
                         int &registerYearId) {
    NeighbourRegisterYear(false, schoolRegisterId, leaveOutId, window, year, registerYearId);
}

int NewId(const QString &tableName) {
    TVoQuery q(QString::fromLatin1(kNewIdSQL));
    q.SetParam(QStringLiteral("sTable"), tableName);
    q.Open();
    return q.AsInteger(QStringLiteral("L_ICNTID"));
}

int GetBaseReportId(int reportId) {
    if (reportId < 1000000)
        return reportId;
    TVoQuery q(QString::fromLatin1(kCustomReportSQL));
    q.SetParam(QStringLiteral("iYRpcId"), reportId);
    q.Open();
    return q.AsInteger(QStringLiteral("iYRptId"));
}

void LoadXmlArchive(QString &target, const QString &code, const QString &listCode) {
    TVoQuery q(QString::fromLatin1(kXmlArchiveSQL));
    q.SetParam(QStringLiteral("sYXarCodice"), code)
        .SetParam(QStringLiteral("sYXlsCodice"), listCode.isEmpty() ? QStringLiteral("KVA") : listCode);
    q.Open();
    if (q.Eof())
        throw EVoError(VoFormat(QStringLiteral("XML codice %s Non trovato nel DB"), {code}));
    target = q.AsString(QStringLiteral("bYXarXmlFile"));
}

QString ConvertLikeFilter(const QString &filter) {
    static const QString like = QStringLiteral(" LIKE '");
    const QLocale locale;
    auto convert = [&locale](const QString &value) {
        return QStringLiteral("%") + locale.toUpper(value).replace(QLatin1Char('\''), QStringLiteral("''")) +
               QStringLiteral("%");
    };
    if (!filter.startsWith(QLatin1Char('('))) {
        const qsizetype p = filter.indexOf(like);
        if (p < 0 || filter.size() <= p + like.size())
            return filter;
        const qsizetype valueStart = p + like.size();
        const QString rest = filter.mid(valueStart);
        return filter.left(valueStart) + convert(rest.left(rest.size() - 1)) + rest.right(1);
    }
    QString output;
    QString remaining = filter;
    qsizetype p;
    while ((p = remaining.indexOf(like)) >= 0) {
        output += remaining.left(p + like.size());
        remaining = remaining.mid(p + like.size());
        const qsizetype end = remaining.indexOf(QStringLiteral("')"));
        if (end < 0) {
            // An unclosed value: keep the rest as it stands rather than guess where it ends.
            break;
        }
        output += convert(remaining.left(end));
        remaining = remaining.mid(end);
    }
    return output + remaining;
}

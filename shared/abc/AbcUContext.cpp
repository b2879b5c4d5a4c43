#include "AbcUContext.h"

#include "VoDates.h"
#include "VoExceptions.h"
#include "VoGlobals.h"
#include "VoQuery.h"

int CurrentRegisterType = 0;
int CurrentRegisterId = 0;
int CurrentRegYear = 0;
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

const char *const kSchoolDescSQL =
    "SELECT VDow.sDowSDesc FROM VDow_DataOwner VDow WHERE VDow.iDwgId = :iDwgId";

const char *const kSitesSQL = "SELECT iSedInfId, sSedInfLDesc FROM TSedInf_SedeInfo;";

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

bool ReadRegisterYear(int registerYearId, TAbcRegisterYear &registerYear) {
    TVoQuery q(QString::fromLatin1(kContextSQL));
    q.SetParam(QStringLiteral("iDwgFacAnfId"), registerYearId);
    q.Open();
    if (q.Eof())
        return false;
    registerYear.yearValue = q.AsInteger(QStringLiteral("iAnfValore"));
    registerYear.yearId = q.AsInteger(QStringLiteral("iAnfId"));
    registerYear.schoolId = q.AsInteger(QStringLiteral("iDwgId"));
    registerYear.registerId = q.AsInteger(QStringLiteral("iFacId"));
    registerYear.schoolRegisterId = q.AsInteger(QStringLiteral("iDwgFacId"));
    auto effective = [&q](const char *own, const char *year) {
        // A custom date counts only when set; else the financial year's default.
        const double o = q.AsDate(QString::fromLatin1(own));
        return VoIsNoDate(o) ? q.AsDate(QString::fromLatin1(year)) : o;
    };
    registerYear.start = effective("dDwgFacAnfInizio", "DANFVOREXINIZIO");
    registerYear.end = effective("dDwgFacAnfFine", "DANFVOREXFINE");
    return true;
}

bool ReadRegisterYear(int registerYearId, TAbcRegisterYear &registerYear, double &start, double &end) {
    const bool exists = ReadRegisterYear(registerYearId, registerYear);
    start = registerYear.start;
    end = registerYear.end;
    return exists;
}

void AbcLoadWorkingContext(bool firstActivation, TAbcLoadRegisterYear loadRegisterYear) {
    const QVariant parameter = xgvmGlobalVar.GetValues(ParRegisterYear);
    const bool unset = parameter.isNull() || VoVariantToText(parameter).isEmpty();
    const int id = VoVarToInt(parameter, -1);
    if (!(firstActivation && unset))
        loadRegisterYear(id, CurrentRegStart, CurrentRegEnd);
    UseSchoolYearDates = false;
    // With no register-year each value reads as 0.
    TAbcRegisterYear found;
    ReadRegisterYear(id, found);
    CurrentRegisterId = found.registerId;
    CurrentYearValue = found.yearValue;
    CurrentSchoolId = found.schoolId;
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

QVariant AbcParamDescription(const QString &name, const QString &registerYearSQL,
                             const std::function<void(const TVoQuery *row)> &registerOptions) {
    if (name.isEmpty() || GlobalText(name).isEmpty()) {
        CurrentRegisterType = 0;
        registerOptions(nullptr);
        return QVariant();
    }
    const bool registerYear = name.compare(ParRegisterYear, Qt::CaseInsensitive) == 0;
    const bool school = name.compare(ParSchool, Qt::CaseInsensitive) == 0;
    if (!registerYear && !school)
        throw EVoException(VoFormat(QStringLiteral("Parametro %s non definito"), {name}));
    TVoQuery q(registerYear ? registerYearSQL : QString::fromLatin1(kSchoolDescSQL));
    q.SetParam(registerYear ? QStringLiteral("iDwgFacAnfId") : QStringLiteral("iDwgId"),
               VoVarToInt(xgvmGlobalVar.GetValues(name), -1));
    q.Open();
    if (q.Eof())
        return QVariant();
    if (registerYear) {
        CurrentRegisterType = q.AsInteger(QStringLiteral("iTfcId"));
        registerOptions(&q);
    }
    const QVariant v = q.Value(0);
    return v.isNull() ? QVariant() : QVariant(VoVariantToText(v));
}

QString AbcOwnRegisters(bool durableGoods, const QString &typeColumn) {
    return durableGoods ? QStringLiteral("((%1=5) OR (%1=7))").arg(typeColumn)
                        : QStringLiteral("((%1<>5) AND (%1<>7))").arg(typeColumn);
}

void ReplaceCurrDwg(QString &sql) {
    // The marker stands where a value goes, so it takes the school as a number written here: the
    // settings file's text never reaches the statement, and an unset or unreadable school (-1)
    // selects no school instead of breaking the statement.
    if (sql.contains(QStringLiteral("::CURR_DWG")))
        sql.replace(QStringLiteral("::CURR_DWG"), QString::number(ParamSchoolId()));
}

QString CurrDwgReplaced(const char *sql) {
    QString text = QString::fromLatin1(sql);
    ReplaceCurrDwg(text);
    return text;
}

void ResetRegisterContext() {
    CurrentRegisterType = CurrentRegisterId = CurrentRegYear = 0;
    CurrentSchoolRegisterId = CurrentRegisterYearId = 0;
    CurrentRegStart = CurrentRegEnd = VoNoDate;
    CurrentSiteId = 0;
    CurrentSiteDesc.clear();
    ResetSharedContext();
}

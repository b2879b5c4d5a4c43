#include "AbcUUtil.h"

#include "VoConnection.h"
#include "VoDates.h"
#include "VoMessages.h"
#include "VoQuery.h"

int CurrentYearValue = -1;
int CurrentSchoolId = -1;
double CurrentYearStart = VoNoDate;
double CurrentYearEnd = VoNoDate;
bool UseSchoolYearDates = true;

namespace {
const char *const kSchoolYearSQL =
    " SELECT TANF_ANNIFINANZ.IANFID, TANF_ANNIFINANZ.IANFVALORE, TANF_ANNIFINANZ.DANFVOREXINIZIO, "
    "TANF_ANNIFINANZ.DANFVOREXFINE, TDWGANF.DDWGANFINIZIO, TDWGANF.DDWGANFFINE FROM TANF_ANNIFINANZ JOIN "
    "TDWGANF ON (TDWGANF.IANFID = TANF_ANNIFINANZ.IANFID AND TDWGANF.DDELETE IS NULL) WHERE "
    "TANF_ANNIFINANZ.IANFVALORE = :IANFVALORE AND TDWGANF.IDWGID = :IDWGID";
const char *const kYearSQL = " SELECT TANF_ANNIFINANZ.DANFVOREXINIZIO, TANF_ANNIFINANZ.DANFVOREXFINE FROM "
                             "TANF_ANNIFINANZ WHERE TANF_ANNIFINANZ.IANFVALORE = :IANFVALORE";

// The first set date of the two, else -1.0.
double FirstSet(const TVoQuery &q, const char *own, const char *fallback) {
    if (!q.IsNull(QString::fromLatin1(own)))
        return q.AsDate(QString::fromLatin1(own));
    if (!q.IsNull(QString::fromLatin1(fallback)))
        return q.AsDate(QString::fromLatin1(fallback));
    return VoNoDate;
}
} // namespace

void GetFinancialYearDates(int yearValue, int schoolId, double &start, double &end) {
    if (UseSchoolYearDates) {
        TVoQuery q(QString::fromLatin1(kSchoolYearSQL));
        q.SetParam(QStringLiteral("IANFVALORE"), yearValue).SetParam(QStringLiteral("IDWGID"), schoolId);
        q.Open();
        if (q.Eof()) {
            start = VoNoDate;
            end = VoNoDate;
            return;
        }
        start = FirstSet(q, "DDWGANFINIZIO", "DANFVOREXINIZIO");
        end = FirstSet(q, "DDWGANFFINE", "DANFVOREXFINE");
        return;
    }
    TVoQuery q(QString::fromLatin1(kYearSQL));
    q.SetParam(QStringLiteral("IANFVALORE"), yearValue);
    q.Open();
    // The year's own dates as they stand: a missing row or an empty date reads as day 0, which the
    // current context's check lets pass and the complete context's check refuses.
    const auto stored = [&q](const QString &field) { return q.IsNull(field) ? 0.0 : q.AsDate(field); };
    start = stored(QStringLiteral("DANFVOREXINIZIO"));
    end = stored(QStringLiteral("DANFVOREXFINE"));
}

namespace {
// The four tests of the context, each telling its missing item. Unset is -1, and with zeroUnset any
// value of 0 or less.
bool ReportContext(int yearValue, int schoolId, bool zeroUnset) {
    const auto unset = [zeroUnset](double value) { return zeroUnset ? value <= 0.0 : value == VoNoDate; };
    double start = VoNoDate, end = VoNoDate;
    GetFinancialYearDates(yearValue, schoolId, start, end);
    bool ok = true;
    auto check = [&ok](bool failed, const char *message) {
        if (failed) {
            VoMessageDlg(QString::fromUtf8(message), mtError, mbOK);
            ok = false;
        }
    };
    check(unset(yearValue), "Anno Finanziario corrente non settato");
    check(unset(schoolId), "Istituto corrente non settato");
    check(unset(start), "Data di inizio dell'anno finanziario corrente non settata");
    check(unset(end), "Data di fine dell'anno finanziario corrente non settata");
    return ok;
}
} // namespace

bool CheckCurrentContext(int yearValue, int schoolId) {
    return ReportContext(yearValue, schoolId, false);
}

bool CheckCompleteContext(int yearValue, int schoolId) {
    return ReportContext(yearValue, schoolId, true);
}

int CurrentUserRights() {
    return qqoVoGlobConn ? qqoVoGlobConn->F : 0;
}

bool CurrentUserCanWrite() {
    return (CurrentUserRights() & VoWriteRightsMask) == VoWriteRightsMask;
}

void ResetSharedContext() {
    CurrentYearValue = -1;
    CurrentSchoolId = -1;
    CurrentYearStart = VoNoDate;
    CurrentYearEnd = VoNoDate;
    UseSchoolYearDates = true;
}

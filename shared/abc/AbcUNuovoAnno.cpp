#include "AbcUNuovoAnno.h"

#include "AbcURoutines.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoQuery.h"

const char *const AbcAdjustRegisterYearSQL = " UPDATE TDwgFacAnf  SET DDWGFACANFINIZIO = :DINIZIO,      "
                                             "DDWGFACANFFINE = :DFINE WHERE (iDwgFacAnfId = :IDWGFACANFID)";

namespace {

const QString kPrefix = QStringLiteral("Attenzione ! \r\n");

const char *const M1 =
    "La data d'inizio non può essere accettata in quanto maggiore dell'anno finanziario selezionato. ";
const char *const M2 =
    "La data di fine non può essere accettata in quanto minore dell'anno finanziario selezionato. ";
const char *const M3 =
    "La data d'inizio non può essere accettata, perchè si sovrappone ad un anno finanziario già "
    "definito. \r\nL'anno finanziario può partire dal %s in poi. ";
const char *const M4 =
    "La data di fine dell'Anno Finanziario non può essere accettata, perchè si sovrappone ad un anno "
    "finanziario già definito. \r\nL'anno finanziario può terminare al massimo il %s . ";
const char *const Q1 =
    "Il tempo che intercorre tra il %s e il %s non rientra in nessun Anno Finanziario definito. "
    "\r\nContinuare ? ";
const char *const Q2 =
    "La continuazione dell'operazione potrebbe comportare dei problemi al corretto funzionamento del "
    "programma. \r\nContinuare ? ";
const char *const Q3 =
    "Modificando la data d'inizio si modificherà automaticamente la durata dell'anno finanziario "
    "precedente. \r\n\r\nAnno finanziario precedente : %d \r\nInizio : %s \r\nFine : %s \r\n  Dopo "
    "modifica : \r\nInizio : %s \r\nFine : %s \r\n\r\nContinuare ? ";
const char *const Q4 =
    "Modificando la data di fine si modificherà automaticamente la durata dell'anno finanziario "
    "successivo. \r\n\r\nAnno finanziario successivo : %d \r\nInizio : %s \r\nFine : %s \r\n  Dopo "
    "modifica : \r\nInizio : %s \r\nFine : %s \r\n\r\nContinuare ? ";

const char *const kYearRequired = "Attenzione ! \r\nCampo obbligatorio \"Anno Finanziario\". ";
const char *const kDuplicateYear = "Attenzione ! \r\nAnno Finanziario già definito. ";
const char *const kEndBeforeStart =
    "Attenzione ! \r\nLa data di fine deve essere maggiore di quella di inizio. ";
const char *const kBothDates =
    "Attenzione ! \r\nSe si vogliono personalizzare le date di inizio e fine è necessario "
    "specificarle entrambe. ";
// A year whose default dates are not known (outside the years the window handles, or never set)
// can only be opened with custom dates.
const char *const kNoDefaultDates =
    "Attenzione ! \r\nL'anno finanziario selezionato non ha date di inizio e fine "
    "predefinite: impostare le date personalizzate. ";

QString D(double days) {
    return FormatDays(days);
}

struct TNeighbour {
    int year = -1;
    int id = 0;
    DateWindow window;
};

class TChecker {
public:
    explicit TChecker(const TRegisterYearInput &in) : in(in) {}

    TRegisterYearCheck Run();

private:
    bool Error(const QString &text, TRegisterYearCheck::TFocus focus) {
        VoMessageDlg(text, mtError, mbOK);
        result.focus = focus;
        return false;
    }
    // Focus to the date edit concerned when the custom dates are shown, else to the year.
    TRegisterYearCheck::TFocus DateFocus(TRegisterYearCheck::TFocus edit) const {
        return in.customDatesShown ? edit : TRegisterYearCheck::FocusYear;
    }
    bool GapWarning(double from, double to, TRegisterYearCheck::TFocus focus) {
        if (VoMessageDlg(VoFormat(QString::fromUtf8(Q1), {D(from), D(to)}).prepend(kPrefix), mtWarning,
                         mbYesNo) == mrYes &&
            VoMessageDlg(kPrefix + QString::fromUtf8(Q2), mtWarning, mbYesNo) == mrYes)
            return true;
        result.focus = DateFocus(focus);
        return false;
    }
    // Insert rule on the previous register-year: no overlap, and a gap only when confirmed.
    bool PreviousRule() {
        const double pe = prev.window.high;
        if (S <= pe)
            return Error(VoFormat(QString::fromUtf8(M3), {D(pe + 1)}).prepend(kPrefix),
                         DateFocus(TRegisterYearCheck::FocusStart));
        if (pe + 1 < S)
            return GapWarning(pe + 1, S - 1, TRegisterYearCheck::FocusStart);
        return true;
    }
    bool NextRule() {
        const double ns = next.window.low;
        if (E >= ns)
            return Error(VoFormat(QString::fromUtf8(M4), {D(ns - 1)}).prepend(kPrefix),
                         DateFocus(TRegisterYearCheck::FocusEnd));
        if (ns - 1 > E)
            return GapWarning(E + 1, ns - 1, TRegisterYearCheck::FocusEnd);
        return true;
    }
    bool FieldChecks();
    bool DateRules();

    const TRegisterYearInput &in;
    TRegisterYearCheck result;
    double S = 0, E = 0;
    TNeighbour prev, next;
};

bool TChecker::FieldChecks() {
    if (in.yearValue <= 0)
        return Error(QString::fromUtf8(kYearRequired), TRegisterYearCheck::FocusYear);
    if (RegisterHasYear(in.schoolRegisterId, in.yearValue) &&
        (in.inserting || in.yearValue != in.storedYearValue)) {
        result.clearYear = true;
        return Error(QString::fromUtf8(kDuplicateYear), TRegisterYearCheck::FocusYear);
    }
    const bool hasStart = !VoIsNoDate(in.customStart), hasEnd = !VoIsNoDate(in.customEnd);
    if (hasStart && hasEnd && in.customEnd < in.customStart)
        return Error(QString::fromUtf8(kEndBeforeStart), TRegisterYearCheck::FocusEnd);
    if (hasStart != hasEnd)
        return Error(QString::fromUtf8(kBothDates),
                     hasStart ? TRegisterYearCheck::FocusEnd : TRegisterYearCheck::FocusStart);
    return true;
}

bool TChecker::DateRules() {
    S = VoIsNoDate(in.customStart) ? in.defaultStart : in.customStart;
    E = VoIsNoDate(in.customEnd) ? in.defaultEnd : in.customEnd;
    if (VoIsNoDate(S) || VoIsNoDate(E))
        return Error(QString::fromUtf8(kNoDefaultDates), TRegisterYearCheck::FocusYear);
    if (S > DateToDays(QDate(in.yearValue, 12, 31)))
        return Error(kPrefix + QString::fromUtf8(M1), DateFocus(TRegisterYearCheck::FocusStart));
    if (E < DateToDays(QDate(in.yearValue, 1, 1)))
        return Error(kPrefix + QString::fromUtf8(M2), DateFocus(TRegisterYearCheck::FocusEnd));
    const int leaveOut = in.inserting ? -1 : in.registerYearId;
    prev.year = in.yearValue;
    GetPreviousRegisterYear(in.schoolRegisterId, leaveOut, prev.window, prev.year, prev.id);
    next.year = in.yearValue;
    GetNextRegisterYear(in.schoolRegisterId, leaveOut, next.window, next.year, next.id);

    if (in.inserting) {
        if (prev.year != -1 && !PreviousRule())
            return false;
        return next.year == -1 || NextRule();
    }

    const double os = in.storedStart, oe = in.storedEnd;
    const bool sameYear = in.yearValue == in.storedYearValue;
    if (prev.year != -1) {
        const double ps = prev.window.low, pe = prev.window.high;
        if (!sameYear || pe + 1 != os) {
            if (!PreviousRule())
                return false;
        } else if (S != os) {
            if (S <= ps)
                return Error(VoFormat(QString::fromUtf8(M3), {D(ps + 1)}).prepend(kPrefix),
                             DateFocus(TRegisterYearCheck::FocusStart));
            const QString q =
                VoFormat(QString::fromUtf8(Q3), {QString::number(prev.year), D(ps), D(pe), D(ps), D(S - 1)});
            if (VoMessageDlg(kPrefix + q, mtWarning, mbYesNo) != mrYes) {
                result.focus = TRegisterYearCheck::FocusStart;
                return false;
            }
            result.adjustments.append({prev.id, ps, S - 1});
        }
    }
    if (next.year != -1) {
        const double ns = next.window.low, ne = next.window.high;
        if (!sameYear || ns - 1 != oe) {
            if (!NextRule())
                return false;
        } else if (E != oe) {
            if (E >= ne)
                return Error(VoFormat(QString::fromUtf8(M4), {D(ne - 1)}).prepend(kPrefix),
                             DateFocus(TRegisterYearCheck::FocusEnd));
            const QString q =
                VoFormat(QString::fromUtf8(Q4), {QString::number(next.year), D(ns), D(ne), D(E + 1), D(ne)});
            if (VoMessageDlg(kPrefix + q, mtWarning, mbYesNo) != mrYes) {
                result.focus = TRegisterYearCheck::FocusEnd;
                return false;
            }
            result.adjustments.append({next.id, E + 1, ne});
        }
    }
    return true;
}

TRegisterYearCheck TChecker::Run() {
    result.ok = FieldChecks() && DateRules();
    if (!result.ok)
        result.adjustments.clear();
    return result;
}

} // namespace

TRegisterYearCheck CheckRegisterYearPost(const TRegisterYearInput &input) {
    return TChecker(input).Run();
}

void ApplyRegisterYearAdjustments(const QList<TRegisterYearAdjustment> &adjustments) {
    for (const TRegisterYearAdjustment &a : adjustments) {
        TVoQuery q(QString::fromLatin1(AbcAdjustRegisterYearSQL));
        q.SetParamDate(QStringLiteral("DINIZIO"), a.start)
            .SetParamDate(QStringLiteral("DFINE"), a.end)
            .SetParam(QStringLiteral("IDWGFACANFID"), a.registerYearId);
        q.Exec();
    }
}

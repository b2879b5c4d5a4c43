#include "AbcUVpro.h"

#include "AbcMVpro.h"
#include "AbcUUtil.h"
#include "VoConnection.h"
#include "VoDBFrames.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoQuery.h"

#include <QList>

int CashFlow = 2;
int TotalType = 1;

const QString VproCodeRequired = QStringLiteral("Attenzione!\r\nCampo obbligatorio \"Codice\"");
const QString VproNoAccount = QStringLiteral("Attenzione!\r\nAlmeno un conto deve essere selezionato");
const QString VproAccountLost = QStringLiteral(
    "Attenzione!\r\nL'elemento selezionato non può passare da competenza a residuio viceversa, perchè uno o "
    "più modelli fanno riferimento ad esso.\r\nE'possibile solamente passare ad entrambi");
const QString VproFrozen = QStringLiteral(
    "Attenzione!\r\nL'elemento selezionato non può essere modificato perchè esistono uno o più "
    "modelli congelati che fanno riferimento ad esso");

namespace {

const char *const kMprOccupateSQL =
    " SELECT COUNT(TMPR_MODPROGETTI.IMPRID) AS MPRVPROOCCUPATE, MAX(TMPR_MODPROGETTI.IMPRESERCIZIOFIN) AS "
    "DMAX FROM TMPR_MODPROGETTI WHERE (TMPR_MODPROGETTI.IVPROID = :IVPROID) AND (TMPR_MODPROGETTI.IDWGID = "
    ":IDWGID) AND (TMPR_MODPROGETTI.DDELETE IS NULL)";
const char *const kAprOccupateSQL =
    " SELECT COUNT (TVOI_VOCIIMPORTI.IVOIID) AS APRVPROOCCUPATE, MAX(TMPR_MODPROGETTI.IMPRESERCIZIOFIN) AS "
    "DMAX FROM TVOI_VOCIIMPORTI JOIN TMPR_MODPROGETTI ON (TVOI_VOCIIMPORTI.IMPRID = TMPR_MODPROGETTI.IMPRID) "
    "WHERE (TVOI_VOCIIMPORTI.IVPROID = :IVPROID) AND (TMPR_MODPROGETTI.IDWGID = :IDWGID) AND "
    "(TVOI_VOCIIMPORTI.DDELETE IS NULL) AND (TMPR_MODPROGETTI.DDELETE IS NULL)";
const char *const kMprBloccateSQL =
    " SELECT COUNT(TMPR_MODPROGETTI.IMPRID) AS MPRVPROBLOCCATE FROM TMPR_MODPROGETTI JOIN TAPR_APPPROGETTI "
    "ON (TMPR_MODPROGETTI.IMPRID = TAPR_APPPROGETTI.IMPRID) WHERE (TMPR_MODPROGETTI.IVPROID = :IVPROID) AND "
    "(TMPR_MODPROGETTI.IDWGID = :IDWGID) AND (TAPR_APPPROGETTI.ILOCKED = 1) AND (TMPR_MODPROGETTI.DDELETE IS "
    "NULL) AND (TAPR_APPPROGETTI.DDELETE IS NULL)";
const char *const kAprBloccateSQL =
    " SELECT COUNT (TVOI_VOCIIMPORTI.IVOIID) AS APRVPROBLOCCATE FROM TVOI_VOCIIMPORTI JOIN TMPR_MODPROGETTI "
    "ON (TVOI_VOCIIMPORTI.IMPRID = TMPR_MODPROGETTI.IMPRID) JOIN TAPR_APPPROGETTI ON "
    "(TMPR_MODPROGETTI.IMPRID = TAPR_APPPROGETTI.IMPRID) WHERE (TVOI_VOCIIMPORTI.IVPROID = :IVPROID) AND "
    "(TMPR_MODPROGETTI.IDWGID = :IDWGID) AND (TAPR_APPPROGETTI.ILOCKED = 1) AND (TVOI_VOCIIMPORTI.DDELETE IS "
    "NULL) AND (TAPR_APPPROGETTI.DDELETE IS NULL) AND (TMPR_MODPROGETTI.DDELETE IS NULL)";
const char *const kSvoOccupateSQL =
    " SELECT COUNT (TVOI_VOCIIMPORTI.IVOIID) AS SVOOCCUPATE FROM TVOI_VOCIIMPORTI JOIN TMPR_MODPROGETTI ON "
    "(TVOI_VOCIIMPORTI.IMPRID = TMPR_MODPROGETTI.IMPRID AND TMPR_MODPROGETTI.DDELETE IS NULL) WHERE "
    "(TVOI_VOCIIMPORTI.ISVOID = :ISVOID) AND (TMPR_MODPROGETTI.IDWGID = :IDWGID) AND "
    "(TVOI_VOCIIMPORTI.DDELETE IS NULL)";
const char *const kSvoBloccateSQL =
    " SELECT COUNT(TVOI_VOCIIMPORTI.IVOIID) AS SVOBLOCCATE FROM TVOI_VOCIIMPORTI JOIN TMPR_MODPROGETTI ON "
    "(TVOI_VOCIIMPORTI.IMPRID = TMPR_MODPROGETTI.IMPRID) JOIN TAPR_APPPROGETTI ON (TMPR_MODPROGETTI.IMPRID "
    "= TAPR_APPPROGETTI.IMPRID) WHERE (TVOI_VOCIIMPORTI.ISVOID = :ISVOID) AND (TMPR_MODPROGETTI.IDWGID = "
    ":IDWGID) AND (TAPR_APPPROGETTI.ILOCKED = 1) AND (TVOI_VOCIIMPORTI.DDELETE IS NULL) AND "
    "(TMPR_MODPROGETTI.DDELETE IS NULL)";
const char *const kAggOccupatiSQL =
    " SELECT COUNT (TVOI_VOCIIMPORTI.IVOIID) AS AGGOCCUPATI FROM TVOI_VOCIIMPORTI JOIN TMPR_MODPROGETTI ON "
    "(TVOI_VOCIIMPORTI.IMPRID = TMPR_MODPROGETTI.IMPRID) JOIN TAPR_APPPROGETTI ON (TMPR_MODPROGETTI.IMPRID "
    "= TAPR_APPPROGETTI.IMPRID) WHERE (TVOI_VOCIIMPORTI.IAGGID = :IAGGID) AND (TMPR_MODPROGETTI.IDWGID = "
    ":IDWGID) AND TVOI_VOCIIMPORTI.DDELETE IS NULL AND TMPR_MODPROGETTI.DDELETE IS NULL AND "
    "TAPR_APPPROGETTI.DDELETE IS NULL";
const char *const kAggBloccatiSQL =
    " SELECT COUNT(TVOI_VOCIIMPORTI.IVOIID) AS AGGBLOCCATI FROM TVOI_VOCIIMPORTI JOIN TMPR_MODPROGETTI ON "
    "(TVOI_VOCIIMPORTI.IMPRID = TMPR_MODPROGETTI.IMPRID) JOIN TAPR_APPPROGETTI ON (TMPR_MODPROGETTI.IMPRID "
    "= TAPR_APPPROGETTI.IMPRID) WHERE (TVOI_VOCIIMPORTI.IAGGID = :IAGGID) AND (TAPR_APPPROGETTI.ILOCKED = 1) "
    "AND (TMPR_MODPROGETTI.IDWGID = :IDWGID) AND (TVOI_VOCIIMPORTI.DDELETE IS NULL) AND "
    "(TAPR_APPPROGETTI.DDELETE IS NULL) AND (TMPR_MODPROGETTI.DDELETE IS NULL)";

const char *const kIncomeAggregateCodesSQL =
    " SELECT TAGG_AGGREGATI.SAGGDESCS FROM TAGG_AGGREGATI WHERE TAGG_AGGREGATI.IFLSID = 1 AND "
    "(TAGG_AGGREGATI.IDWGID = :IDWGID OR TAGG_AGGREGATI.IDWGID IS NULL) AND TAGG_AGGREGATI.DDELETE IS NULL";
const char *const kSubItemCodesSQL =
    " SELECT TSVO_SOTTOVOCI.SSVODESCS FROM TSVO_SOTTOVOCI WHERE TSVO_SOTTOVOCI.IVPROID = :IVPROID AND "
    "(TSVO_SOTTOVOCI.IDWGID = :IDWGID OR TSVO_SOTTOVOCI.IDWGID IS NULL) AND TSVO_SOTTOVOCI.DDELETE IS NULL";
const char *const kCodeOpenPeriodSQL =
    " SELECT TVPRO_VOCIPROGETTI.IVPROID, TVPRO_VOCIPROGETTI.DSTART, TVPRO_VOCIPROGETTI.DEND FROM "
    "TVPRO_VOCIPROGETTI WHERE TVPRO_VOCIPROGETTI.IVPROID <> :IVPROID AND TVPRO_VOCIPROGETTI.IAGGID = :IAGGID "
    "AND (TVPRO_VOCIPROGETTI.IDWGID = :IDWGID OR (TVPRO_VOCIPROGETTI.IDWGID IS NULL)) AND "
    "TVPRO_VOCIPROGETTI.SVPROCOD = :SVPROCOD AND (TVPRO_VOCIPROGETTI.DEND IS NULL OR "
    "(TVPRO_VOCIPROGETTI.DEND > :DSTART)) AND TVPRO_VOCIPROGETTI.DDELETE IS NULL";
const char *const kCodePeriodSQL =
    " SELECT TVPRO_VOCIPROGETTI.IVPROID, TVPRO_VOCIPROGETTI.DSTART, TVPRO_VOCIPROGETTI.DEND FROM "
    "TVPRO_VOCIPROGETTI WHERE TVPRO_VOCIPROGETTI.IVPROID <> :IVPROID AND TVPRO_VOCIPROGETTI.IAGGID = :IAGGID "
    "AND (TVPRO_VOCIPROGETTI.IDWGID = :IDWGID OR (TVPRO_VOCIPROGETTI.IDWGID IS NULL)) AND "
    "TVPRO_VOCIPROGETTI.SVPROCOD = :SVPROCOD AND ((TVPRO_VOCIPROGETTI.DSTART < :DEND AND "
    "TVPRO_VOCIPROGETTI.DEND IS NULL) OR  (TVPRO_VOCIPROGETTI.DEND > :DSTART AND TVPRO_VOCIPROGETTI.DSTART < "
    ":DEND)) AND DDELETE IS NULL";
const char *const kAggregateCodeSQL =
    " SELECT TAGG_AGGREGATI.SAGGDESCS FROM TAGG_AGGREGATI WHERE TAGG_AGGREGATI.IAGGID = :IAGGID";
const char *const kYearItemCodesSQL =
    " SELECT TVPRO_VOCIPROGETTI.SVPROCOD FROM TVPRO_VOCIPROGETTI WHERE TVPRO_VOCIPROGETTI.IAGGID = :IAGGID "
    "AND (TVPRO_VOCIPROGETTI.IDWGID = :IDWGID OR TVPRO_VOCIPROGETTI.IDWGID IS NULL) AND "
    "TVPRO_VOCIPROGETTI.IVPROID <> :IVPROID AND ((TVPRO_VOCIPROGETTI.DSTART <= :DFINEANNO AND "
    "TVPRO_VOCIPROGETTI.DEND IS NULL) OR (TVPRO_VOCIPROGETTI.DSTART <= :DFINEANNO AND "
    "TVPRO_VOCIPROGETTI.DEND "
    ">= :DINIZIOANNO)) AND TVPRO_VOCIPROGETTI.DDELETE IS NULL";

TVoSQLConnection *VproConnection() {
    return dmVproDBQuery ? dmVproDBQuery->qquTmp : nullptr;
}

// A statement of the module's connection with the school bound.
class TVproQuery : public TVoQuery {
public:
    explicit TVproQuery(const char *sql) : TVoQuery(QString::fromLatin1(sql), VproConnection()) {
        SetParam(QStringLiteral("IDWGID"), CurrentSchoolId);
    }
};

// The first column of a count, for one identifier.
int Count(const char *sql, const char *keyParam, int key) {
    TVproQuery q(sql);
    q.SetParam(QString::fromLatin1(keyParam), key).Open();
    return q.Eof() ? 0 : q.Value(0).toInt();
}

// Either count not zero; both statements always run.
bool EitherCounts(const char *first, const char *second, const char *keyParam, int key) {
    const int a = Count(first, keyParam, key);
    const int b = Count(second, keyParam, key);
    return a != 0 || b != 0;
}

// A code converts to an integer only when it is all digits: a number followed by a letter is no number.
bool ToInteger(const QString &text, int &value) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    bool ok = false;
    value = text.toInt(&ok);
    return ok;
}

QString ZeroFilled(int value, int digits) {
    return QStringLiteral("%1").arg(value, digits, 10, QLatin1Char('0'));
}

// The largest code of a list of codes that converts to an integer, plus one, zero-filled.
QString NextCode(const char *sql, const char *keyParam, int key, int digits) {
    TVproQuery q(sql);
    if (keyParam)
        q.SetParam(QString::fromLatin1(keyParam), key);
    int largest = 0;
    for (q.Open(); !q.Eof(); q.Next()) {
        int value = 0;
        if (ToInteger(q.Value(0).toString(), value))
            largest = qMax(largest, value);
    }
    return ZeroFilled(largest + 1, digits);
}

// The number a code carries after the aggregate's code (found where it first occurs); false when the
// code holds no such number.
bool NumberAfterAggregateCode(QString code, const QString &aggregateCode, int &value) {
    const qsizetype at = aggregateCode.isEmpty() ? -1 : code.indexOf(aggregateCode);
    if (at < 0)
        return false;
    return ToInteger(code.remove(at, aggregateCode.size()), value);
}

} // namespace

bool EnsureVproDBQuery() {
    if (dmVproDBQuery)
        return true;
    auto *module = new TdmVproDBQuery(nullptr);
    try {
        module->BindConnection(qqoVoGlobConn);
    } catch (...) {
        // A module that cannot be bound is discarded without a word; the caller finds it missing.
        delete module;
        return false;
    }
    dmVproDBQuery = module;
    return true;
}

bool IsItemOccupied(int itemId) {
    return EitherCounts(kMprOccupateSQL, kAprOccupateSQL, "IVPROID", itemId);
}

bool IsItemBlocked(int itemId) {
    return EitherCounts(kMprBloccateSQL, kAprBloccateSQL, "IVPROID", itemId);
}

bool IsSubItemOccupied(int subItemId) {
    return Count(kSvoOccupateSQL, "ISVOID", subItemId) != 0;
}

bool IsSubItemBlocked(int subItemId) {
    return Count(kSvoBloccateSQL, "ISVOID", subItemId) != 0;
}

bool IsAggregateOccupied(int aggregateId) {
    return Count(kAggOccupatiSQL, "IAGGID", aggregateId) != 0;
}

bool IsAggregateBlocked(int aggregateId) {
    return Count(kAggBloccatiSQL, "IAGGID", aggregateId) != 0;
}

double ItemLastModelYearStart(int itemId) {
    int latest = 0;
    for (const char *sql : {kMprOccupateSQL, kAprOccupateSQL}) {
        TVproQuery q(sql);
        q.SetParam(QStringLiteral("IVPROID"), itemId).Open();
        latest = qMax(latest, q.AsInteger(QStringLiteral("DMAX")));
    }
    double start = VoNoDate, end = VoNoDate;
    GetFinancialYearDates(latest, CurrentSchoolId, start, end);
    return start;
}

QString AggregateCode(int aggregateId) {
    TVoQuery q(QString::fromLatin1(kAggregateCodeSQL), VproConnection());
    q.SetParam(QStringLiteral("IAGGID"), aggregateId).Open();
    return q.AsString(QStringLiteral("SAGGDESCS"));
}

QString NextAggregateCode() {
    // Only income aggregates are numbered, whatever window asks.
    return NextCode(kIncomeAggregateCodesSQL, nullptr, 0, 2);
}

QString NextSubItemCode(int itemId) {
    return NextCode(kSubItemCodesSQL, "IVPROID", itemId, 3);
}

bool CodeHasPrefix(const QString &code, const QString &prefix) {
    int number = 0;
    return code.startsWith(prefix) && ToInteger(code.mid(prefix.size()), number);
}

bool ItemCodeIsFree(int itemId, int aggregateId, const QString &code, double periodStart, double periodEnd) {
    const bool open = VoIsNoDate(periodEnd);
    TVproQuery q(open ? kCodeOpenPeriodSQL : kCodePeriodSQL);
    q.SetParam(QStringLiteral("IVPROID"), itemId)
        .SetParam(QStringLiteral("IAGGID"), aggregateId)
        .SetParam(QStringLiteral("SVPROCOD"), code)
        .SetParamDate(QStringLiteral("DSTART"), periodStart);
    if (!open)
        q.SetParamDate(QStringLiteral("DEND"), periodEnd);
    q.Open();
    return q.Eof();
}

QString ProposeItemCode(int aggregateId, int itemId) {
    const QString aggregateCode = AggregateCode(aggregateId);
    int aggregateNumber = 0;
    const bool numericAggregate = ToInteger(aggregateCode, aggregateNumber);
    TVproQuery q(kYearItemCodesSQL);
    q.SetParam(QStringLiteral("IAGGID"), aggregateId)
        .SetParam(QStringLiteral("IVPROID"), itemId)
        .SetParamDate(QStringLiteral("DINIZIOANNO"), CurrentYearStart)
        .SetParamDate(QStringLiteral("DFINEANNO"), CurrentYearEnd);
    int largest = 0;
    for (q.Open(); !q.Eof(); q.Next()) {
        const QString code = q.AsString(QStringLiteral("SVPROCOD"));
        int value = 0;
        // Under an aggregate coded by letters a code that is a bare number is not one of its own. Under a
        // numeric aggregate every code is a number, so each is read past the aggregate's code as well:
        // the item post accepts no other form.
        if (!numericAggregate && ToInteger(code, value))
            continue;
        if (NumberAfterAggregateCode(code, aggregateCode, value))
            largest = qMax(largest, value);
    }
    const int next = largest + 1;
    return aggregateCode + (next < 99 ? ZeroFilled(next, 2) : QString::number(next));
}

bool ConfirmModelsUpdate() {
    const TVoShownMessage question{
        QStringLiteral(
            "Attenzione!\r\nAggiornando l'elemento selezionato \r\nsi aggiorneranno automaticamente "
            "anche tutti i modelli che fanno riferimento ad esso.\r\nContinuare?"),
        mtWarning,
        mbYesNo,
        0,
        mbNone,
        QStringLiteral("Attenzione !")};
    return VoMessageDlg(question) == mrYes;
}

void RefusePost(const QString &message, TfrVoDBRWGrid *frame, QWidget *focus) {
    VoMessageDlg(message, mtError, mbOK);
    if (frame && focus) {
        frame->ShowDetail();
        focus->setFocus(Qt::OtherFocusReason);
    }
    throw EVoAbort();
}

void DigitKeysOnly(int &Key) {
    const bool typing = Key >= Qt::Key_Space && Key <= Qt::Key_ydiaeresis;
    if (typing && (Key < Qt::Key_0 || Key > Qt::Key_9))
        Key = 0;
}

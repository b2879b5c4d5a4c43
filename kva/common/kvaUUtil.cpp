#include "kvaUUtil.h"

#include "AbcUBuoni.h"
#include "VoDataSource.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoGlobals.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoRptTreeView.h"
#include "VoSearchDialog.h"
#include "VoStatistics.h"
#include "VoTransaction.h"
#include "VoUtils.h"
#include "VoWait.h"
#include "kvaMAtt.h"

#include <QLocale>

#include <charconv>

int CurrentNumbering = 0;
int CurrentVatIncluded = 0;
int CurrentRegYearId = 0;

namespace {

const char *const kRegisterYearDescSQL =
    "SELECT fac.sfacdesc || '  Anno: ' || anf.iAnfValore AS DESCR, fac.iTfcId, fac.iFacNumeraz, "
    "fac.iFacIvaInclusa FROM TDwgFacAnf dfa INNER JOIN TDwgFac df ON (dfa.IDWGfacID = df.IDWGfacID) "
    "INNER JOIN TFac_Velisto fac ON (df.IfacID = fac.IfacID) INNER JOIN TANF_ANNIFINANZ ANF ON "
    "(dfa.IANFID = ANF.IANFID) WHERE dfa.idwgfacanfid = :idwgfacanfid AND " KVA_OWN_REGISTERS("fac.ITFCID");

const char *const kGoodsCodeLinksSQL = "SELECT * FROM TCfm_CategFacMerce WHERE iMerId = :iMerId;";

const char *const kCodeByDescSQL = "SELECT sFarSDesc FROM TFar_FacArticoli WHERE (UPPER(sFarLDesc) = "
                                   "UPPER(:sFarLDesc)) AND (sFarSDesc <> '');";
const char *const kCodeByBookSQL =
    "SELECT sFarSDesc FROM TFar_FacArticoli WHERE (UPPER(sFarLibTitolo) = UPPER(:sFarLibTitolo)) AND "
    "(UPPER(sFarLibAutore) = UPPER(:sFarLibAutore)) AND (UPPER(sFarLibEditore) = UPPER(:sFarLibEditore));";
// Codes typed in the articles window may hold letters: only the codes made of digits count.
const char *const kHighestCodeSQL = "SELECT MAX(CAST(sFarSDesc AS BIGINT)) AS iCode FROM TFar_FacArticoli "
                                    "WHERE sFarSDesc SIMILAR TO '[0-9]+'";
const char *const kFindArticleSQL =
    "SELECT iFarId FROM TFar_FacArticoli WHERE (UPPER(sFarLDesc) = UPPER(:sFarLDesc));";
const char *const kFindBookSQL =
    "SELECT iFarId FROM TFar_FacArticoli WHERE (UPPER(sFarLDesc) = UPPER(:sFarLDesc)) OR "
    "((UPPER(sFarLibTitolo) = UPPER(:sFarLibTitolo)) AND (UPPER(sFarLibAutore) = UPPER(:sFarLibAutore)) AND "
    "(UPPER(sFarLibEditore) = UPPER(:sFarLibEditore)));";
const char *const kInsertArticleSQL =
    "INSERT INTO TFAR_FACARTICOLI (IFARID, ICFMID, ICAFID, IDCMID, IMERID, IUNMID, IALVID, SFARSDESC, "
    "SFARLDESC, SFARLIBEDITORE, SFARLIBAUTORE, SFARLIBTITOLO) VALUES (:VOGENID, :ICFMID, :ICAFID, :IDCMID, "
    ":IMERID, :IUNMID, :IALVID, :SFARSDESC, :SFARLDESC, :SFARLIBEDITORE, :SFARLIBAUTORE, :SFARLIBTITOLO);";

// The catalogue's one-time rebuild, guarded by a marker row: NULL to do, '0' running, '1' done.
const char *const kSyncMarkerSQL = "SELECT bYXarXmlFile FROM TYXar_XmlArchivio WHERE iYXarId = 26001;";
// Claimed only where nobody else has: the row changes for one program alone.
const char *const kSyncClaimSQL =
    "UPDATE TYXar_XmlArchivio SET bYXarXmlFile = '0' WHERE iYXarId = 26001 AND bYXarXmlFile IS NULL;";
const char *const kSyncReleaseSQL =
    "UPDATE TYXar_XmlArchivio SET bYXarXmlFile = NULL WHERE iYXarId = 26001 AND bYXarXmlFile = '0';";
const char *const kSyncDoneSQL = "UPDATE TYXar_XmlArchivio SET bYXarXmlFile = '1' WHERE iYXarId = 26001;";
// The catalogue made from the rows' contents in one sorted read of the rows, then each row linked to
// its article in the order the rows lie (one result row per article made and per thousand rows
// linked, with the rows gone through so far counted twice: once read for the articles, once linked).
const char *const kSyncCatalogueSQL = "SELECT IRIGHE FROM PKVA_RICOSTRUISCICATALOGO";
const char *const kSyncRowsSQL = "SELECT COUNT(*) FROM TAFC_ARTVELIST";
// Every unloading row, in every register-year, takes the average cost of its article at its own
// voucher's date, per unloading unit (one result row per article, with the rows looked at so far).
const char *const kSyncRepriceSQL = "SELECT IRIGHE FROM PKVA_RIPREZZAARTICOLI";
const char *const kSyncTitle = "Sincronizzazione dati degli articoli";

const char *const kMaxNumberYearSQL =
    "SELECT Max(iFBuoNumero) AS iFBuoNumero FROM TFBuo_Buoni buo INNER JOIN TDwgFacAnf dfa ON "
    "(buo.iDwgFacAnfId = "
    "dfa.iDwgFacAnfId) WHERE (buo.iFBuoTipo = :iFBuoTipo) AND (dfa.iDwgFacAnfId=:iDwgFacAnfId);";
const char *const kMaxNumberRegisterSQL = "SELECT Max(iFBuoNumero) AS iFBuoNumero FROM TFBuo_Buoni buo INNER "
                                          "JOIN TDwgFacAnf dfa ON (buo.iDwgFacAnfId = "
                                          "dfa.iDwgFacAnfId) INNER JOIN TDwgFac df ON "
                                          "dfa.iDwgFacId=df.iDwgFacId WHERE (buo.iFBuoTipo = :iFBuoTipo) AND "
                                          "(df.iFacId=:iFacId);";
const char *const kNumberExistsYearSQL =
    "SELECT iFBuoId FROM TFBuo_Buoni buo INNER JOIN TDwgFacAnf dfa ON (buo.iDwgFacAnfId = dfa.iDwgFacAnfId) "
    "WHERE "
    "(buo.iFBuoTipo = :iFBuoTipo) AND (dfa.iDwgFacAnfId=:iDwgFacAnfId) AND (buo.iFBuoNumero = :iFBuoNumero);";
const char *const kNumberExistsRegisterSQL = "SELECT iFBuoId FROM TFBuo_Buoni buo INNER JOIN TDwgFacAnf dfa "
                                             "ON (buo.iDwgFacAnfId = dfa.iDwgFacAnfId) INNER "
                                             "JOIN TDwgFac df ON dfa.iDwgFacId=df.iDwgFacId WHERE "
                                             "(buo.iFBuoTipo = :iFBuoTipo) AND (df.iFacId=:iFacId) AND "
                                             "(buo.iFBuoNumero = :iFBuoNumero);";
const char *const kDateLowSQL =
    "SELECT MAX(dFBuoData) AS dFBuoDataMin FROM TFBuo_Buoni WHERE "
    "(iDwgFacAnfId=:iDwgFacAnfId) AND (iFBuoTipo=:iFBuoTipo) AND (iFBuoNumero<:iFBuoNumero);";
const char *const kDateHighSQL =
    "SELECT MIN(dFBuoData) AS dFBuoDataMax FROM TFBuo_Buoni WHERE "
    "(iDwgFacAnfId=:iDwgFacAnfId) AND (iFBuoTipo=:iFBuoTipo) AND (iFBuoNumero>:iFBuoNumero);";
const char *const kStockSQL =
    "SELECT Giacenza, CostoUniMed FROM PKva_GetGiacenza(:iFarId, :dFBuoData, :iDwgFacAnfId, :iSecId);";
const char *const kAllStocksSQL =
    "SELECT IFARID, GIACENZA, COSTOUNIMED FROM PKVA_GETGIACENZE(:dFBuoData, :iDwgFacAnfId, :iSecId)";
const char *const kSectorStocksSQL =
    "SELECT IFARID, COALESCE(ISECID, 0) AS ISECID, GIACENZA FROM PKVA_GIACENZESETTORI(:dFBuoData, "
    ":iDwgFacAnfId)";
const char *const kCheckStockSQL =
    "SELECT CONTROLLO FROM PKva_ControllaGiac(:iFarId,:iAfcId,:fAfcQuantita,:iBuoId_sca,:iDwgFacAnfId);";
const char *const kLargestUnloadingSQL = "SELECT GIACENZA * FKVA_FATTOREUNITA(:iFarId) AS QUANTITA FROM "
                                         "PKVA_GIACENZAMIN(:iFarId, :dFBuoData, :iDwgFacAnfId, :iAfcId)";
const char *const kUnitFactorSQL = "SELECT FKVA_FATTOREUNITA(:iFarId) FROM RDB$DATABASE";

} // namespace

QVariant kva::GetParamDescription(const QString &name) {
    return AbcParamDescription(name, QString::fromLatin1(kRegisterYearDescSQL), [](const TVoQuery *row) {
        if (!row) {
            CurrentNumbering = 0;
            return;
        }
        CurrentNumbering = row->AsInteger(QStringLiteral("iFacNumeraz"));
        CurrentVatIncluded = row->AsInteger(QStringLiteral("iFacIvaInclusa"));
    });
}

void kva::LoadCurrentRegisterYear(int registerYearId, double &start, double &end) {
    TAbcRegisterYear found;
    if (!ReadRegisterYear(registerYearId, found, start, end))
        return;
    CurrentRegYear = found.yearValue;
    CurrentRegYearId = found.yearId;
    CurrentSchoolRegisterId = found.schoolRegisterId;
    CurrentRegisterYearId = registerYearId;
}

void kva::LoadWorkingContext(bool firstActivation) {
    AbcLoadWorkingContext(firstActivation, &LoadCurrentRegisterYear);
}

void kva::ResetWorkingContext() {
    CurrentNumbering = CurrentVatIncluded = CurrentRegYearId = 0;
    ResetRegisterContext();
}

// The numbering scope is the register-year or the whole register, after the register's option.
const TAbcVoucherProfile kvaVoucherProfile{"iFBuoTipo",
                                           "iFBuoNumero",
                                           [] { return CurrentNumbering == 1; },
                                           {kMaxNumberRegisterSQL, kMaxNumberYearSQL},
                                           {kNumberExistsRegisterSQL, kNumberExistsYearSQL},
                                           kDateLowSQL,
                                           "dFBuoDataMin",
                                           kDateHighSQL,
                                           "dFBuoDataMax",
                                           nullptr,
                                           nullptr,
                                           "Data del buono minore della data del buono precedente"};

int NextVoucherNumber(int type) {
    return AbcNextVoucherNumber(kvaVoucherProfile, type, CurrentRegisterId);
}

bool kva::VoucherNumberExists(int number, int type) {
    return AbcVoucherNumberExists(kvaVoucherProfile, number, type);
}

void kva::GetVoucherDateLimits(int number, int type, DateWindow &window) {
    AbcVoucherDateLimits(kvaVoucherProfile, number, type, window);
}

namespace {
void RunStock(TVoQuery &q, int articleId, int sectorId, double date) {
    q.SetParam(QStringLiteral("iFarId"), articleId)
        .SetParamDate(QStringLiteral("dFBuoData"), date)
        .SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId())
        .SetParam(QStringLiteral("iSecId"), sectorId);
    q.Open();
}
} // namespace

double GetStock(int articleId, int sectorId, double date) {
    TVoQuery q(QString::fromLatin1(kStockSQL));
    RunStock(q, articleId, sectorId, date);
    return q.AsFloat(QStringLiteral("GIACENZA"));
}

void GetStockAndCost(int articleId, double &stock, double &cost, int sectorId, double date) {
    stock = 0.0;
    cost = 0.0;
    TVoQuery q(QString::fromLatin1(kStockSQL));
    RunStock(q, articleId, sectorId, date);
    stock = q.AsFloat(QStringLiteral("GIACENZA"));
    cost = q.AsFloat(QStringLiteral("COSTOUNIMED"));
}

QHash<int, TkvaStock> GetAllStocksAndCosts(int sectorId, double date) {
    TVoQuery q(QString::fromLatin1(kAllStocksSQL));
    q.SetParamDate(QStringLiteral("dFBuoData"), date)
        .SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId())
        .SetParam(QStringLiteral("iSecId"), sectorId);
    QHash<int, TkvaStock> stocks;
    for (q.Open(); !q.Eof(); q.Next())
        stocks.insert(q.AsInteger(QStringLiteral("IFARID")),
                      {q.AsFloat(QStringLiteral("GIACENZA")), q.AsFloat(QStringLiteral("COSTOUNIMED"))});
    return stocks;
}

QHash<int, QMap<int, double>> GetSectorStocks(double date) {
    TVoQuery q(QString::fromLatin1(kSectorStocksSQL));
    q.SetParamDate(QStringLiteral("dFBuoData"), date)
        .SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId());
    QHash<int, QMap<int, double>> stocks;
    for (q.Open(); !q.Eof(); q.Next())
        stocks[q.AsInteger(QStringLiteral("IFARID"))].insert(q.AsInteger(QStringLiteral("ISECID")),
                                                             q.AsFloat(QStringLiteral("GIACENZA")));
    return stocks;
}

bool CheckStock(int articleId, int rowId, int unloadingVoucherId, double quantity) {
    TVoQuery q(QString::fromLatin1(kCheckStockSQL));
    q.SetParam(QStringLiteral("iFarId"), articleId)
        .SetParam(QStringLiteral("iAfcId"), rowId > 0 ? QVariant(rowId) : VoNull(QMetaType::Int))
        .SetParam(QStringLiteral("fAfcQuantita"), quantity)
        .SetParam(QStringLiteral("iBuoId_sca"),
                  unloadingVoucherId > 0 ? QVariant(unloadingVoucherId) : VoNull(QMetaType::Int))
        .SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId());
    q.Open();
    return q.AsInteger(QStringLiteral("CONTROLLO")) != 1;
}

double LargestUnloading(int articleId, double date, int rowId) {
    TVoQuery q(QString::fromLatin1(kLargestUnloadingSQL));
    q.SetParam(QStringLiteral("iFarId"), articleId)
        .SetParamDate(QStringLiteral("dFBuoData"), date)
        .SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId())
        .SetParam(QStringLiteral("iAfcId"), rowId);
    q.Open();
    return q.AsFloat(QStringLiteral("QUANTITA"));
}

double UnitFactor(int articleId) {
    return VoSelectValue(QString::fromLatin1(kUnitFactorSQL), {{QStringLiteral("iFarId"), articleId}})
        .toDouble();
}

double TruncateDecimals(int decimals, double value) {
    // The shortest decimal text that reads back as the value: 0.29 is cut as "0.29", not as the
    // binary 0.28999..., and very small or large values keep their magnitude.
    char buffer[400];
    const auto res = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (res.ec != std::errc())
        return value;
    std::string text(buffer, res.ptr);
    const auto point = text.find('.');
    if (point == std::string::npos)
        return value;
    text.resize(std::min(text.size(), point + 1 + static_cast<size_t>(std::max(decimals, 0))));
    double out = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), out);
    return out;
}

QString GetArticleCode(const QString &longDesc, const QString &title, const QString &author,
                       const QString &publisher) {
    TVoQuery q(QString::fromLatin1(kCodeByDescSQL));
    q.SetParam(QStringLiteral("sFarLDesc"), longDesc).Open();
    if (q.Eof() && !title.isEmpty()) {
        q.Close();
        q.SetSQL(QString::fromLatin1(kCodeByBookSQL));
        q.SetParam(QStringLiteral("sFarLibTitolo"), title.left(100))
            .SetParam(QStringLiteral("sFarLibAutore"), author)
            .SetParam(QStringLiteral("sFarLibEditore"), publisher)
            .Open();
    }
    if (!q.Eof())
        return q.AsString(QStringLiteral("sFarSDesc"));
    const QVariant highest = VoSelectValue(QString::fromLatin1(kHighestCodeSQL));
    return PadL(QString::number(highest.toLongLong() + 1), 7, QLatin1Char('0'));
}

int FindOrInsertArticle(const QString &longDesc, const QString &title, const QString &author,
                        const QString &publisher, int category, int classification, int goodsCode, int detail,
                        int unit, int vatRate, bool create) {
    const bool book = category == kvaBooksCategory;
    {
        TVoQuery q(QString::fromLatin1(book ? kFindBookSQL : kFindArticleSQL));
        q.SetParam(QStringLiteral("sFarLDesc"), longDesc);
        if (book)
            q.SetParam(QStringLiteral("sFarLibTitolo"), title.left(100))
                .SetParam(QStringLiteral("sFarLibAutore"), author)
                .SetParam(QStringLiteral("sFarLibEditore"), publisher);
        q.Open();
        if (!q.Eof())
            return q.AsInteger(QStringLiteral("iFarId"));
    }
    if (!create)
        return -1;
    const int id = NewId(QStringLiteral("TFAR_FACARTICOLI"));
    // Only books keep book fields: the caller's title of another article is its description again. The
    // fields of other articles are empty texts, not NULL.
    const auto bookField = [book](const QString &value) {
        return book && !value.isNull() ? value : QStringLiteral("");
    };
    const QString bookTitle = bookField(title);
    const QString bookAuthor = bookField(author);
    const QString bookPublisher = bookField(publisher);
    const QString code = GetArticleCode(longDesc, bookTitle, bookAuthor, bookPublisher);
    const QString stored =
        book ? bookTitle + QStringLiteral(" - ") + bookAuthor + QStringLiteral(" - ") + bookPublisher
             : longDesc;
    const auto idOrNull = [](int value) { return value > 0 ? QVariant(value) : VoNull(QMetaType::Int); };
    TVoQuery q(QString::fromLatin1(kInsertArticleSQL));
    q.SetParam(QStringLiteral("VOGENID"), id)
        .SetParam(QStringLiteral("ICFMID"), idOrNull(classification))
        .SetParam(QStringLiteral("ICAFID"), category)
        .SetParam(QStringLiteral("IDCMID"), idOrNull(detail))
        .SetParam(QStringLiteral("IMERID"), goodsCode)
        .SetParam(QStringLiteral("IUNMID"), idOrNull(unit))
        .SetParam(QStringLiteral("IALVID"), idOrNull(vatRate))
        .SetParam(QStringLiteral("SFARSDESC"), code)
        .SetParam(QStringLiteral("SFARLDESC"), stored.toUpper())
        .SetParam(QStringLiteral("SFARLIBEDITORE"), bookPublisher.toUpper())
        .SetParam(QStringLiteral("SFARLIBAUTORE"), bookAuthor.toUpper())
        .SetParam(QStringLiteral("SFARLIBTITOLO"), bookTitle.left(100).toUpper());
    q.Exec();
    return id;
}

namespace {

enum class TSyncMarker { Missing, ToDo, Running, Done };

TSyncMarker ReadSyncMarker() {
    TVoQuery q(QString::fromLatin1(kSyncMarkerSQL));
    q.Open();
    if (q.Eof())
        return TSyncMarker::Missing;
    if (q.IsNull(QStringLiteral("bYXarXmlFile")))
        return TSyncMarker::ToDo;
    return q.AsString(QStringLiteral("bYXarXmlFile")) == QLatin1String("0") ? TSyncMarker::Running
                                                                            : TSyncMarker::Done;
}

// Whether this program took the rebuild on itself; otherwise another one has, or had.
bool ClaimSync() {
    try {
        return VoExecSQL(QString::fromLatin1(kSyncClaimSQL)) == 1;
    } catch (const EVoDatabaseError &e) {
        // Another program is writing the marker at this very moment: its claim stands.
        if (e.IsLockConflict())
            return false;
        throw;
    }
}

// The rebuild's bar counts the rows twice, linked and then priced, and the marker last.
int SyncSteps(int rows) {
    return 2 * rows + 1;
}

// Every step comes before the commit: "Annulla" then leaves the rows, the articles and the marker as
// they were.
void RebuildCatalogue(TVoProgressScope &progress, int rows) {
    const auto step = [&](int position) { progress.Step(qMin(position, SyncSteps(rows) - 1)); };
    TVoTransaction transaction;
    transaction.StartTransaction();
    {
        TVoQuery made(QString::fromLatin1(kSyncCatalogueSQL));
        for (made.Open(); !made.Eof(); made.Next())
            step(made.AsInteger(QStringLiteral("IRIGHE")) / 2);
    }
    step(rows);
    try {
        TVoTransaction repricing;
        repricing.StartTransaction();
        TVoQuery priced(QString::fromLatin1(kSyncRepriceSQL));
        for (priced.Open(); !priced.Eof(); priced.Next())
            step(rows + priced.AsInteger(QStringLiteral("IRIGHE")));
        priced.Close();
        repricing.Commit();
    } catch (const EVoDatabaseError &) {
        // The unloading costs are worked out again whenever their articles' rows are saved: the
        // catalogue is built without them.
    }
    step(2 * rows);
    VoExecSQL(QString::fromLatin1(kSyncDoneSQL));
    progress.Step(SyncSteps(rows));
    transaction.Commit();
    VoRefreshStaleStatistics();
}

bool TellToWait() {
    VoMessageDlg(QStringLiteral("Attendere la fine della \"%1\" nel computer in cui è già stata lanciata")
                     .arg(QString::fromLatin1(kSyncTitle)),
                 mtWarning, mbOK);
    return false;
}

} // namespace

bool SyncArticles() {
    switch (ReadSyncMarker()) {
    case TSyncMarker::Missing:
    case TSyncMarker::Done:
        return true;
    case TSyncMarker::Running:
        return TellToWait();
    case TSyncMarker::ToDo:
        break;
    }
    if (!ClaimSync())
        return ReadSyncMarker() == TSyncMarker::Running ? TellToWait() : true;
    try {
        // The user may abandon the rebuild: as after a failure, nothing of it is written.
        const int rows = VoSelectValue(QString::fromLatin1(kSyncRowsSQL)).toInt();
        TVoProgressScope progress(QStringLiteral("L'operazione potrebbe impiegare qualche minuto ..."),
                                  SyncSteps(rows), true,
                                  QString::fromLatin1(kSyncTitle) + QStringLiteral(" in corso ..."));
        RebuildCatalogue(progress, rows);
    } catch (const std::exception &e) {
        // The next start tries again.
        VoGuarded([] { VoExecSQL(QString::fromLatin1(kSyncReleaseSQL)); });
        VoShowException(e);
        return true;
    }
    VoMessageDlg(QStringLiteral("\"%1\" terminata").arg(QString::fromLatin1(kSyncTitle)), mtInformation,
                 mbOK);
    return true;
}

bool GoodsCodeHasCategories(int goodsCodeId) {
    TVoQuery q(QString::fromLatin1(kGoodsCodeLinksSQL));
    q.SetParam(QStringLiteral("iMerId"), goodsCodeId).Open();
    return !q.Eof();
}

int GetBaseReportId() {
    const TVoRptTreeView *tree = dmkvaAtt ? TVoRptTreeView::Of(dmkvaAtt->xarkvaStampe) : nullptr;
    return GetBaseReportId(tree ? tree->GetRptId() : 0);
}

#include "kvaUBuoni.h"

#include "AbcUBounds.h"
#include "AbcUBuoni.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTransaction.h"
#include "kvaUUtil.h"

#include <QList>
#include <algorithm>

const char *const kvaSQLBuoInsert =
    "INSERT INTO TFBuo_Buoni (iFBuoId, iDwgFacAnfId, iFBuoNUMERO, dFBuoDATA, IBENID, sFBuoDESC, iFBuoTipo, "
    "dFBuoPROTDATA, sFBuoPROTNUM, ILOCKED, iMgmId, sFBuoUse, iFBuoId_P, lFBuoScaricato) VALUES (:VOGENID, "
    ":iDwgFacAnfId, :iFBuoNUMERO, :dFBuoDATA, :IBENID, :sFBuoDESC, :iFBuoTipo, :dFBuoPROTDATA, "
    ":sFBuoPROTNUM, 0, "
    ":iMgmId, :sFBuoUse, :iFBuoId_P, :lFBuoScaricato)";
const char *const kvaSQLBuoUpdate = "UPDATE TFBuo_Buoni SET iFBuoNUMERO = :iFBuoNUMERO, dFBuoDATA = "
                                    ":dFBuoDATA, IBENID = :IBENID, sFBuoDESC = "
                                    ":sFBuoDESC, dFBuoPROTDATA = :dFBuoPROTDATA, sFBuoPROTNUM = "
                                    ":sFBuoPROTNUM, lFBuoScaricato = :lFBuoScaricato "
                                    "WHERE iFBuoId = :VOCURRID";
const char *const kvaSQLBuoDelete = "DELETE FROM TFBuo_Buoni WHERE iFBuoId=:VOCURRID";
const char *const kvaSQLBuoResetUnloaded = "UPDATE TFBUO_BUONI SET lfbuoscaricato = 0 WHERE ifbuoid = "
                                           "(SELECT iFBuoId_p FROM TFBuo_Buoni WHERE iFBuoId = "
                                           ":VOCURRID)";
const char *const kvaSQLAfcInsert =
    "INSERT INTO TAfc_ArtVelist (IAFCID, IFBUOID, ISECID, ICLCID, ISEDINFID, IVPROID, ICAVID, ICONDID, "
    "DINSERT, "
    "FAFCQUANTITA, FAFCCOSTOUNIT, BAFCNOTE, IINBANNOASSUNZ, iRspId, iFarId, iAlvId) VALUES (:VOGENID, "
    ":IFBUOID, "
    ":ISECID, :ICLCID, :ISEDINFID, :IVPROID, :ICAVID, :ICONDID, (SELECT SERVERDATE FROM "
    "PYGETSERVERTIMESTAMP), "
    ":FAFCQUANTITA, :FAFCCOSTOUNIT, :BAFCNOTE, :IINBANNOASSUNZ, :iRspId, :iFarId, :iAlvId)";
const char *const kvaSQLAfcUpdate =
    "UPDATE TAfc_ArtVelist SET IFBUOID = :IFBUOID, ISECID = :ISECID, ICLCID = :ICLCID, ISEDINFID = "
    ":ISEDINFID, "
    "IVPROID = :IVPROID, ICAVID = :ICAVID, ICONDID = :ICONDID, FAFCQUANTITA = :FAFCQUANTITA, FAFCCOSTOUNIT = "
    ":FAFCCOSTOUNIT, BAFCNOTE = :BAFCNOTE, IAFCPROGR = :IAFCPROGR, IALVID = :IALVID, ICFMID = :ICFMID, "
    "ICAFID = "
    ":ICAFID, IDCMID = :IDCMID, IMERID = :IMERID, IINBANNOASSUNZ = :IINBANNOASSUNZ, IUNMID = :IUNMID, iRspId "
    "= "
    ":iRspId WHERE IAFCID = :VOCURRID";
const char *const kvaSQLAfcDelete = "DELETE FROM TAfc_ArtVelist WHERE iAfcId=:VOCURRID";
const char *const kvaSQLRePricing = "EXECUTE PROCEDURE PKVA_RIPREZZABUONO(:iFarId, :iFBuoId)";
const char *const kvaSQLArticleVat =
    "UPDATE TFar_FacArticoli SET iAlvId = :iAlvId WHERE iFarId = :iFarId AND iAlvId IS NULL";
const char *const kvaSQLAseInsert =
    "INSERT INTO TASE_ARTFCSETTORI (IASEID, IAFCID, ISECID, DSTART, DEND) VALUES "
    "(:VOGENID, :IAFCID, :ISECID, (SELECT SERVERDATE FROM PYGETSERVERTIMESTAMP), NULL)";
const char *const kvaSQLAseClose =
    "UPDATE TASE_ARTFCSETTORI SET DEND=(SELECT ServerDate FROM PYGetServerTimeStamp) "
    "WHERE (IAFCID=:IAFCID) AND (DEND IS NULL);";
const char *const kvaSQLIdcInsert =
    "INSERT INTO TFBuoIdc (iFBuoIdcId, iFBuoId, iIdcId) VALUES (:VOGENID, :iFBuoId, "
    ":iIdcId)";
const char *const kvaSQLIdcSupplier = "UPDATE TFBuo_Buoni SET iBenId = :iBenId WHERE iFBuoId = :iFBuoId;";
const char *const kvaSQLIdcDelete = "DELETE FROM TFBUOIDC WHERE IFBUOIDCID=:VOCURRID;";
const char *const kvaSQLImportBuoInsert =
    "INSERT INTO TFBuo_Buoni  (iFBuoID,IDwgFacAnfID,iFBuoNUMERO,dFBuoDATA,sFBuoDESC,iFBuoTIPO, ILOCKED, "
    "imgmid, "
    "ibenid) VALUES (:iFBuoID,:iDwgFacAnfId,:iFBuoNUMERO,:dFBuoDATA,:sFBuoDESC,0,0,:imgmid,:ibenid)";
const char *const kvaSQLImportAfcInsert =
    "INSERT INTO TAFC_ARTVELIST (IAFCID, IFBUOID, ISECID, ICLCID, ISEDINFID, IVPROID, ICAVID, ICONDID, "
    "DINSERT, "
    "FAFCQUANTITA, FAFCCOSTOUNIT, BAFCNOTE, IINBANNOASSUNZ, iRspId, iFarId, iAlvId) VALUES (:VOGENID, "
    ":IFBUOID, "
    ":ISECID, :ICLCID, :ISEDINFID, :IVPROID, :ICAVID, :ICONDID, (SELECT SERVERDATE FROM "
    "PYGETSERVERTIMESTAMP), "
    ":FAFCQUANTITA, :FAFCCOSTOUNIT, :BAFCNOTE, :IINBANNOASSUNZ, :iRspId, :iFarId, :iAlvId);";
const char *const kvaSQLArticlesInStock =
    "SELECT far.IFARID, SFARSDESC, ICFMID, ICAFID, IDCMID, IMERID, IUNMID, SFARLIBEDITORE, SFARLIBAUTORE, "
    "SFARLIBTITOLO, SFARLDESC, IALVID, UPPER(sFarSDesc || ' ' || sFarLDesc) AS DESCRIZIONE FROM "
    "TFar_FacArticoli far INNER JOIN PKVA_GETGIACENZE(:data, :iDwgAnfFacId, -1) p ON (p.IFARID = far.IFARID) "
    "WHERE p.GIACENZA > 0";

const char *const kvaClosedYearText = "L'anno è stato chiuso: i buoni non si possono più modificare.";

namespace {
const char *const kVoucherArticlesSQL = "SELECT DISTINCT afc.iFarId FROM TAfc_ArtVelist afc WHERE "
                                        "afc.iFBuoId = :iFBuoId AND afc.iFarId IS NOT NULL";
const char *const kVoucherYearSQL = "SELECT iDwgFacAnfId FROM TFBuo_Buoni WHERE iFBuoId = :iFBuoId";
const char *const kDeleteRowsSQL = "DELETE FROM TAfc_ArtVelist WHERE iFBuoId = :iFBuoId";
const char *const kOpenVoucherSQL = "EXECUTE PROCEDURE PKVA_BUONOMODIFICABILE(:iFBuoId)";
const char *const kYearClosedSQL = "SELECT ICHIUSO FROM PKVA_ANNOCHIUSO(:iDwgFacAnfId)";
const char *const kDeleteLinksSQL = "DELETE FROM TFBuoIdc WHERE iFBuoId = :iFBuoId";
const char *const kCheckSQL =
    "SELECT CONTROLLO FROM PKva_ControllaGiac(:iFarId, NULL, NULL, NULL, :iDwgFacAnfId)";
const char *const kDateTrialSQL = "UPDATE TFBuo_Buoni SET dFBuoData = :dFBuoData WHERE iFBuoId = :iFBuoId;";
const char *const kVoucherRowsSQL =
    "SELECT iFarId, sFarLDesc FROM VAfc_ArtVelist WHERE iFBuoId = :iFBuoId ORDER BY iAfcId";
const char *const kArticleSQL = "SELECT sFarLDesc FROM TFar_FacArticoli WHERE iFarId = :iFarId";

// The database refused to delete a voucher's rows by a rule on them: an exception raised by a trigger
// (-836) or a row that refers to them (-530). Other errors (a lock conflict, a lost connection, a
// missing object) are no verdict on the rows and reach the user as themselves.
bool RowsRefused(const EVoDatabaseError &e) {
    return e.SqlCode() == -836 || e.SqlCode() == -530;
}

void DeleteRows(int voucherId) {
    // A voucher of a closed year is refused as such, before the refusal of its rows says less.
    kvaCheckVoucherOpen(voucherId);
    try {
        VoExecSQL(QString::fromLatin1(kDeleteRowsSQL), {{QStringLiteral("iFBuoId"), voucherId}});
    } catch (const EVoDatabaseError &e) {
        if (RowsRefused(e))
            throw EVoError(QStringLiteral("Impossibile cancellare gli articoli del buono."));
        throw;
    }
}

// Whether the stock of an article stays non-negative on every day of a register-year's scope.
bool StockStays(int article, int registerYearId) {
    TVoQuery q(QString::fromLatin1(kCheckSQL));
    q.SetParam(QStringLiteral("iFarId"), article)
        .SetParam(QStringLiteral("iDwgFacAnfId"), registerYearId)
        .Open();
    return q.AsInteger(QStringLiteral("CONTROLLO")) != 1;
}

QList<int> VoucherArticles(int voucherId) {
    QList<int> articles;
    TVoQuery q(QString::fromLatin1(kVoucherArticlesSQL));
    q.SetParam(QStringLiteral("iFBuoId"), voucherId).Open();
    while (!q.Eof()) {
        articles << q.AsInteger(QStringLiteral("iFarId"));
        q.Next();
    }
    return articles;
}

int VoucherYear(int voucherId) {
    return VoSelectValue(QString::fromLatin1(kVoucherYearSQL), {{QStringLiteral("iFBuoId"), voucherId}})
        .toInt();
}
// Loading quantities are typed in loading units; unloading ones count the unit factor's pieces of
// each.
TVoBounds RowQuantityBounds(int kind) {
    return kind == kvaLoading ? AbcQuantityBounds(QStringLiteral("Quantità"))
                              : AbcUnloadQuantityBounds(QStringLiteral("Quantità"));
}

TVoBounds RowCostBounds() {
    return AbcUnitCostBounds(QStringLiteral("Costo unitario"));
}

} // namespace

void kvaSetHeaderLists(TVoQueryCollection *headers, int kind) {
    headers->SQLInsert.Clear();
    headers->SQLUpdate.Clear();
    headers->SQLDelete.Clear();
    headers->SQLInsert.Add(QString::fromLatin1(kvaSQLBuoInsert));
    headers->SQLUpdate.Add(QString::fromLatin1(kvaSQLBuoUpdate));
    if (kind == 1)
        headers->SQLDelete.Add(QString::fromLatin1(kvaSQLBuoResetUnloaded));
    headers->SQLDelete.Add(QString::fromLatin1(kvaSQLBuoDelete));
}

void kvaSetRowLists(TVoQueryCollection *rows, int kind) {
    rows->SQLInsert.Clear();
    rows->SQLUpdate.Clear();
    rows->SQLDelete.Clear();
    rows->SQLInsert.Add(QString::fromLatin1(kvaSQLAfcInsert));
    rows->SQLUpdate.Add(QString::fromLatin1(kvaSQLAfcUpdate));
    if (kind == 0) {
        rows->SQLInsert.Add(QString::fromLatin1(kvaSQLRePricing));
        rows->SQLInsert.Add(QString::fromLatin1(kvaSQLArticleVat));
        rows->SQLUpdate.Add(QString::fromLatin1(kvaSQLRePricing));
        rows->SQLUpdate.Add(QString::fromLatin1(kvaSQLArticleVat));
    } else {
        rows->SQLInsert.Add(QString::fromLatin1(kvaSQLAseInsert));
        rows->SQLInsert.Add(QString::fromLatin1(kvaSQLRePricing));
        rows->SQLUpdate.Add(QString::fromLatin1(kvaSQLAseClose));
        rows->SQLUpdate.Add(QString::fromLatin1(kvaSQLAseInsert));
        rows->SQLUpdate.Add(QString::fromLatin1(kvaSQLRePricing));
    }
    // The row goes first, so that the re-priced costs no longer count it.
    rows->SQLDelete.Add(QString::fromLatin1(kvaSQLAfcDelete));
    rows->SQLDelete.Add(QString::fromLatin1(kvaSQLRePricing));
    rows->SetFieldBounds(QStringLiteral("FAFCQUANTITA"), RowQuantityBounds(kind));
    // An unloading row's cost is priced, never typed: it carries VAT and the unit factor.
    if (kind == kvaLoading)
        rows->SetFieldBounds(QStringLiteral("FAFCCOSTOUNIT"), RowCostBounds());
}

void kvaSetDocumentLists(TVoQueryCollection *documents, int kind) {
    documents->SQLInsert.Clear();
    documents->SQLUpdate.Clear();
    documents->SQLDelete.Clear();
    documents->SQLInsert.Add(QString::fromLatin1(kvaSQLIdcInsert));
    if (kind == 0)
        documents->SQLInsert.Add(QString::fromLatin1(kvaSQLIdcSupplier));
    documents->SQLDelete.Add(QString::fromLatin1(kvaSQLIdcDelete));
}

bool kvaVoucherRowsCanGo(int voucherId, int *failingArticle) {
    const int year = VoucherYear(voucherId);
    const QList<int> articles = VoucherArticles(voucherId);
    TVoTransaction trial;
    trial.StartTransaction();
    DeleteRows(voucherId);
    bool ok = true;
    for (int article : articles) {
        if (!StockStays(article, year)) {
            ok = false;
            if (failingArticle)
                *failingArticle = article;
            break;
        }
    }
    trial.Rollback();
    return ok;
}

namespace {
void RePrice(const QList<int> &articles, int voucherId) {
    for (int article : articles)
        VoExecSQL(QString::fromLatin1(kvaSQLRePricing),
                  {{QStringLiteral("iFarId"), article}, {QStringLiteral("iFBuoId"), voucherId}});
}
} // namespace

void kvaRePriceVoucher(int voucherId) {
    RePrice(VoucherArticles(voucherId), voucherId);
}

void kvaDeleteVoucherContents(int voucherId) {
    const QList<int> articles = VoucherArticles(voucherId);
    const QVariantHash voucher{{QStringLiteral("iFBuoId"), voucherId}};
    TVoTransaction tr;
    tr.StartTransaction();
    DeleteRows(voucherId);
    VoExecSQL(QString::fromLatin1(kDeleteLinksSQL), voucher);
    // The header still names the register-year whose unloading rows are re-priced without the rows.
    RePrice(articles, voucherId);
    tr.Commit();
}

void kvaDeleteVoucher(int voucherId) {
    TVoTransaction tr;
    tr.StartTransaction();
    kvaDeleteVoucherContents(voucherId);
    VoExecSQL(QString::fromLatin1(kvaSQLBuoResetUnloaded), {{QStringLiteral("VOCURRID"), voucherId}});
    VoExecSQL(QString::fromLatin1(kvaSQLBuoDelete), {{QStringLiteral("VOCURRID"), voucherId}});
    tr.Commit();
}

void kvaCheckWrittenRow(int kind, const QString &voucher, const QString &article, double quantity,
                        double cost, bool carried) {
    // What another program hands over as nothing (a good without a description, a quantity below
    // zero) arrives as a row of nothing, which no total minds.
    TVoBounds quantityBounds =
        carried ? AbcUnloadQuantityBounds(QStringLiteral("Quantità")) : RowQuantityBounds(kind);
    quantityBounds.minIncluded = true;
    QString sentence = VoBoundsSentence(quantityBounds, quantity, QString());
    if (sentence.isEmpty() && kind == kvaLoading)
        sentence = VoBoundsSentence(
            carried ? TVoBounds::NotNegative(AbcMaxCarriedUnitCost, QStringLiteral("Costo unitario"))
                    : RowCostBounds(),
            cost, QString());
    if (sentence.isEmpty())
        return;
    sentence[0] = sentence[0].toLower();
    throw EVoError(QStringLiteral("Attenzione ! \r\n%1, articolo \"%2\": %3 Nulla è stato registrato. ")
                       .arg(voucher, article, sentence));
}

void kvaInsertImportedRow(const TKvaImportedRow &row) {
    kvaCheckWrittenRow(kvaLoading, row.source, row.good, row.quantity, row.unitCost);
    const auto orNull = [](const QVariant &v) { return v.isValid() ? v : VoNull(QMetaType::Int); };
    TVoQuery insert(QString::fromLatin1(kvaSQLImportAfcInsert));
    insert.SetParam(QStringLiteral("VOGENID"), NewId(QStringLiteral("TAFC_ARTVELIST")))
        .SetParam(QStringLiteral("IFBUOID"), row.voucher)
        .SetParam(QStringLiteral("iFarId"), row.article)
        .SetParam(QStringLiteral("FAFCCOSTOUNIT"), row.unitCost)
        .SetParam(QStringLiteral("FAFCQUANTITA"), row.quantity)
        .SetParam(QStringLiteral("iAlvId"), orNull(row.vatRate))
        .SetParam(QStringLiteral("ICLCID"), orNull(row.location))
        .SetParam(QStringLiteral("iRspId"), orNull(row.responsible))
        .SetParam(QStringLiteral("BAFCNOTE"), row.note)
        .SetParam(QStringLiteral("ICONDID"), 2)
        .SetParam(QStringLiteral("ISECID"), orNull(row.sector))
        .SetParam(QStringLiteral("ISEDINFID"), orNull(row.site))
        .SetParam(QStringLiteral("IVPROID"), 30)
        .SetParam(QStringLiteral("ICAVID"), 1)
        .SetParam(QStringLiteral("IINBANNOASSUNZ"), CurrentRegYear);
    insert.Exec();
}

void kvaLockNumbering() {
    AbcLockVoucherNumbering(kvaVoucherProfile);
}

// Serialises on the voucher's articles, so that no other copy changes their stock between the trial
// and the commit, then tries the rows' removal.
void kvaCheckVoucherRowsCanGo(int voucherId) {
    for (int article : VoucherArticles(voucherId))
        VoLockRow(QStringLiteral("TFAR_FACARTICOLI"), QStringLiteral("IFARID"), article);
    int article = 0;
    if (kvaVoucherRowsCanGo(voucherId, &article))
        return;
    const QString description =
        VoSelectValue(QString::fromLatin1(kArticleSQL), {{QStringLiteral("iFarId"), article}}).toString();
    throw EVoError(
        VoFormat(QStringLiteral("Impossibile cancellare, la giacenza dell'articolo %s andrebbe in negativo!"),
                 {description}));
}

QString kvaVoucherDateProblem(double date, int number, int kind, int voucherId, double storedDate) {
    if (const QString problem = AbcVoucherDateProblem(kvaVoucherProfile, date, number, kind);
        !problem.isEmpty())
        return problem;
    QString article;
    if (voucherId > 0 && date != storedDate && !kvaVoucherDateKeepsStock(voucherId, date, &article))
        return VoFormat(
            QStringLiteral("Impossibile modificare la data, la giacenza dell'articolo \"%s\" andrebbe "
                           "in negativo"),
            {article});
    return QString();
}

bool kvaVoucherDateKeepsStock(int voucherId, double date, QString *article) {
    TVoTransaction trial;
    trial.StartTransaction();
    VoExecSQL(QString::fromLatin1(kDateTrialSQL),
              {{QStringLiteral("dFBuoData"), DaysToDateParam(date)}, {QStringLiteral("iFBuoId"), voucherId}});
    QList<std::pair<int, QString>> rows;
    {
        TVoQuery q(QString::fromLatin1(kVoucherRowsSQL));
        q.SetParam(QStringLiteral("iFBuoId"), voucherId).Open();
        for (; !q.Eof(); q.Next())
            rows.append({q.AsInteger(QStringLiteral("iFarId")), q.AsString(QStringLiteral("sFarLDesc"))});
    }
    bool ok = true;
    for (const auto &[articleId, description] : rows) {
        // A check that cannot be made raises its own error, which keeps the date from passing.
        if (!StockStays(articleId, CurrentRegisterYearId)) {
            ok = false;
            if (article)
                *article = description;
            break;
        }
    }
    trial.Rollback();
    return ok;
}

bool kvaYearClosed(int registerYearId) {
    return VoSelectValue(QString::fromLatin1(kYearClosedSQL), {{QStringLiteral("iDwgFacAnfId"), registerYearId}})
               .toInt() == 1;
}

void kvaRefuseClosedYear() {
    if (kvaYearClosed(ParamRegisterYearId()))
        throw EVoError(QString::fromUtf8(kvaClosedYearText));
}

void kvaCheckVoucherOpen(int voucherId) {
    VoExecSQL(QString::fromLatin1(kOpenVoucherSQL), {{QStringLiteral("iFBuoId"), voucherId}});
}

// The server procedures of the durable-goods register, on a register of its own: what each writes
// and leaves alone, the histories it keeps, and what it refuses.
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestGoods.h"
#include "kvbUBuoni.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

using kvbProceduresTest = VoGoodsTest;

const QDate kLoaded(2026, 2, 10);

QVariant GoodColumn(int good, const QString &column) {
    return VoSelectValue(QStringLiteral("SELECT %1 FROM TBINB_BENI WHERE IBINBID = :id").arg(column),
                         {{QStringLiteral("id"), good}});
}

int DemoSite() {
    return VoSelectValue(QStringLiteral("SELECT MIN(ISEDINFID) FROM TSEDINF_SEDEINFO")).toInt();
}

// Runs PKVB_UPDBENE as the goods window does: the good's data as stored, with some of it changed.
void UpdateGood(int good, const QVariantHash &changes) {
    TVoQuery row(QStringLiteral("SELECT * FROM TBINB_BENI WHERE IBINBID = :id"));
    row.SetParam(QStringLiteral("id"), good).Open();
    QVariantHash params{{QStringLiteral("VOCURRID"), good}};
    for (const QString &name : VoParamNames(QString::fromLatin1(kvbSQLInbUpdate)))
        if (name != QLatin1String("VOCURRID"))
            params.insert(name, changes.value(name.toUpper(), row.Value(name.toUpper())));
    row.Close();
    VoExecSQL(QString::fromLatin1(kvbSQLInbUpdate), params);
}

struct TPeriod {
    QVariant value;
    QDateTime start, end;
};

// The periods of one history of a good, oldest first.
QList<TPeriod> History(const QString &table, const QString &column, int good) {
    TVoQuery q(QStringLiteral("SELECT %1 AS VALORE, DSTART, DEND FROM %2 WHERE IBINBID = :id "
                              "ORDER BY DSTART, DEND NULLS LAST")
                   .arg(column, table));
    QList<TPeriod> periods;
    for (q.SetParam(QStringLiteral("id"), good).Open(); !q.Eof(); q.Next())
        periods.append({q.Value(QStringLiteral("VALORE")), q.Value(QStringLiteral("DSTART")).toDateTime(),
                        q.Value(QStringLiteral("DEND")).toDateTime()});
    return periods;
}

QString ErrorOf(const QString &sql, const QVariantHash &params) {
    try {
        VoExecSQL(sql, params);
    } catch (const EVoDatabaseError &e) {
        return e.Message();
    }
    return QString();
}

} // namespace

TEST_F(kvbProceduresTest, SavingAGoodWritesItsOwnDataAndNothingElse) {
    const int load = VoTestGoodsVoucher(year2026, 0, kLoaded, 1);
    const int unload = VoTestGoodsVoucher(year2026, 1, QDate(2026, 5, 1), 1);
    const int causal = VoTestCausal(1);
    const int good = VoTestGood(load, 4, 1000000, 1, 0, 0, QStringLiteral("A"));
    VoTestDischarge(good, unload, causal);
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET IBINBFUORIREGISTRO = 1 WHERE IBINBID = :id"),
              {{QStringLiteral("id"), good}});
    const int code = VoTestNewKey(QStringLiteral("TMER_CODICIMERCEOL"));
    VoExecSQL(QStringLiteral("INSERT INTO TMER_CODICIMERCEOL (IMERID, SMERCODICE) VALUES (:id, 'M')"),
              {{QStringLiteral("id"), code}});
    const int entry = VoTestNewKey(QStringLiteral("TCAE_CATEGMERCE"));
    VoExecSQL(QStringLiteral("INSERT INTO TCAE_CATEGMERCE (ICAEID, ICAMID, IMERID) VALUES (:id, 2, :mer)"),
              {{QStringLiteral("id"), entry}, {QStringLiteral("mer"), code}});

    const QVariantHash changes{{QStringLiteral("IBINBNUMERO"), 9},
                               {QStringLiteral("SBINBDESC"), QStringLiteral("Armadio")},
                               {QStringLiteral("SBINBNOTE"), QStringLiteral("Nota")},
                               {QStringLiteral("IBINBIMPORTO"), qint64(2500000)},
                               {QStringLiteral("ICAMID"), 2},
                               {QStringLiteral("ICAEID"), entry},
                               {QStringLiteral("ICAVID"), VoTestCausal(0)},
                               {QStringLiteral("ICONDID"), 7},
                               {QStringLiteral("ISECID"), VoTestSector(QStringLiteral("LAB"))},
                               {QStringLiteral("SBINBLIBTITOLO"), QStringLiteral("Titolo")},
                               {QStringLiteral("SBINBLIBAUTORE"), QStringLiteral("Autore")},
                               {QStringLiteral("SBINBLIBEDITORE"), QStringLiteral("Editore")},
                               {QStringLiteral("IVPROID"), 3},
                               {QStringLiteral("ISEDINFID"), DemoSite()},
                               {QStringLiteral("ICLCID"), 6},
                               {QStringLiteral("IBINBANNOASSUNZ"), 2024},
                               {QStringLiteral("SBINBMATRICOLA"), QStringLiteral("M-1")},
                               {QStringLiteral("SBINBCODNUMERO"), QStringLiteral("")}};
    UpdateGood(good, changes);
    for (auto it = changes.begin(); it != changes.end(); ++it)
        EXPECT_EQ(GoodColumn(good, it.key()).toString(), it.value().toString()) << it.key().toStdString();
    // An empty sub-code is none, as the number checks take it.
    EXPECT_TRUE(GoodColumn(good, QStringLiteral("SBINBCODNUMERO")).isNull());
    // State, vouchers, unloading causal and the place in the numbering are not the good's own data.
    EXPECT_EQ(GoodColumn(good, QStringLiteral("IAVAID")).toInt(), 3);
    EXPECT_EQ(GoodColumn(good, QStringLiteral("IBBUOID")).toInt(), load);
    EXPECT_EQ(GoodColumn(good, QStringLiteral("IBBUOIDSCARICO")).toInt(), unload);
    EXPECT_EQ(GoodColumn(good, QStringLiteral("ICAVIDSCARICO")).toInt(), causal);
    EXPECT_EQ(GoodColumn(good, QStringLiteral("IBINBFUORIREGISTRO")).toInt(), 1);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TBBNU_BENINUMERI")), 0);

    // A good another user deleted meanwhile is not saved as if nothing happened.
    for (const char *sql : kvbSQLInbDelete)
        VoExecSQL(QString::fromLatin1(sql), {{QStringLiteral("VOCURRID"), good}});
    EXPECT_EQ(ErrorOf(QStringLiteral(
                          "EXECUTE PROCEDURE PKVB_UPDBENE(:id, NULL, NULL, NULL, NULL, NULL, "
                          "NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)"),
                      {{QStringLiteral("id"), good}}),
              QStringLiteral("Il record è stato modificato o cancellato da un altro utente."));
}

TEST_F(kvbProceduresTest, ANewGoodHoldsItsSectorValueAndSiteSinceItsLoadingDate) {
    const int load = VoTestGoodsVoucher(year2026, 0, kLoaded, 1);
    const int sector = VoTestSector(QStringLiteral("SEG"));
    const int full = VoTestGood(load, 1, 1000000, 1, sector, DemoSite());
    const int bare = VoTestGood(load, 2, 500000);
    const QDateTime since(kLoaded, QTime(0, 0));
    const struct {
        const char *table, *column;
        QVariant full;
        bool bare;
    } histories[] = {{"TBBSE_BENISETTORI", "ISECID", sector, false},
                     {"TBBIM_IMPORTI", "IBBIMIMPORTO", 1000000, true},
                     {"TBSIN_SEDIBENISTOR", "ISEDINFID", DemoSite(), false}};
    for (const auto &h : histories) {
        const QList<TPeriod> periods =
            History(QString::fromLatin1(h.table), QString::fromLatin1(h.column), full);
        ASSERT_EQ(periods.size(), 1) << h.table;
        EXPECT_EQ(periods[0].value.toLongLong(), h.full.toLongLong()) << h.table;
        EXPECT_EQ(periods[0].start, since) << h.table;
        EXPECT_TRUE(periods[0].end.isNull()) << h.table;
        EXPECT_EQ(History(QString::fromLatin1(h.table), QString::fromLatin1(h.column), bare).size(),
                  h.bare ? 1 : 0)
            << h.table;
    }
}

TEST_F(kvbProceduresTest, SavingASectorValueOrSiteCorrectsAProvisionalGoodAndKeepsTheHistoryOfOthers) {
    const int seg = VoTestSector(QStringLiteral("SEG")), lab = VoTestSector(QStringLiteral("LAB"));
    const int site = DemoSite();
    // A good starts in SEG, at 100,00, at the site (or nowhere, where the case says so).
    const struct {
        const char *what;
        bool definitive;
        const char *table, *column;
        QVariant before, after;
        QVariantList periods; // values oldest first; the last one open when the new value is set
    } cases[] = {
        {"sector, provisional", false, "TBBSE_BENISETTORI", "ISECID", seg, lab, {lab}},
        {"sector, definitive", true, "TBBSE_BENISETTORI", "ISECID", seg, lab, {seg, lab}},
        {"sector cleared, provisional", false, "TBBSE_BENISETTORI", "ISECID", seg, QVariant(), {}},
        {"value, provisional", false, "TBBIM_IMPORTI", "IBBIMIMPORTO", 1000000, 2500000, {2500000}},
        {"value, definitive", true, "TBBIM_IMPORTI", "IBBIMIMPORTO", 1000000, 2500000, {1000000, 2500000}},
        {"site first set, provisional", false, "TBSIN_SEDIBENISTOR", "ISEDINFID", QVariant(), site, {site}},
        {"site cleared, definitive", true, "TBSIN_SEDIBENISTOR", "ISEDINFID", site, QVariant(), {site}},
    };
    const QHash<QString, QString> goodColumn{{QStringLiteral("ISECID"), QStringLiteral("ISECID")},
                                             {QStringLiteral("IBBIMIMPORTO"), QStringLiteral("IBINBIMPORTO")},
                                             {QStringLiteral("ISEDINFID"), QStringLiteral("ISEDINFID")}};
    int number = 0;
    for (const auto &c : cases) {
        const QString column = QString::fromLatin1(c.column);
        const int load = VoTestGoodsVoucher(year2026, 0, kLoaded, ++number);
        const int good = VoTestGood(load, number, 1000000, 1, seg,
                                    column == QLatin1String("ISEDINFID") ? c.before.toInt() : site);
        if (c.definitive)
            VoTestMakeDefinitive(load, 0);
        UpdateGood(good, {{goodColumn.value(column), c.after}});

        const QList<TPeriod> periods = History(QString::fromLatin1(c.table), column, good);
        ASSERT_EQ(periods.size(), c.periods.size()) << c.what;
        for (int i = 0; i < periods.size(); ++i) {
            EXPECT_EQ(periods[i].value.toLongLong(), c.periods[i].toLongLong()) << c.what;
            // Periods follow one another from the loading date on.
            EXPECT_EQ(periods[i].start, i == 0 ? QDateTime(kLoaded, QTime(0, 0)) : periods[i - 1].end)
                << c.what;
            EXPECT_EQ(periods[i].end.isNull(), i == periods.size() - 1 && !c.after.isNull()) << c.what;
        }
    }
}

TEST_F(kvbProceduresTest, RenumberingKeepsTheNumberLeftSinceThePreviousRenumbering) {
    const int load = VoTestGoodsVoucher(year2026, 0, kLoaded, 1);
    const int good = VoTestGood(load, 5, 0, 1, 0, 0, QStringLiteral("A"));
    const int plain = VoTestGood(load, 6);
    const auto renumber = [](int id, int oldNumber, int newNumber, const QString &subCode, const QDate &on) {
        VoExecSQL(
            QStringLiteral("EXECUTE PROCEDURE PKVB_STORNUMERO(:iBInbId, :iBInbNumero_Old, :iBInbNumero_New, "
                           ":sBInbCODNUMERO_OLD, :sBInbCODNUMERO_NEW, :DRINUMERA)"),
            {{QStringLiteral("iBInbId"), id},
             {QStringLiteral("iBInbNumero_Old"), oldNumber},
             {QStringLiteral("iBInbNumero_New"), newNumber},
             {QStringLiteral("sBInbCODNUMERO_OLD"), subCode},
             {QStringLiteral("sBInbCODNUMERO_NEW"), subCode},
             {QStringLiteral("DRINUMERA"), on}});
    };
    renumber(good, 5, 3, QStringLiteral("A"), QDate(2026, 6, 30));
    renumber(good, 3, 3, QStringLiteral("A"), QDate(2026, 12, 31));
    renumber(plain, 6, 4, QStringLiteral(""), QDate(2026, 6, 30));

    EXPECT_EQ(GoodColumn(good, QStringLiteral("IBINBNUMERO")).toInt(), 3);
    EXPECT_EQ(GoodColumn(good, QStringLiteral("SBINBCODNUMERO")).toString(), QStringLiteral("A"));
    EXPECT_EQ(GoodColumn(plain, QStringLiteral("IBINBNUMERO")).toInt(), 4);
    EXPECT_TRUE(GoodColumn(plain, QStringLiteral("SBINBCODNUMERO")).isNull());
    TVoQuery q(
        QStringLiteral("SELECT IBINBID, IBBNUNUMERO, COALESCE(SBBNUCODNUMERO, '-') AS SUB, DSTART, DEND "
                       "FROM TBBNU_BENINUMERI ORDER BY IBINBID, DEND"));
    QStringList rows;
    for (q.Open(); !q.Eof(); q.Next())
        rows << QStringLiteral("%1 %2/%3 %4..%5")
                    .arg(q.AsInteger(QStringLiteral("IBINBID")) == good ? QStringLiteral("bene")
                                                                        : QStringLiteral("altro"))
                    .arg(q.AsInteger(QStringLiteral("IBBNUNUMERO")))
                    .arg(q.AsString(QStringLiteral("SUB")),
                         q.Value(QStringLiteral("DSTART")).toDate().toString(Qt::ISODate),
                         q.Value(QStringLiteral("DEND")).toDate().toString(Qt::ISODate));
    // Keys grow, so the good comes before the other.
    const QStringList expected{QStringLiteral("bene 5/A 2026-02-10..2026-06-30"),
                               QStringLiteral("bene 3/A 2026-06-30..2026-12-31"),
                               QStringLiteral("altro 6/- 2026-02-10..2026-06-30")};
    EXPECT_EQ(rows, expected);
}

TEST_F(kvbProceduresTest, MakingVouchersDefinitiveMovesOnlyTheirOwnGoods) {
    const int load = VoTestGoodsVoucher(year2026, 0, kLoaded, 1, 3000000);
    const int early = VoTestGoodsVoucher(year2026, 1, QDate(2026, 3, 1), 1);
    const int later = VoTestGoodsVoucher(year2026, 1, QDate(2026, 4, 1), 2);
    const int kept = VoTestGood(load, 1, 1000000);
    const int onLater = VoTestGood(load, 2, 1000000);
    const int onEarly = VoTestGood(load, 3, 1000000);
    VoTestDischarge(onLater, later, 0);
    VoTestDischarge(onEarly, early, 0);
    // The closing may make an unloading voucher definitive before the older loading voucher.
    VoTestMakeDefinitive(early, 1);
    const QString snapshot = QStringLiteral(
        "SELECT (SELECT LIST(IBINBID || ':' || IAVAID || ':' || IBINBIMPORTO) FROM (SELECT * FROM TBINB_BENI "
        "ORDER BY IBINBID)) || ' ' || (SELECT LIST(IBBUOID || ':' || ILOCKED || ':' || IBBUOIMPORTO) FROM "
        "(SELECT * FROM TBBUO_BUONI ORDER BY IBBUOID)) || ' ' || (SELECT COUNT(*) FROM TBBIM_IMPORTI) FROM "
        "RDB$DATABASE");

    VoTestMakeDefinitive(load, 0);
    const QString once = VoSelectValue(snapshot).toString();
    VoTestMakeDefinitive(load, 0);
    EXPECT_EQ(VoSelectValue(snapshot).toString(), once);
    const auto state = [](int good) { return GoodColumn(good, QStringLiteral("IAVAID")).toInt(); };
    const auto locked = [](int voucher) {
        return VoSelectValue(QStringLiteral("SELECT ILOCKED FROM TBBUO_BUONI WHERE IBBUOID = :id"),
                             {{QStringLiteral("id"), voucher}})
            .toInt();
    };
    EXPECT_EQ(locked(load), 1);
    EXPECT_EQ(state(kept), 2);
    EXPECT_EQ(state(onLater), 3);
    EXPECT_EQ(state(onEarly), 4);
    EXPECT_EQ(locked(later), 0);

    VoTestMakeDefinitive(later, 1);
    EXPECT_EQ(locked(later), 1);
    EXPECT_EQ(state(onLater), 4);
    EXPECT_EQ(state(kept), 2);
    // Neither procedure writes histories or amounts.
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TBBIM_IMPORTI WHERE DEND IS NOT NULL")), 0);
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT SUM(IBINBIMPORTO) FROM TBINB_BENI WHERE IBBUOID = :id"),
                            {{QStringLiteral("id"), load}})
                  .toLongLong(),
              3000000);
}

TEST_F(kvbProceduresTest, DuplicatingMakesNumberedCopiesOfAGoodOnAProvisionalVoucher) {
    const int load = VoTestGoodsVoucher(year2026, 0, kLoaded, 1);
    const int model =
        VoTestGood(load, 1, 1500000, 8, VoTestSector(QStringLiteral("LAB")), DemoSite(), QStringLiteral("B"));
    VoExecSQL(QStringLiteral(
                  "UPDATE TBINB_BENI SET SBINBNOTE = 'n', ICAVID = :cav, ICONDID = 2, SBINBLIBTITOLO = 't', "
                  "SBINBLIBAUTORE = 'a', SBINBLIBEDITORE = 'e', IVPROID = 4, ICLCID = 5, "
                  "IBINBANNOASSUNZ = 2026, SBINBMATRICOLA = 'm' WHERE IBINBID = :id"),
              {{QStringLiteral("id"), model}, {QStringLiteral("cav"), VoTestCausal(0)}});
    const auto duplicate = [](int good, int count, int from) {
        return ErrorOf(QStringLiteral("EXECUTE PROCEDURE PKVB_INSBENE_DUPL(:iBInbID, :INUMBENI, :INUMPART)"),
                       {{QStringLiteral("iBInbID"), good},
                        {QStringLiteral("INUMBENI"), count},
                        {QStringLiteral("INUMPART"), from}});
    };
    // The fifteen fields a copy takes from its model; its serial number stays empty.
    const QString copied = QStringLiteral("ICAMID || '|' || IBINBIMPORTO || '|' || SBINBDESC || '|' || "
                                          "ICONDID || '|' || SBINBNOTE || '|' || ISECID "
                                          "|| '|' || SBINBLIBTITOLO || '|' || SBINBLIBAUTORE || '|' || "
                                          "SBINBLIBEDITORE || '|' || IVPROID || '|' || "
                                          "ICAVID || '|' || ISEDINFID || '|' || ICLCID || '|' || "
                                          "IBINBANNOASSUNZ || '|' || "
                                          "COALESCE(ICAEID, 0) AS DATI");
    const QString modelData =
        VoSelectValue(QStringLiteral("SELECT %1 FROM TBINB_BENI WHERE IBINBID = :id").arg(copied),
                      {{QStringLiteral("id"), model}})
            .toString();

    EXPECT_EQ(duplicate(model, 0, 10), QString());
    EXPECT_EQ(duplicate(model, -1, 10), QString());
    const QString onVoucher = QStringLiteral("SELECT * FROM TBINB_BENI WHERE IBBUOID = :id");
    EXPECT_EQ(VoCountRows(onVoucher, {{QStringLiteral("id"), load}}), 1);
    EXPECT_EQ(duplicate(model, 3, 10), QString());
    TVoQuery q(QStringLiteral(
                   "SELECT IBINBNUMERO, IAVAID, SBINBCODNUMERO, SBINBMATRICOLA, IBBUOID, IBBUOIDSCARICO, "
                   "IBINBFUORIREGISTRO, %1 FROM TBINB_BENI WHERE IBBUOID = :load AND IBINBID <> :id ORDER BY "
                   "IBINBNUMERO")
                   .arg(copied));
    QStringList copies;
    q.SetParam(QStringLiteral("load"), load);
    for (q.SetParam(QStringLiteral("id"), model).Open(); !q.Eof(); q.Next()) {
        EXPECT_EQ(q.AsString(QStringLiteral("DATI")), modelData);
        copies << QStringLiteral("%1 %2 %3 %4 %5 %6")
                      .arg(q.AsInteger(QStringLiteral("IBINBNUMERO")))
                      .arg(q.AsInteger(QStringLiteral("IAVAID")))
                      .arg(q.IsNull(QStringLiteral("SBINBCODNUMERO")) ? QStringLiteral("-")
                                                                      : QStringLiteral("sub"))
                      .arg(q.IsNull(QStringLiteral("SBINBMATRICOLA")) ? QStringLiteral("-")
                                                                      : QStringLiteral("sn"))
                      .arg(q.IsNull(QStringLiteral("IBBUOIDSCARICO")) ? QStringLiteral("-")
                                                                      : QStringLiteral("sca"))
                      .arg(q.AsInteger(QStringLiteral("IBINBFUORIREGISTRO")));
    }
    EXPECT_EQ(copies, (QStringList{QStringLiteral("10 1 - - - 0"), QStringLiteral("11 1 - - - 0"),
                                   QStringLiteral("12 1 - - - 0")}));
    // Each copy holds its values since the loading date, as any new good.
    EXPECT_EQ(
        VoCountRows(QStringLiteral("SELECT * FROM TBBIM_IMPORTI bim INNER JOIN TBINB_BENI inb ON "
                                   "inb.IBINBID = bim.IBINBID WHERE inb.IBBUOID = :id AND bim.DSTART = :d"),
                    {{QStringLiteral("id"), load}, {QStringLiteral("d"), QDateTime(kLoaded, QTime(0, 0))}}),
        4);

    // A model that is gone, or on a definitive voucher, gives no copy.
    VoTestMakeDefinitive(load, 0);
    EXPECT_EQ(duplicate(model, 2, 20),
              QStringLiteral("Il buono del bene è definitivo: non vi si possono aggiungere beni."));
    EXPECT_EQ(duplicate(-5, 2, 20), QStringLiteral("E' stato cancellato il bene che vuoi copiare."));
    EXPECT_EQ(VoCountRows(onVoucher, {{QStringLiteral("id"), load}}), 4);
}

TEST_F(kvbProceduresTest, ClosingTotalsAreTheRegistersValuePerCategoryOrWhatAClosingRecorded) {
    // 2025: a good of category 1 (100,00) and a book (20,00); 2026: a good of category 1 (50,00), and
    // the book discharged in May. The demo register's goods do not count.
    const int load25 = VoTestGoodsVoucher(year2025, 0, QDate(2025, 3, 1), 1);
    const int load26 = VoTestGoodsVoucher(year2026, 0, QDate(2026, 2, 1), 2);
    const int unload = VoTestGoodsVoucher(year2026, 1, QDate(2026, 5, 1), 1);
    VoTestGood(load25, 1, 1000000, 1);
    const int book = VoTestGood(load25, 2, 200000, 8);
    VoTestGood(load26, 3, 500000, 1);
    VoTestDischarge(book, unload, 0);
    // The closing of 2025 recorded category 1 only; a later one of 2026 recorded both.
    const auto closing = [this](const QDate &date, const QList<QPair<int, qint64>> &amounts) {
        const int id = VoTestNewKey(QStringLiteral("TCHA_CHIUSURAANNO"));
        VoExecSQL(QStringLiteral("INSERT INTO TCHA_CHIUSURAANNO (ICHAID, DCHADATACHIUSURA, ITCHID, IFACID) "
                                 "VALUES (:id, :d, 1, :fac)"),
                  {{QStringLiteral("id"), id}, {QStringLiteral("d"), date}, {QStringLiteral("fac"), facId}});
        for (const auto &[category, amount] : amounts)
            VoExecSQL(QStringLiteral("INSERT INTO TCHACAM (ICHACAMID, ICHAID, ICAMID, ICHACAMIMPORTO) VALUES "
                                     "((SELECT L_ICNTID FROM PYSETGETID('TCHACAM', 1)), :id, :cam, :imp)"),
                      {{QStringLiteral("id"), id},
                       {QStringLiteral("cam"), category},
                       {QStringLiteral("imp"), amount}});
        return id;
    };
    const auto totals = [this](const QVariant &closingId, const QVariant &date, int mode) {
        TVoQuery q(QStringLiteral("SELECT * FROM PKVB_GETCHIUSURA(:iChaId, :dData, :iMode, :iFacId)"));
        q.SetParam(QStringLiteral("iChaId"), closingId.isValid() ? closingId : VoNull(QMetaType::Int))
            .SetParam(QStringLiteral("dData"), date.isValid() ? date : VoNull(QMetaType::QDate))
            .SetParam(QStringLiteral("iMode"), mode)
            .SetParam(QStringLiteral("iFacId"), facId)
            .Open();
        QStringList row{q.IsNull(QStringLiteral("ICHAID")) ? QStringLiteral("-")
                                                           : q.AsString(QStringLiteral("ICHAID")),
                        q.IsNull(QStringLiteral("DCHADATACHIUSURA"))
                            ? QStringLiteral("-")
                            : q.Value(QStringLiteral("DCHADATACHIUSURA")).toDate().toString(Qt::ISODate)};
        for (const char *f : {"IMP1", "IMP2", "IMP3", "IMP4", "IMP5", "IMP6", "IMP7", "IMP8", "TOTALE"})
            row << q.AsString(QString::fromLatin1(f));
        EXPECT_EQ(q.CountToEnd(), 1);
        return row.join(QLatin1Char(' '));
    };
    EXPECT_EQ(totals({}, QDate(2026, 6, 30), 2), QStringLiteral("- - 0 0 0 0 0 0 0 0 0"));
    const int closed25 = closing(QDate(2025, 12, 31), {{1, 1000000}});
    const int closed26 = closing(QDate(2026, 12, 31), {{1, 1500000}, {8, 0}});
    const QString c25 = QString::number(closed25), c26 = QString::number(closed26);

    const struct {
        QVariant closing, date;
        int mode;
        QString expected;
    } cases[] = {
        {{}, QDate(2025, 12, 31), 1, QStringLiteral("- 2025-12-31 1000000 0 0 0 0 0 0 200000 1200000")},
        {{}, QDate(2026, 4, 30), 1, QStringLiteral("- 2026-04-30 1500000 0 0 0 0 0 0 200000 1700000")},
        {{}, QDate(2026, 5, 1), 1, QStringLiteral("- 2026-05-01 1500000 0 0 0 0 0 0 0 1500000")},
        {{}, {}, 1, QStringLiteral("- - 1500000 0 0 0 0 0 0 0 1500000")},
        {{}, QDate(2026, 6, 30), 2, c25 + QStringLiteral(" 2025-12-31 1000000 0 0 0 0 0 0 0 1000000")},
        {{}, QDate(2026, 12, 31), 2, c25 + QStringLiteral(" 2025-12-31 1000000 0 0 0 0 0 0 0 1000000")},
        {{}, {}, 2, c26 + QStringLiteral(" 2026-12-31 1500000 0 0 0 0 0 0 0 1500000")},
        {closed26, QDate(2026, 6, 30), 2, c26 + QStringLiteral(" 2026-12-31 1500000 0 0 0 0 0 0 0 1500000")},
        {{}, QDate(2025, 12, 31), 2, QStringLiteral("- - 0 0 0 0 0 0 0 0 0")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(totals(c.closing, c.date, c.mode), c.expected)
            << c.mode << " " << c.date.toDate().toString(Qt::ISODate).toStdString();
}

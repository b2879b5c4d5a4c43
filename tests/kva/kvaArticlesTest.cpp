// Article codes, finding or making an article by its description, and the one-time rebuild of the
// catalogue from the descriptions that voucher rows carried before it existed.
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestDb.h"
#include "VoTransaction.h"
#include "VoWait.h"
#include "VoWindowDrive.h"
#include "kvaUUtil.h"

#include <QDate>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kDone = QStringLiteral("\"Sincronizzazione dati degli articoli\" terminata");
const QString kWait = QStringLiteral("Attendere la fine della \"Sincronizzazione dati degli articoli\" nel "
                                     "computer in cui è già stata lanciata");

class kvaArticlesTest : public VoDbTest {
protected:
    static int Article(const QString &code, const QString &desc, const QString &title = QString(),
                       const QString &author = QString(), const QString &publisher = QString()) {
        const int id = VoTestNewKey(QStringLiteral("TFAR_FACARTICOLI"));
        VoExecSQL(QStringLiteral("INSERT INTO TFAR_FACARTICOLI (IFARID, SFARSDESC, SFARLDESC, SFARLIBTITOLO, "
                                 "SFARLIBAUTORE, SFARLIBEDITORE) VALUES (:id, :c, :d, :t, :a, :p)"),
                  {{QStringLiteral("id"), id},
                   {QStringLiteral("c"), code},
                   {QStringLiteral("d"), desc},
                   {QStringLiteral("t"), title},
                   {QStringLiteral("a"), author},
                   {QStringLiteral("p"), publisher}});
        return id;
    }
    static int DemoArticle(const QString &code) {
        return VoSelectValue(QStringLiteral("SELECT IFARID FROM TFAR_FACARTICOLI WHERE SFARSDESC = :c"),
                             {{QStringLiteral("c"), code}})
            .toInt();
    }
    static int Articles() { return VoCountRows(QStringLiteral("SELECT * FROM TFAR_FACARTICOLI")); }
    static QString Stored(int article, const QString &expression) {
        return VoSelectValue(
                   QStringLiteral("SELECT %1 FROM TFAR_FACARTICOLI WHERE IFARID = :id").arg(expression),
                   {{QStringLiteral("id"), article}})
            .toString();
    }

    // A voucher row as rows were kept before the catalogue: its article by description, code and book
    // fields (a null QString stores NULL), with its own category and unit.
    static int LegacyRow(int voucher, const QString &code, const QString &desc, int category, int unit,
                         double quantity, double cost, const QString &title = QString(),
                         const QString &author = QString(), const QString &publisher = QString(),
                         const QVariant &article = VoNull(QMetaType::Int)) {
        const int id = VoTestNewKey(QStringLiteral("TAFC_ARTVELIST"));
        const auto text = [](const QString &s) {
            return s.isNull() ? VoNull(QMetaType::QString) : QVariant(s);
        };
        VoExecSQL(
            QStringLiteral("INSERT INTO TAFC_ARTVELIST (IAFCID, IFBUOID, IFARID, SAFCSDESC, SAFCLDESC, "
                           "SAFCLIBTITOLO, SAFCLIBAUTORE, SAFCLIBEDITORE, ICAFID, IUNMID, FAFCQUANTITA, "
                           "FAFCCOSTOUNIT) VALUES (:id, :v, :far, :c, :d, :t, :a, :p, :caf, :unm, :q, :k)"),
            {{QStringLiteral("id"), id},
             {QStringLiteral("v"), voucher},
             {QStringLiteral("far"), article},
             {QStringLiteral("c"), text(code)},
             {QStringLiteral("d"), text(desc)},
             {QStringLiteral("t"), text(title)},
             {QStringLiteral("a"), text(author)},
             {QStringLiteral("p"), text(publisher)},
             {QStringLiteral("caf"), category},
             {QStringLiteral("unm"), unit},
             {QStringLiteral("q"), quantity},
             {QStringLiteral("k"), cost}});
        return id;
    }
    static QVariant RowValue(int row, const QString &column) {
        return VoSelectValue(QStringLiteral("SELECT %1 FROM TAFC_ARTVELIST WHERE IAFCID = :id").arg(column),
                             {{QStringLiteral("id"), row}});
    }
    static void SetMarker(const QVariant &value) {
        VoExecSQL(QStringLiteral("UPDATE TYXAR_XMLARCHIVIO SET BYXARXMLFILE = :v WHERE IYXARID = 26001"),
                  {{QStringLiteral("v"), value}});
    }
    static QVariant Marker() {
        return VoSelectValue(
            QStringLiteral("SELECT COALESCE(BYXARXMLFILE, 'NULL') FROM TYXAR_XMLARCHIVIO WHERE "
                           "IYXARID = 26001"));
    }
};

} // namespace

TEST_F(kvaArticlesTest, ACodeIsAnExistingArticlesOrOneAboveTheHighestCodeOfDigits) {
    struct Case {
        const char *what;
        std::function<void()> catalogue;
        QString desc, title, author, publisher, expected;
    };
    const Case cases[] = {
        {"first code", [] {}, QStringLiteral("GOMMA"), {}, {}, {}, QStringLiteral("0000001")},
        {"next code",
         [] { Article(QStringLiteral("0000041"), QStringLiteral("GOMMA")); },
         QStringLiteral("COLLA"),
         {},
         {},
         {},
         QStringLiteral("0000042")},
        {"reused by description",
         [] { Article(QStringLiteral("0000041"), QStringLiteral("GOMMA PANE")); },
         QStringLiteral("Gomma pane"),
         {},
         {},
         {},
         QStringLiteral("0000041")},
        {"reused by the book's fields",
         [] {
             Article(QStringLiteral("0000007"), QStringLiteral("ODISSEA - OMERO - EPICA"),
                     QStringLiteral("ODISSEA"), QStringLiteral("OMERO"), QStringLiteral("EPICA"));
         },
         QStringLiteral("Odissea illustrata"), QStringLiteral("odissea"), QStringLiteral("omero"),
         QStringLiteral("epica"), QStringLiteral("0000007")},
        {"codes with letters skipped",
         [] {
             Article(QStringLiteral("0000041"), QStringLiteral("GOMMA"));
             Article(QStringLiteral("A000099"), QStringLiteral("COLLA"));
             Article(QStringLiteral("ZZ"), QStringLiteral("FORBICI"));
         },
         QStringLiteral("MATITA"),
         {},
         {},
         {},
         QStringLiteral("0000042")},
    };
    for (const Case &c : cases) {
        VoExecSQL(QStringLiteral("DELETE FROM TFAR_FACARTICOLI"));
        c.catalogue();
        EXPECT_EQ(GetArticleCode(c.desc, c.title, c.author, c.publisher), c.expected) << c.what;
    }
}

TEST_F(kvaArticlesTest, AnArticleIsFoundIgnoringCaseOrMadeWithTheCatalogueRules) {
    const int unit = VoTestUnit(1);
    const int vat = VoTestVatRate(22);
    const int book =
        Article(QStringLiteral("0000150"), QStringLiteral("LA ROSA - ECO - BOMPIANI"),
                QStringLiteral("IL NOME DELLA ROSA"), QStringLiteral("ECO"), QStringLiteral("BOMPIANI"));
    const int before = Articles();

    EXPECT_EQ(
        FindOrInsertArticle(QStringLiteral("penna a sfera blu"), {}, {}, {}, 1, -1, 0, 0, unit, vat, true),
        DemoArticle(QStringLiteral("0000103")))
        << "the demo article, whatever the case";
    EXPECT_EQ(FindOrInsertArticle(QStringLiteral("Il nome della rosa, edizione scolastica"),
                                  QStringLiteral("il nome della rosa"), QStringLiteral("eco"),
                                  QStringLiteral("bompiani"), 5, -1, 0, 0, 0, 0, true),
              book);
    EXPECT_EQ(FindOrInsertArticle(QStringLiteral("Il nome della rosa"), QStringLiteral("il nome della rosa"),
                                  QStringLiteral("eco"), QStringLiteral("bompiani"), 1, -1, 0, 0, 0, 0,
                                  false),
              -1)
        << "only a book is found by its book fields";
    EXPECT_EQ(Articles(), before);

    const int detail = VoSelectValue(QStringLiteral("SELECT MIN(IDCMID) FROM TDCM_DETTCODMERC")).toInt();
    const int made =
        FindOrInsertArticle(QStringLiteral("Gessetti bianchi"), QStringLiteral("Gessetti bianchi"),
                            QStringLiteral("X"), QStringLiteral("Y"), 4, -1, 0, 0, unit, vat, true);
    ASSERT_GT(made, 0);
    EXPECT_EQ(Stored(made, QStringLiteral(
                               "SFARSDESC || '|' || SFARLDESC || '|' || SFARLIBTITOLO || '|' || "
                               "SFARLIBAUTORE || '|' || SFARLIBEDITORE || '|' || ICAFID || '|' || IMERID || "
                               "'|' || COALESCE(IDCMID, 'NULL') || '|' || COALESCE(ICFMID, 'NULL')")),
              QStringLiteral("0000151|GESSETTI BIANCHI||||4|0|NULL|NULL"));
    EXPECT_EQ(Stored(made, QStringLiteral("IUNMID || '|' || IALVID")),
              QStringLiteral("%1|%2").arg(unit).arg(vat));

    const int other = FindOrInsertArticle(QStringLiteral("Promessi sposi"),
                                          QStringLiteral("i promessi sposi"), QStringLiteral("manzoni"),
                                          QStringLiteral("mondadori"), 5, -1, 7, detail, 0, 0, true);
    EXPECT_EQ(
        Stored(other, QStringLiteral("SFARLDESC || '|' || SFARLIBTITOLO || '|' || IDCMID || '|' || IMERID")),
        QStringLiteral("I PROMESSI SPOSI - MANZONI - MONDADORI|I PROMESSI SPOSI|%1|7").arg(detail));
}

TEST_F(kvaArticlesTest, TheRebuildMakesOneArticlePerContentAndLinksAndPricesEveryRow) {
    SetMarker(VoNull(QMetaType::QString));
    const int y26 = VoTestRegisterYear(2026);
    const int box = VoTestUnit(12, QStringLiteral("CF"));
    const int piece = VoTestUnit(1);
    const int load = VoTestVoucher(0, QDate(2026, 1, 10), y26);
    const int unload = VoTestVoucher(1, QDate(2026, 2, 1), y26);
    const int oldest = LegacyRow(load, QStringLiteral("0000005"), QStringLiteral("CARTA A4"), 1, box, 10, 24);
    const int younger =
        LegacyRow(load, QStringLiteral("0000005"), QStringLiteral("CARTA A4"), 2, piece, 10, 36);
    const int book =
        LegacyRow(load, QStringLiteral("0000006"), QStringLiteral("ODISSEA - OMERO - EPICA"), 5, piece, 1, 9,
                  QStringLiteral("ODISSEA"), QStringLiteral("OMERO"), QStringLiteral("EPICA"));
    const int uncoded = LegacyRow(load, QString(), QStringLiteral("GESSO"), 4, piece, 3, 1);
    const int handedOut =
        LegacyRow(unload, QStringLiteral("0000005"), QStringLiteral("CARTA A4"), 1, box, 6, 0);

    EXPECT_TRUE(SyncArticles());
    EXPECT_EQ(messages->Texts(), QStringList{kDone});
    EXPECT_EQ(Marker().toString(), QStringLiteral("1"));
    EXPECT_EQ(Articles(), 3) << "the demo articles are gone, the rows' three contents are made";
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TAFC_ARTVELIST WHERE IFARID IS NULL")), 0);
    const int paper = RowValue(oldest, QStringLiteral("IFARID")).toInt();
    EXPECT_EQ(RowValue(younger, QStringLiteral("IFARID")).toInt(), paper);
    EXPECT_EQ(RowValue(handedOut, QStringLiteral("IFARID")).toInt(), paper);
    EXPECT_EQ(
        Stored(paper, QStringLiteral("SFARSDESC || '|' || SFARLDESC || '|' || ICAFID || '|' || IUNMID")),
        QStringLiteral("0000005|CARTA A4|1|%1").arg(box))
        << "the oldest row's attributes";
    EXPECT_EQ(Stored(RowValue(book, QStringLiteral("IFARID")).toInt(),
                     QStringLiteral("SFARLIBTITOLO || '|' || SFARLIBAUTORE || '|' || SFARLIBEDITORE")),
              QStringLiteral("ODISSEA|OMERO|EPICA"));
    EXPECT_EQ(
        Stored(RowValue(uncoded, QStringLiteral("IFARID")).toInt(),
               QStringLiteral("COALESCE(SFARSDESC, 'NULL') || '|' || SFARLDESC || '|' || SFARLIBTITOLO")),
        QStringLiteral("NULL|GESSO|"));
    // Boxes at 24 and 36: 30 a box, handed out in pieces of a box of 12.
    EXPECT_DOUBLE_EQ(RowValue(handedOut, QStringLiteral("FAFCCOSTOUNIT")).toDouble(), 2.5);
    EXPECT_DOUBLE_EQ(RowValue(younger, QStringLiteral("FAFCCOSTOUNIT")).toDouble(), 36);
}

TEST_F(kvaArticlesTest, TheRebuildInOnePassEndsAsTheRebuildStatementByStatement) {
    SetMarker(VoNull(QMetaType::QString));
    const int y25 = VoTestRegisterYear(2025);
    const int y26 = VoTestRegisterYear(2026);
    const int box = VoTestUnit(12, QStringLiteral("CF"));
    const int piece = VoTestUnit(1);
    const int load25 = VoTestVoucher(0, QDate(2025, 3, 1), y25);
    const int load = VoTestVoucher(0, QDate(2026, 1, 10), y26);
    const int later = VoTestVoucher(0, QDate(2026, 3, 1), y26);
    const int undated = VoTestVoucher(0, QDate(), y26);
    const int unload = VoTestVoucher(1, QDate(2026, 2, 1), y26);
    const int unloadLater = VoTestVoucher(1, QDate(2026, 3, 1), y26);
    // Contents alike but for one field, attributes that differ between a content's rows, a book, rows
    // without code or description, loads and unloadings spread over dates and years.
    LegacyRow(later, QStringLiteral("0000005"), QStringLiteral("CARTA A4"), 2, piece, 5, 40);
    LegacyRow(load, QStringLiteral("0000005"), QStringLiteral("CARTA A4"), 1, box, 10, 24);
    LegacyRow(load25, QStringLiteral("0000005"), QStringLiteral("CARTA A4"), 3, box, 7, 11);
    LegacyRow(unload, QStringLiteral("0000005"), QStringLiteral("CARTA A4"), 1, box, 6, 0);
    LegacyRow(unloadLater, QStringLiteral("0000005"), QStringLiteral("CARTA A4"), 1, box, 2, 99);
    LegacyRow(undated, QStringLiteral("0000005"), QStringLiteral("CARTA A4"), 1, piece, 3, 50);
    LegacyRow(load, QStringLiteral("0000004"), QStringLiteral("CARTA A4"), 1, piece, 1, 2);
    LegacyRow(load, QStringLiteral("0000006"), QStringLiteral("ODISSEA - OMERO - EPICA"), 5, piece, 1, 9,
              QStringLiteral("ODISSEA"), QStringLiteral("OMERO"), QStringLiteral("EPICA"));
    LegacyRow(load, QStringLiteral("0000006"), QStringLiteral("ODISSEA - OMERO - EPICA"), 5, piece, 2, 8,
              QStringLiteral("ODISSEA"), QStringLiteral("OMERO"), QStringLiteral("LATERZA"));
    LegacyRow(unload, QStringLiteral("0000006"), QStringLiteral("ODISSEA - OMERO - EPICA"), 5, piece, 1, 0,
              QStringLiteral("ODISSEA"), QStringLiteral("OMERO"), QStringLiteral("EPICA"));
    LegacyRow(load, QString(), QStringLiteral("GESSO"), 4, piece, 3, 1);
    LegacyRow(unloadLater, QString(), QStringLiteral("GESSO"), 4, box, 1, 0);
    LegacyRow(load, QStringLiteral("0000009"), QString(), 4, piece, 3, 1);
    const auto outcome = [] {
        return VoRowTexts(QStringLiteral(
                   "SELECT SFARSDESC, SFARLDESC, SFARLIBEDITORE, SFARLIBAUTORE, SFARLIBTITOLO, ICFMID, ICAFID, "
                   "IDCMID, IMERID, IUNMID, IALVID FROM TFAR_FACARTICOLI ORDER BY IFARID")) +
               VoRowTexts(QStringLiteral(
                   "SELECT afc.IAFCID, far.SFARSDESC, far.SFARLDESC, far.SFARLIBEDITORE, afc.FAFCCOSTOUNIT "
                   "FROM TAFC_ARTVELIST afc LEFT JOIN TFAR_FACARTICOLI far ON far.IFARID = afc.IFARID "
                   "ORDER BY afc.IAFCID"));
    };
    // The rebuild as it ran before, one statement after the other, rolled back once its outcome is read.
    const char *const same = "far.SFARLDESC IS NOT DISTINCT FROM afc.SAFCLDESC AND far.SFARSDESC IS NOT DISTINCT "
                             "FROM afc.SAFCSDESC AND far.SFARLIBEDITORE = COALESCE(afc.SAFCLIBEDITORE, '') AND "
                             "far.SFARLIBAUTORE = COALESCE(afc.SAFCLIBAUTORE, '') AND far.SFARLIBTITOLO = "
                             "COALESCE(afc.SAFCLIBTITOLO, '')";
    QStringList statements{
        QStringLiteral("UPDATE TAFC_ARTVELIST SET IFARID = NULL WHERE IFARID IS NOT NULL"),
        QStringLiteral("DELETE FROM TFAR_FACARTICOLI"),
        QStringLiteral(
            "INSERT INTO TFAR_FACARTICOLI (IFARID, SFARSDESC, SFARLIBEDITORE, SFARLIBAUTORE, SFARLIBTITOLO, "
            "SFARLDESC) SELECT (SELECT L_ICNTID FROM PYSETGETID('TFAR_FACARTICOLI', 0)), d.SDESC, d.EDITORE, "
            "d.AUTORE, d.TITOLO, d.LDESC FROM (SELECT DISTINCT afc.SAFCSDESC AS SDESC, "
            "COALESCE(afc.SAFCLIBEDITORE, '') AS EDITORE, COALESCE(afc.SAFCLIBAUTORE, '') AS AUTORE, "
            "COALESCE(afc.SAFCLIBTITOLO, '') AS TITOLO, afc.SAFCLDESC AS LDESC FROM TAFC_ARTVELIST afc) d"),
        QStringLiteral("UPDATE TAFC_ARTVELIST afc SET afc.IFARID = (SELECT FIRST 1 far.IFARID FROM "
                       "TFAR_FACARTICOLI far WHERE %1)")
            .arg(QLatin1String(same))};
    for (const char *column : {"ICFMID", "ICAFID", "IDCMID", "IMERID", "IUNMID", "IALVID"})
        statements << QStringLiteral("UPDATE TFAR_FACARTICOLI far SET far.%1 = (SELECT FIRST 1 afc.%1 FROM "
                                     "TAFC_ARTVELIST afc WHERE %2 ORDER BY afc.IAFCID + 0)")
                          .arg(QLatin1String(column), QLatin1String(same));
    statements << QStringLiteral("EXECUTE PROCEDURE PKVA_RIPREZZATUTTI");
    QStringList expected;
    {
        TVoTransaction t;
        t.StartTransaction();
        for (const QString &sql : std::as_const(statements))
            VoExecSQL(sql);
        expected = outcome();
        t.Rollback();
    }
    ASSERT_GT(expected.size(), 10);

    EXPECT_TRUE(SyncArticles());
    EXPECT_EQ(messages->Texts(), QStringList{kDone});
    EXPECT_EQ(outcome(), expected);
}

TEST_F(kvaArticlesTest, TheMarkerDecidesWhetherTheRebuildRuns) {
    struct Case {
        const char *what;
        QVariant marker; // invalid: no marker row
        bool goesOn;
        QStringList shown;
        int articles;
        QString markerAfter;
    };
    // The rebuild last: it empties the demo catalogue, there being no rows to build it from.
    const Case cases[] = {
        {"running elsewhere", QStringLiteral("0"), false, {kWait}, 12, QStringLiteral("0")},
        {"done", QStringLiteral("1"), true, {}, 12, QStringLiteral("1")},
        {"no marker", QVariant(), true, {}, 12, QString()},
        {"to do", VoNull(QMetaType::QString), true, {kDone}, 0, QStringLiteral("1")},
    };
    for (const Case &c : cases) {
        VoExecSQL(QStringLiteral("DELETE FROM TYXAR_XMLARCHIVIO WHERE IYXARID = 26001"));
        if (c.marker.isValid())
            VoExecSQL(
                QStringLiteral("INSERT INTO TYXAR_XMLARCHIVIO (IYXARID, BYXARXMLFILE) VALUES (26001, :v)"),
                {{QStringLiteral("v"), c.marker}});
        messages->Clear();
        EXPECT_EQ(SyncArticles(), c.goesOn) << c.what;
        EXPECT_EQ(messages->Texts(), c.shown) << c.what;
        EXPECT_EQ(Articles(), c.articles) << c.what;
        EXPECT_EQ(Marker().toString(), c.markerAfter) << c.what;
    }
}

TEST_F(kvaArticlesTest, ARebuildThatFailsHalfWayLeavesEverythingAsBefore) {
    SetMarker(VoNull(QMetaType::QString));
    const int y26 = VoTestRegisterYear(2026);
    const int load = VoTestVoucher(0, QDate(2026, 1, 10), y26);
    const int pen = DemoArticle(QStringLiteral("0000103"));
    const int row = LegacyRow(load, QStringLiteral("0000005"), QStringLiteral("CARTA A4"), 1, VoTestUnit(1),
                              10, 24, QString(), QString(), QString(), pen);
    VoExecRaw(QStringLiteral("CREATE EXCEPTION E_PROVA 'Unità rifiutata'"));
    VoExecRaw(QStringLiteral("CREATE TRIGGER T_PROVA FOR TFAR_FACARTICOLI BEFORE INSERT OR UPDATE AS BEGIN IF "
                             "(NEW.IUNMID IS DISTINCT FROM OLD.IUNMID) THEN EXCEPTION E_PROVA; END"));
    const QString catalogue =
        QStringLiteral("SELECT LIST(IFARID || SFARSDESC || SFARLDESC, ',') FROM (SELECT * "
                       "FROM TFAR_FACARTICOLI ORDER BY IFARID)");
    const QVariant before = VoSelectValue(catalogue);

    EXPECT_TRUE(SyncArticles()) << "the program goes on";
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Unità rifiutata")});
    EXPECT_EQ(VoSelectValue(catalogue), before);
    EXPECT_EQ(RowValue(row, QStringLiteral("IFARID")).toInt(), pen);
    EXPECT_EQ(Marker().toString(), QStringLiteral("NULL")) << "the next start tries again";
}

TEST_F(kvaArticlesTest, AnnullaHalfWayThroughTheRebuildLeavesEverythingAsBefore) {
    SetMarker(VoNull(QMetaType::QString));
    const int y26 = VoTestRegisterYear(2026);
    const int load = VoTestVoucher(0, QDate(2026, 1, 10), y26);
    const int pen = DemoArticle(QStringLiteral("0000103"));
    LegacyRow(load, QStringLiteral("0000005"), QStringLiteral("CARTA A4"), 1, VoTestUnit(1), 10, 24, QString(),
              QString(), QString(), pen);
    const auto everything = [] {
        return VoRowTexts(QStringLiteral("SELECT * FROM TFAR_FACARTICOLI ORDER BY IFARID")) +
               VoRowTexts(QStringLiteral("SELECT * FROM TAFC_ARTVELIST ORDER BY IAFCID"));
    };
    const QStringList before = everything();
    {
        // The user presses "Annulla" once the articles are made and linked to the rows.
        const int rows = VoCountRows(QStringLiteral("SELECT * FROM TAFC_ARTVELIST"));
        TVoPressAnnulla annulla(rows);
        EXPECT_TRUE(SyncArticles()) << "the program goes on";
        EXPECT_EQ(annulla.Counts().last(), QStringLiteral("%1 di %2").arg(rows).arg(2 * rows + 1));
    }
    TfmVoWait *wait = fmVoWait();
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(wait->isVisible());
    EXPECT_FALSE(wait->Cancellable());
    EXPECT_EQ(everything(), before);
    EXPECT_EQ(Marker().toString(), QStringLiteral("NULL")) << "the next start tries again";
    EXPECT_FALSE(qqoVoGlobConn->InTransaction());
}

// The query collection on a real database: statement lists and their events, one transaction per
// post or delete, parameters, automatic statements, refresh, bookmarks and packet reading.
#include "VoQueryCollection.h"
#include "VoConnection.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoStatistics.h"
#include "VoTestDb.h"
#include "VoTransaction.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

const QString kSelect =
    QStringLiteral("SELECT IHEADID, SDESC, FAMOUNT, DDATA FROM TQC_HEAD ORDER BY IHEADID");
const QString kInsertHead = QStringLiteral(
    "INSERT INTO TQC_Head (IHEADID, SDESC, FAMOUNT, DDATA) VALUES (:VOGENID, :sDesc, :fAmount, :dData)");
const QString kInsertLog =
    QStringLiteral("INSERT INTO TQC_LOG (ILOGID, IHEADID, SNOTE) VALUES (:VOGENID, :iHeadId, :sNote)");
const QString kCountTotal = QStringLiteral("UPDATE TQC_TOT SET N = N + 1 WHERE ITOTID = 1");

// Stands for the user: answers the delete question from a script and keeps what was reported.
class TScriptedUser : public IVoDataSetUser {
public:
    bool ConfirmDelete() override {
        ++asked;
        return !answers.isEmpty() && answers.takeFirst();
    }
    void Report(const std::exception &failure) override {
        auto *vo = dynamic_cast<const EVoException *>(&failure);
        reported << (vo ? vo->Message() : QString::fromLocal8Bit(failure.what()));
    }
    QList<bool> answers;
    int asked = 0;
    QStringList reported;
};

class VoQueryCollectionTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        previousUser = SetVoDataSetUser(user);
        VoExecSQL(
            QStringLiteral("CREATE TABLE TQC_HEAD (IHEADID INTEGER NOT NULL PRIMARY KEY, SDESC VARCHAR(50), "
                           "FAMOUNT DOUBLE PRECISION, DDATA DATE, ILOCKED INTEGER DEFAULT 0 NOT NULL)"));
        VoExecSQL(QStringLiteral("CREATE TABLE TQC_LOG (ILOGID INTEGER NOT NULL PRIMARY KEY, IHEADID "
                                 "INTEGER, SNOTE VARCHAR(50))"));
        VoExecSQL(QStringLiteral("CREATE TABLE TQC_TOT (ITOTID INTEGER NOT NULL PRIMARY KEY, N INTEGER)"));
        VoExecSQL(QStringLiteral("INSERT INTO TQC_TOT (ITOTID, N) VALUES (1, 0)"));
        for (int id : {1001, 1002, 1003})
            VoExecSQL(QStringLiteral("INSERT INTO TQC_HEAD (IHEADID, SDESC, FAMOUNT) VALUES (:id, :d, :a)"),
                      {{QStringLiteral("id"), id},
                       {QStringLiteral("d"), QStringLiteral("Riga %1").arg(id)},
                       {QStringLiteral("a"), id / 10.0}});
        qc.SetCommandText(kSelect);
        qc.SetConfirmations(cfNone);
    }
    void TearDown() override {
        SetVoDataSetUser(previousUser);
        VoDbTest::TearDown();
    }

    // Every row of a table, one line each, to compare the database before and after.
    static QString Dump(const QString &table) {
        TVoQuery q(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table));
        QStringList lines;
        for (q.Open(); !q.Eof(); q.Next()) {
            QStringList cells;
            for (int i = 0; i < q.FieldCount(); ++i)
                cells << VoVariantToText(q.Value(i));
            lines << cells.join(QLatin1Char('|'));
        }
        return lines.join(QLatin1Char('\n'));
    }
    static QString DumpAll() {
        return Dump(QStringLiteral("TQC_HEAD")) + QStringLiteral("\n--\n") + Dump(QStringLiteral("TQC_LOG")) +
               QStringLiteral("\n--\n") + Dump(QStringLiteral("TQC_TOT"));
    }
    static QVariant Select(const QString &sql, const QVariantHash &params = {}) {
        return VoSelectValue(sql, params);
    }

    QString Desc() { return qc.FieldByName(QStringLiteral("sdesc"))->AsString(); }

    std::shared_ptr<TScriptedUser> user = std::make_shared<TScriptedUser>();
    std::shared_ptr<IVoDataSetUser> previousUser;
    TVoQueryCollection qc;
};

} // namespace

TEST_F(VoQueryCollectionTest, ExplicitListsInsertUpdateAndDelete) {
    qc.SQLInsert.Add(kInsertHead);
    qc.SQLInsert.Add(kInsertLog);
    qc.SQLInsert.Add(kCountTotal);
    qc.SQLUpdate.Add(
        QStringLiteral("UPDATE TQC_HEAD SET SDESC = :SDESC, FAMOUNT = :famount WHERE IHEADID = :VOCURRID"));
    qc.SQLDelete.Add(QStringLiteral("DELETE FROM TQC_LOG WHERE IHEADID = :VOCURRID"));
    qc.SQLDelete.Add(QStringLiteral("DELETE FROM TQC_HEAD WHERE IHEADID = :VOCURRID"));
    QStringList seen;
    QVariant genIdAfterHead, keyWhenLogRan, currIdOfDelete;
    qc.VoBeforeExec.Add([&](TVoQueryCollection *, TVoQueryProp &prop, bool &allow) {
        seen << QStringLiteral("%1 %2 %3/%4")
                    .arg(prop.TableName)
                    .arg(prop.Kind)
                    .arg(prop.Index)
                    .arg(prop.ListKind);
        if (prop.TableName == QLatin1String("TQC_LOG") && prop.Kind == skInsert)
            prop.Values.Add(QStringLiteral("SNOTE"), QStringLiteral("aggiunta"));
        if (prop.TableName == QLatin1String("TQC_TOT"))
            allow = false;
    });
    qc.VoAfterExec.Add([&](TVoQueryCollection *c, TVoQueryProp &prop) {
        if (prop.TableName == QLatin1String("TQC_HEAD") && prop.Kind == skInsert)
            genIdAfterHead = prop.Values.Value(QStringLiteral("vogenid"));
        if (prop.TableName == QLatin1String("TQC_LOG") && prop.Kind == skInsert)
            keyWhenLogRan = c->FieldByName(QStringLiteral("IHEADID"))->Value();
        if (prop.Kind == skDelete && prop.Index == 1)
            currIdOfDelete = prop.Values.Value(QStringLiteral("VOCURRID"));
    });
    qc.Open();
    ASSERT_EQ(qc.RecordCount(), 3);

    qc.Insert();
    qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("Nuova"));
    qc.FieldByName(QStringLiteral("FAMOUNT"))->SetAsFloat(12.5);
    qc.FieldByName(QStringLiteral("DDATA"))->SetAsDate(45292);
    ASSERT_TRUE(qc.Post());
    EXPECT_EQ(qc.State(), dsBrowse);
    EXPECT_TRUE(user->reported.isEmpty()) << qc.LastError().toStdString();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("TQC_HEAD 1 0/1"), QStringLiteral("TQC_LOG 1 1/1"),
                                 QStringLiteral("TQC_TOT 0 2/1")}));

    // The new key reached the after-exec event, the row and the statements after it.
    const int key = qc.FieldByName(QStringLiteral("IHEADID"))->AsInteger();
    ASSERT_TRUE(genIdAfterHead.isValid());
    EXPECT_EQ(genIdAfterHead.toInt(), key);
    EXPECT_EQ(keyWhenLogRan.toInt(), key);
    TVoQuery saved(QStringLiteral("SELECT * FROM TQC_HEAD WHERE IHEADID = :k"));
    saved.SetParam(QStringLiteral("k"), key).Open();
    EXPECT_EQ(saved.AsString(QStringLiteral("SDESC")), QStringLiteral("Nuova"));
    EXPECT_EQ(saved.AsFloat(QStringLiteral("FAMOUNT")), 12.5);
    EXPECT_EQ(saved.AsDate(QStringLiteral("DDATA")), 45292.0);
    saved.Close();
    EXPECT_EQ(
        Select(QStringLiteral("SELECT SNOTE FROM TQC_LOG WHERE IHEADID = :k"), {{QStringLiteral("k"), key}})
            .toString(),
        QStringLiteral("aggiunta"));
    // The log row drew a key of its own table, and the skipped statement wrote nothing.
    EXPECT_EQ(
        Select(QStringLiteral("SELECT ILOGID FROM TQC_LOG WHERE IHEADID = :k"), {{QStringLiteral("k"), key}})
            .toInt(),
        1);
    EXPECT_EQ(Select(QStringLiteral("SELECT N FROM TQC_TOT")).toInt(), 0);

    qc.Edit();
    qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("Cambiata"));
    EXPECT_EQ(qc.FieldByName(QStringLiteral("SDESC"))->OldValue().toString(), QStringLiteral("Nuova"));
    ASSERT_TRUE(qc.Post());
    EXPECT_EQ(
        Select(QStringLiteral("SELECT SDESC FROM TQC_HEAD WHERE IHEADID = :k"), {{QStringLiteral("k"), key}})
            .toString(),
        QStringLiteral("Cambiata"));
    EXPECT_EQ(qc.FieldByName(QStringLiteral("SDESC"))->OldValue().toString(), QStringLiteral("Cambiata"));

    qc.SetConfirmations(cfDelete);
    user->answers = {true};
    ASSERT_TRUE(qc.Delete());
    EXPECT_EQ(user->asked, 1);
    EXPECT_EQ(currIdOfDelete.toInt(), key);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TQC_HEAD WHERE IHEADID = :k"),
                          {{QStringLiteral("k"), key}}),
              0);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TQC_LOG")), 0);
    EXPECT_EQ(qc.RecordCount(), 3);
}

TEST_F(VoQueryCollectionTest, ARegisterRoundTripsThroughItsStatementLists) {
    TVoQueryCollection reg;
    reg.SetCommandText(QStringLiteral(
        "SELECT fac.iFacID, fac.sFacDESC, tfc.iTfcId, tfc.sTfcLDesc, fac.iFacNumeraz, fac.iFacIvaInclusa "
        "FROM TFac_Velisto fac LEFT JOIN TTfc_TipoVelist tfc ON (tfc.iTfcId = fac.iTfcId) "
        "WHERE (tfc.ITFCID<>5) AND (tfc.ITFCID<>7) ORDER BY fac.sFacDesc"));
    reg.SQLInsert.Add(
        QStringLiteral("INSERT INTO TFac_Velisto (iFacId, sFacDesc, iTfcId, iFacNumeraz, iFacIvaInclusa) "
                       "VALUES (:VOGENID, :sFacDesc, :iTfcId, :iFacNumeraz, :iFacIvaInclusa);"));
    reg.SQLUpdate.Add(QStringLiteral("UPDATE TFac_Velisto SET sFacDesc=:sFacDesc, iFacNumeraz=:iFacNumeraz, "
                                     "iFacIvaInclusa=:iFacIvaInclusa WHERE iFacId=:VOCURRID;"));
    reg.SQLDelete.Add(QStringLiteral("DELETE FROM TFac_Velisto WHERE iFacId=:VOCURRID;"));
    QList<int> kinds;
    reg.VoAfterExec.Add([&](TVoQueryCollection *, TVoQueryProp &prop) { kinds << prop.Kind; });
    reg.Open();
    ASSERT_EQ(reg.RecordCount(), 1);
    const int registers = VoCountRows(QStringLiteral("SELECT * FROM TFAC_VELISTO"));
    const int last = Select(QStringLiteral("SELECT MAX(IFACID) FROM TFAC_VELISTO")).toInt();

    reg.Insert();
    reg.FieldByName(QStringLiteral("SFACDESC"))->SetValue(QStringLiteral("Biblioteca di plesso"));
    reg.FieldByName(QStringLiteral("ITFCID"))->SetAsInteger(2);
    reg.FieldByName(QStringLiteral("IFACNUMERAZ"))->SetAsInteger(0);
    reg.FieldByName(QStringLiteral("IFACIVAINCLUSA"))->SetAsInteger(1);
    ASSERT_TRUE(reg.Post()) << reg.LastError().toStdString();
    const int key = reg.FieldByName(QStringLiteral("IFACID"))->AsInteger();
    EXPECT_EQ(key, last + 1) << "the register's counter gave the next key";
    reg.Edit();
    reg.FieldByName(QStringLiteral("IFACIVAINCLUSA"))->SetAsInteger(0);
    ASSERT_TRUE(reg.Post());
    EXPECT_EQ(
        Select(QStringLiteral("SELECT SFACDESC || '/' || ITFCID || '/' || IFACIVAINCLUSA FROM TFAC_VELISTO "
                              "WHERE IFACID = :k"),
               {{QStringLiteral("k"), key}})
            .toString(),
        QStringLiteral("Biblioteca di plesso/2/0"));
    reg.Refresh();
    EXPECT_EQ(reg.FieldByName(QStringLiteral("STFCLDESC"))->AsString(), QStringLiteral("Biblioteca"));
    user->answers = {true};
    ASSERT_TRUE(reg.Delete());
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TFAC_VELISTO")), registers);
    EXPECT_EQ(kinds, (QList<int>{skInsert, skUpdate, skDelete}));
}

TEST_F(VoQueryCollectionTest, AFailureHalfWayLeavesTheDatabaseAsItWasAndTheRowEditable) {
    VoExecSQL(QStringLiteral("INSERT INTO TQC_LOG (ILOGID, IHEADID, SNOTE) VALUES (500, 1001, 'esistente')"));
    qc.SQLInsert.Add(kInsertHead);
    qc.SQLInsert.Add(QStringLiteral("INSERT INTO TQC_LOG (ILOGID, IHEADID) VALUES (:ILOGID, :IHEADID)"));
    qc.SQLInsert.Add(kCountTotal);
    int logId = 500; // already taken: the second statement fails
    qc.VoBeforeExec.Add([&](TVoQueryCollection *, TVoQueryProp &prop, bool &) {
        if (prop.TableName == QLatin1String("TQC_LOG"))
            prop.Values.Add(QStringLiteral("ILOGID"), logId);
    });
    qc.Open();
    const QString before = DumpAll();

    qc.Insert();
    qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("Mia descrizione"));
    qc.FieldByName(QStringLiteral("FAMOUNT"))->SetAsFloat(3.5);
    EXPECT_FALSE(qc.Post());
    EXPECT_EQ(DumpAll(), before);
    EXPECT_EQ(user->reported, QStringList{qc.LastError()});
    EXPECT_TRUE(qc.LastError().contains(QStringLiteral("TQC_LOG"))) << qc.LastError().toStdString();
    EXPECT_EQ(qc.State(), dsInsert);
    EXPECT_EQ(Desc(), QStringLiteral("Mia descrizione"));
    EXPECT_EQ(qc.FieldByName(QStringLiteral("FAMOUNT"))->AsFloat(), 3.5);
    EXPECT_TRUE(qc.FieldByName(QStringLiteral("IHEADID"))->IsNull())
        << "the key drawn for the failed post stays";

    // The user corrects what was wrong and saves the same row.
    logId = 501;
    ASSERT_TRUE(qc.Post());
    EXPECT_EQ(qc.State(), dsBrowse);
    EXPECT_FALSE(qc.FieldByName(QStringLiteral("IHEADID"))->IsNull());
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TQC_HEAD")), 4);
    EXPECT_EQ(Select(QStringLiteral("SELECT N FROM TQC_TOT")).toInt(), 1);

    // An update failing in its second statement: the edit and the user's values stay.
    qc.SQLUpdate.Add(QStringLiteral("UPDATE TQC_HEAD SET SDESC = :SDESC WHERE IHEADID = :VOCURRID"));
    qc.SQLUpdate.Add(QStringLiteral("UPDATE TQC_TABELLA_ASSENTE SET X = 1"));
    const QString beforeEdit = DumpAll();
    user->reported.clear();
    qc.Edit();
    qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("Modificata"));
    EXPECT_FALSE(qc.Post());
    EXPECT_EQ(DumpAll(), beforeEdit);
    EXPECT_EQ(user->reported.size(), 1);
    EXPECT_EQ(qc.State(), dsEdit);
    EXPECT_EQ(Desc(), QStringLiteral("Modificata"));
    qc.Cancel();
    EXPECT_EQ(Desc(), QStringLiteral("Mia descrizione"));
}

// A value written by code past its field's bounds is refused by the post itself, naming the field,
// and nothing is written; the bounds hold after the collection is opened again.
TEST_F(VoQueryCollectionTest, APostRefusesAValueBeyondItsFieldsBounds) {
    qc.SetAutoBuildSQL(true);
    qc.SetFieldBounds(QStringLiteral("famount"), TVoBounds::NotNegative(500, QStringLiteral("Importo")));
    const QString before = DumpAll();
    for (const double amount : {-0.5, 500.01}) {
        qc.Close();
        qc.Open();
        qc.Edit();
        qc.FieldByName(QStringLiteral("FAMOUNT"))->SetAsFloat(amount);
        EXPECT_FALSE(qc.Post()) << amount;
        EXPECT_EQ(qc.State(), dsEdit);
        qc.Cancel();
    }
    EXPECT_EQ(
        user->reported,
        (QStringList{QStringLiteral("Attenzione ! \r\nIl campo \"Importo\" non può essere minore di 0. "),
                     QStringLiteral("Attenzione ! \r\nIl campo \"Importo\" non può superare 500. ")}));
    EXPECT_EQ(DumpAll(), before);
    qc.Edit();
    qc.FieldByName(QStringLiteral("FAMOUNT"))->SetAsFloat(500);
    ASSERT_TRUE(qc.Post()) << qc.LastError().toStdString();
}

// A value the row already held beyond the bounds (an import, an older program) does not stop an edit
// of the rest of the row; a new value beyond them is still refused.
TEST_F(VoQueryCollectionTest, AStoredValueBeyondTheBoundsStaysThroughAnEditOfTheRest) {
    qc.SetAutoBuildSQL(true);
    qc.SetFieldBounds(QStringLiteral("famount"), TVoBounds::NotNegative(500, QStringLiteral("Importo")));
    VoExecSQL(QStringLiteral("UPDATE TQC_HEAD SET FAMOUNT = 150000"));
    qc.Open();
    qc.Edit();
    qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("Nota cambiata"));
    ASSERT_TRUE(qc.Post()) << qc.LastError().toStdString();
    qc.Edit();
    qc.FieldByName(QStringLiteral("FAMOUNT"))->SetAsFloat(150001);
    EXPECT_FALSE(qc.Post());
    EXPECT_EQ(user->reported,
              QStringList{QStringLiteral("Attenzione ! \r\nIl campo \"Importo\" non può superare 500. ")});
}

TEST_F(VoQueryCollectionTest, APostJoinsTheCallersTransaction) {
    qc.SQLInsert.Add(kInsertHead);
    qc.SQLInsert.Add(kCountTotal);
    qc.SetPacketRecords(1);
    const QString before = DumpAll();
    {
        TVoTransaction outer;
        outer.StartTransaction();
        // Opened inside a transaction, the collection reads everything before that transaction ends.
        qc.Open();
        EXPECT_EQ(qc.FetchedCount(), 3);
        EXPECT_FALSE(qc.CanFetchMore());
        qc.Insert();
        qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("Dentro"));
        ASSERT_TRUE(qc.Post());
        EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TQC_HEAD")), 4);
        outer.Rollback();
    }
    EXPECT_EQ(DumpAll(), before);
}

TEST_F(VoQueryCollectionTest, ParametersMatchIgnoringCaseAndUnsuppliedOnesFailClearly) {
    qc.SetCommandText(
        QStringLiteral("SELECT IHEADID, SDESC FROM TQC_HEAD WHERE IHEADID >= :MinId AND IHEADID <= :MAXID "
                       "ORDER BY IHEADID"));
    ASSERT_EQ(qc.Params().Count(), 2);
    qc.SetParam(QStringLiteral("minid"), 1002);
    qc.Params()[1].SetAsInteger(1003);
    qc.Open();
    EXPECT_EQ(qc.RecordCount(), 2);
    qc.Close();

    // The text changes: the value of a name that remains is kept, a new name must be given.
    qc.SetCommandText(
        QStringLiteral("SELECT IHEADID, SDESC FROM TQC_HEAD WHERE IHEADID >= :MINID AND SDESC <> :sNot"));
    RebuildParamsFromSQL(&qc);
    EXPECT_EQ(qc.Params().ParamByName(QStringLiteral("minId")).AsInteger(), 1002);
    try {
        qc.Open();
        FAIL() << "a parameter without a value must be refused";
    } catch (const EVoError &e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("sNot"))) << e.Message().toStdString();
    }
    EXPECT_FALSE(qc.Active());
    SetParamNull(&qc, QStringLiteral("SNOT"), QMetaType::QString);
    qc.Open();
    EXPECT_TRUE(qc.IsEmpty()) << "a comparison with NULL holds for no row";
    qc.Close();

    qc.SetCommandText(kSelect);
    qc.SQLInsert.Add(QStringLiteral("INSERT INTO TQC_HEAD (IHEADID, SDESC) VALUES (:VOGENID, :SNESSUNO)"));
    qc.Open();
    const QString before = DumpAll();
    qc.Insert();
    qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("x"));
    EXPECT_FALSE(qc.Post());
    EXPECT_EQ(user->reported.size(), 1);
    EXPECT_TRUE(qc.LastError().contains(QStringLiteral("SNESSUNO"))) << qc.LastError().toStdString();
    EXPECT_EQ(qc.State(), dsInsert);
    EXPECT_EQ(DumpAll(), before);
}

TEST_F(VoQueryCollectionTest, AutoBuiltStatementsWriteOnlyTheMainTable) {
    qc.SetCommandText(QStringLiteral(
        "SELECT h.IHEADID, h.SDESC, h.FAMOUNT, h.ILOCKED, t.N, "
        "(SELECT COUNT(*) FROM TQC_LOG l WHERE l.IHEADID = h.IHEADID) AS NLOG, UPPER(h.SDESC) AS SUPPER "
        "FROM TQC_HEAD h LEFT JOIN TQC_TOT t ON t.ITOTID = 1 ORDER BY h.IHEADID"));
    qc.SetAutoBuildSQL(true);
    QStringList statements;
    qc.VoBeforeExec.Add([&](TVoQueryCollection *, TVoQueryProp &prop, bool &) {
        statements << QStringLiteral("%1 %2").arg(prop.TableName).arg(prop.Kind);
    });
    qc.Open();
    EXPECT_EQ(qc.TableName(), QStringLiteral("TQC_HEAD"));
    qc.Insert();
    qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("Automatica"));
    ASSERT_TRUE(qc.Post()) << qc.LastError().toStdString();
    const QVariant key = qc.FieldByName(QStringLiteral("IHEADID"))->Value();
    ASSERT_FALSE(key.isNull());
    // The empty ILOCKED was left to the table's default.
    EXPECT_EQ(Select(QStringLiteral("SELECT SDESC || '/' || ILOCKED FROM TQC_HEAD WHERE IHEADID = :k"),
                     {{QStringLiteral("k"), key}})
                  .toString(),
              QStringLiteral("Automatica/0"));

    qc.Edit();
    qc.FieldByName(QStringLiteral("FAMOUNT"))->SetAsFloat(7.25);
    qc.FieldByName(QStringLiteral("N"))->SetAsInteger(99);
    ASSERT_TRUE(qc.Post()) << qc.LastError().toStdString();
    EXPECT_EQ(Select(QStringLiteral("SELECT FAMOUNT FROM TQC_HEAD WHERE IHEADID = :k"),
                     {{QStringLiteral("k"), key}})
                  .toDouble(),
              7.25);
    EXPECT_EQ(Select(QStringLiteral("SELECT N FROM TQC_TOT")).toInt(), 0) << "a joined table is not written";

    ASSERT_TRUE(qc.Delete());
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TQC_HEAD WHERE IHEADID = :k"),
                          {{QStringLiteral("k"), key}}),
              0);
    EXPECT_EQ(statements, (QStringList{QStringLiteral("TQC_HEAD 1"), QStringLiteral("TQC_HEAD 0"),
                                       QStringLiteral("TQC_HEAD 2")}));
    // Own statements win over the automatic ones.
    qc.SQLDelete.Add(QStringLiteral("UPDATE TQC_HEAD SET ILOCKED = 1 WHERE IHEADID = :VOCURRID"));
    qc.First();
    ASSERT_TRUE(qc.Delete());
    EXPECT_EQ(Select(QStringLiteral("SELECT ILOCKED FROM TQC_HEAD WHERE IHEADID = 1001")).toInt(), 1);
}

TEST_F(VoQueryCollectionTest, RefreshKeepsTheCurrentRowAndBookmarksFindItAgain) {
    qc.Open();
    ASSERT_TRUE(qc.Locate(QStringLiteral("ihEadid"), 1002));
    const TVoBookmark mark = qc.GetBookmark();
    VoExecSQL(QStringLiteral("INSERT INTO TQC_HEAD (IHEADID, SDESC) VALUES (900, 'Prima di tutte')"));
    int scrolls = 0;
    qc.AfterScroll.Add([&](TVoQueryCollection *) { ++scrolls; });
    qc.Refresh();
    EXPECT_EQ(qc.RecordCount(), 4);
    EXPECT_EQ(qc.FieldByName(QStringLiteral("IHEADID"))->AsInteger(), 1002);
    EXPECT_EQ(qc.RecNo(), 3);
    EXPECT_EQ(scrolls, 0);
    qc.First();
    EXPECT_TRUE(qc.BookmarkValid(mark));
    ASSERT_TRUE(qc.GotoBookmark(mark));
    EXPECT_EQ(qc.FieldByName(QStringLiteral("IHEADID"))->AsInteger(), 1002);

    // Deleted meanwhile: the row now in its place becomes current.
    VoExecSQL(QStringLiteral("DELETE FROM TQC_HEAD WHERE IHEADID = 1002"));
    scrolls = 0;
    qc.Refresh();
    EXPECT_EQ(qc.FieldByName(QStringLiteral("IHEADID"))->AsInteger(), 1003);
    EXPECT_EQ(scrolls, 1);
    EXPECT_FALSE(qc.BookmarkValid(mark));
    EXPECT_FALSE(qc.GotoBookmark(mark));
    EXPECT_FALSE(qc.Locate(QStringLiteral("SDESC;FAMOUNT"), {QStringLiteral("riga 10"), QVariant()},
                           loCaseInsensitive | loPartialKey));
    ASSERT_TRUE(qc.Locate(QStringLiteral("SDESC;FAMOUNT"), {QStringLiteral("riga 10"), 100.1},
                          loCaseInsensitive | loPartialKey));
    EXPECT_EQ(qc.FieldByName(QStringLiteral("IHEADID"))->AsInteger(), 1001);
}

TEST_F(VoQueryCollectionTest, AListEmptyWhenOpenedStandsOnItsFirstRowOnceARefreshBringsRows) {
    qc.SetCommandText(
        QStringLiteral("SELECT IHEADID, SDESC FROM TQC_HEAD WHERE IHEADID > :k ORDER BY IHEADID"));
    qc.SetParam(QStringLiteral("k"), 1001);
    qc.SQLUpdate.Add(QStringLiteral("UPDATE TQC_HEAD SET SDESC = :SDESC WHERE IHEADID = :VOCURRID"));
    VoExecSQL(QStringLiteral("DELETE FROM TQC_HEAD WHERE IHEADID > 1001"));
    qc.Open();
    ASSERT_TRUE(qc.IsEmpty());
    VoExecSQL(QStringLiteral("INSERT INTO TQC_HEAD (IHEADID, SDESC) VALUES (1005, 'Nuova')"));
    qc.Refresh();
    ASSERT_EQ(qc.RecNo(), 1);
    qc.Edit();
    qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("Modificata"));
    EXPECT_TRUE(qc.Post());
    EXPECT_EQ(Select(QStringLiteral("SELECT SDESC FROM TQC_HEAD WHERE IHEADID = 1005")).toString(),
              QStringLiteral("Modificata"));
}

TEST_F(VoQueryCollectionTest, ARefreshAskedForWhileSavingRunsOnceTheRowIsSaved) {
    qc.SetCommandText(QStringLiteral("SELECT IHEADID, SDESC, ILOCKED FROM TQC_HEAD ORDER BY IHEADID"));
    qc.SQLInsert.Add(QStringLiteral("INSERT INTO TQC_HEAD (IHEADID, SDESC) VALUES (:VOGENID, :SDESC)"));
    QString refused;
    qc.VoAfterExec.Add([&](TVoQueryCollection *c, TVoQueryProp &) {
        c->Refresh();
        try {
            c->Next();
        } catch (const EVoError &e) {
            refused = e.Message();
        }
    });
    qc.Open();
    qc.Last();
    qc.Insert();
    qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("Con default"));
    ASSERT_TRUE(qc.Post());
    EXPECT_FALSE(refused.isEmpty());
    EXPECT_EQ(qc.State(), dsBrowse);
    EXPECT_EQ(qc.RecordCount(), 4);
    EXPECT_EQ(Desc(), QStringLiteral("Con default"));
    // The table's default, which only the refreshed row can know.
    EXPECT_EQ(qc.FieldByName(QStringLiteral("ILOCKED"))->AsInteger(-1), 0);
    EXPECT_EQ(qc.RecNo(), 1) << "the new key sorts first and the cursor followed it";
}

// A second copy of the program: its own connection to the same database file.
class VoOtherCopy {
public:
    explicit VoOtherCopy(const QString &path)
        : m_conn(nullptr, QStringLiteral("other-") + QString::number(quintptr(this))) {
        m_conn.SetParam(QStringLiteral("Database"), path);
        QString error;
        if (!m_conn.Open(&error))
            ADD_FAILURE() << error.toStdString();
    }
    void Exec(const QString &sql) { VoExecSQL(sql, {}, &m_conn); }
    QSqlDatabase Database() const { return m_conn.Database(); }

private:
    TVoSQLConnection m_conn;
};

// The row being saved was deleted by another copy: the write fails with a plain message, nothing
// of it stays, and the rows are read again. A statement that writes some other row of the main
// table may touch none.
TEST_F(VoQueryCollectionTest, AWriteOfARowAnotherCopyDeletedFailsAndTheRowsAreReadAgain) {
    qc.SQLUpdate.Add(
        QStringLiteral("INSERT INTO TQC_LOG (ILOGID, IHEADID, SNOTE) VALUES (:VOGENID, :VOCURRID, 'x')"));
    qc.SQLUpdate.Add(
        QStringLiteral("UPDATE TQC_HEAD SET ILOCKED = 1 WHERE IHEADID = (SELECT MAX(IHEADID) + 1 "
                       "FROM TQC_HEAD)"));
    qc.SQLUpdate.Add(QStringLiteral("UPDATE TQC_HEAD h SET h.SDESC = :SDESC WHERE h.IHEADID = :VOCURRID"));
    qc.SQLDelete.Add(QStringLiteral("DELETE FROM TQC_LOG WHERE IHEADID = :VOCURRID"));
    qc.SQLDelete.Add(QStringLiteral("DELETE FROM TQC_HEAD WHERE :iHeadId = IHEADID"));
    VoOtherCopy other(dbPath);
    for (const bool deleting : {false, true}) {
        SCOPED_TRACE(deleting ? "delete" : "update");
        user->reported.clear();
        qc.Close();
        qc.Open();
        ASSERT_TRUE(qc.Locate(QStringLiteral("IHEADID"), deleting ? 1003 : 1002));
        other.Exec(QStringLiteral("DELETE FROM TQC_HEAD WHERE IHEADID = %1").arg(deleting ? 1003 : 1002));
        const QString before = DumpAll();
        if (deleting) {
            EXPECT_FALSE(qc.Delete());
        } else {
            qc.Edit();
            qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("Modificata"));
            EXPECT_FALSE(qc.Post());
        }
        EXPECT_EQ(user->reported, QStringList{QStringLiteral(
                                      "Il record è stato modificato o cancellato da un altro utente.")});
        EXPECT_EQ(DumpAll(), before);
        EXPECT_EQ(qc.State(), dsBrowse);
        EXPECT_FALSE(qc.Locate(QStringLiteral("IHEADID"), deleting ? 1003 : 1002))
            << "the rows were read again";
    }
    EXPECT_EQ(qc.RecordCount(), 1);
    qc.Edit();
    qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("Modificata"));
    EXPECT_TRUE(qc.Post()) << qc.LastError().toStdString();
}

// Two copies save at once: the second waits on the row that owns the rule, then its check, run
// again in a new transaction, sees what the first committed and refuses; nothing of it is written.
TEST_F(VoQueryCollectionTest, ACheckInsideTheWriteSeesWhatAnotherCopyCommittedWhileItWaited) {
    qc.SQLInsert.Add(QStringLiteral("INSERT INTO TQC_HEAD (IHEADID, SDESC) VALUES (:VOGENID, :SDESC)"));
    int checks = 0;
    qc.BeforeWrite.Add([&](TVoQueryCollection *c, int listKind) {
        EXPECT_EQ(listKind, skInsert);
        EXPECT_TRUE(qqoVoGlobConn->InTransaction());
        ++checks;
        VoLockRow(QStringLiteral("TQC_TOT"), QStringLiteral("ITOTID"), 1);
        if (VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TQC_HEAD WHERE SDESC = :d"),
                          {{QStringLiteral("d"), c->FieldByName(QStringLiteral("SDESC"))->Value()}})
                .toInt() > 0)
            throw EVoError(QStringLiteral("Descrizione già presente"));
    });
    qc.Open();
    qc.Insert();
    qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("Contesa"));

    std::atomic<bool> locked{false};
    std::thread first([&] {
        VoOtherCopy copy(dbPath);
        QSqlDatabase db = copy.Database();
        db.transaction();
        QSqlQuery q(db);
        q.exec(QStringLiteral("SELECT ITOTID FROM TQC_TOT WHERE ITOTID = 1 WITH LOCK"));
        q.next();
        q.exec(QStringLiteral("INSERT INTO TQC_HEAD (IHEADID, SDESC) VALUES (5000, 'Contesa')"));
        locked = true;
        QThread::msleep(300);
        db.commit();
    });
    while (!locked)
        QThread::msleep(5);
    EXPECT_FALSE(qc.Post());
    first.join();
    EXPECT_EQ(user->reported, QStringList{QStringLiteral("Descrizione già presente")});
    EXPECT_EQ(checks, 2) << "waited, met the conflict, and checked again";
    EXPECT_EQ(qc.State(), dsInsert);
    EXPECT_EQ(Desc(), QStringLiteral("Contesa"));
    EXPECT_EQ(Select(QStringLiteral("SELECT LIST(IHEADID) FROM TQC_HEAD WHERE SDESC = 'Contesa'")).toString(),
              QStringLiteral("5000"));
    EXPECT_FALSE(qqoVoGlobConn->InTransaction());
}

TEST_F(VoQueryCollectionTest, LargeResultsAreReadInPacketsAndPostsDoNotDisturbTheReading) {
    VoExecRaw(QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 1000) DO BEGIN "
                             "INSERT INTO TQC_HEAD (IHEADID, SDESC) VALUES (:I + 2000, 'Pacchetto ' || :I); "
                             "I = I + 1; END END"));
    qc.SetPacketRecords(25);
    qc.SQLInsert.Add(QStringLiteral("INSERT INTO TQC_HEAD (IHEADID, SDESC) VALUES (:VOGENID, :SDESC)"));
    qc.Open();
    EXPECT_EQ(qc.FetchedCount(), 25);
    EXPECT_TRUE(qc.CanFetchMore());
    for (int i = 0; i < 30; ++i)
        qc.Next();
    EXPECT_EQ(qc.RecNo(), 31);
    EXPECT_EQ(qc.FetchedCount(), 50);

    // A post while rows are pending: the reading goes on with neither a lost nor a repeated row.
    qc.Insert();
    qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("Durante la lettura"));
    ASSERT_TRUE(qc.Post()) << qc.LastError().toStdString();
    EXPECT_TRUE(qc.CanFetchMore());
    ASSERT_TRUE(qc.Locate(QStringLiteral("IHEADID"), 2500));
    EXPECT_LT(qc.FetchedCount(), 1004);
    EXPECT_EQ(qc.RecordCount(), 1004);
    EXPECT_FALSE(qc.CanFetchMore());
    QSet<int> keys;
    for (qc.First(); !qc.Eof(); qc.Next())
        keys.insert(qc.FieldByName(QStringLiteral("IHEADID"))->AsInteger());
    EXPECT_EQ(keys.size(), 1004);
    qc.Last();
    EXPECT_TRUE(qc.Eof());
    EXPECT_EQ(qc.FieldByName(QStringLiteral("IHEADID"))->AsInteger(), 2999);
}

// Packets are short queries of their own: what another copy writes between two of them neither
// repeats nor drops a row. Rows it inserts before the place reached stay out until a refresh, as rows
// it inserts after it come in.
TEST_F(VoQueryCollectionTest, PacketsReadWhileAnotherCopyWritesNeitherRepeatNorDropARow) {
    const struct {
        const char *name;
        const char *change;
    } cases[] = {
        {"nothing", "UPDATE TQC_TOT SET N = N"},
        {"rows inserted before",
         "INSERT INTO TQC_HEAD (IHEADID) SELECT IHEADID - 500 FROM TQC_HEAD WHERE IHEADID "
         "BETWEEN 2000 AND 2011"},
        {"rows deleted before", "DELETE FROM TQC_HEAD WHERE IHEADID BETWEEN 2003 AND 2017"},
        {"the last row read deleted", "DELETE FROM TQC_HEAD WHERE IHEADID IN (2020, 2021)"},
        {"the last row read changed", "UPDATE TQC_HEAD SET SDESC = 'Cambiata' WHERE IHEADID = 2021"},
        {"rows inserted after",
         "INSERT INTO TQC_HEAD (IHEADID) SELECT IHEADID + 5000 FROM TQC_HEAD WHERE IHEADID "
         "BETWEEN 2500 AND 2599"},
    };
    VoOtherCopy other(dbPath);
    qc.SetPacketRecords(25);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        VoExecSQL(QStringLiteral("DELETE FROM TQC_HEAD"));
        VoExecRaw(QStringLiteral(
            "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 1000) DO BEGIN "
            "INSERT INTO TQC_HEAD (IHEADID, SDESC) VALUES (:I + 2000, 'Riga'); I = I + 1; END END"));
        qc.Close();
        qc.Open();
        ASSERT_EQ(qc.FetchedCount(), 25);
        QList<int> keys;
        for (int r = 0; r < 22; ++r, qc.Next())
            keys << qc.FieldByName(QStringLiteral("IHEADID"))->AsInteger();
        const int lastRead = 2024;
        other.Exec(QString::fromLatin1(c.change));
        qc.RecordCount();
        keys.clear();
        for (qc.First(); !qc.Eof(); qc.Next())
            keys << qc.FieldByName(QStringLiteral("IHEADID"))->AsInteger();
        QList<int> expected;
        for (int k = 2000; k <= lastRead; ++k)
            expected << k;
        TVoQuery after(QStringLiteral("SELECT IHEADID FROM TQC_HEAD WHERE IHEADID > :k ORDER BY IHEADID"));
        for (after.SetParam(QStringLiteral("k"), lastRead).Open(); !after.Eof(); after.Next())
            expected << after.AsInteger(QStringLiteral("IHEADID"));
        EXPECT_EQ(keys, expected);
    }
}

TEST_F(VoQueryCollectionTest, EventsDefaultsRefusalsAndConfirmations) {
    qc.SQLInsert.Add(kInsertHead);
    qc.SQLDelete.Add(QStringLiteral("DELETE FROM TQC_HEAD WHERE IHEADID = :VOCURRID"));
    QStringList log;
    qc.StateChange.Add([&](TVoQueryCollection *c) { log << QStringLiteral("state %1").arg(c->State()); });
    qc.DataChange.Add([&](TVoQueryCollection *, TVoField *f) {
        log << QStringLiteral("data %1").arg(f ? f->FieldName() : QStringLiteral("*"));
    });
    qc.AfterInsert.Add([&](TVoQueryCollection *c) {
        log << QStringLiteral("afterinsert");
        c->FieldByName(QStringLiteral("FAMOUNT"))->SetAsFloat(1);
    });
    qc.AfterPost.Add([&](TVoQueryCollection *) { log << QStringLiteral("afterpost"); });
    qc.AfterScroll.Add([&](TVoQueryCollection *) { log << QStringLiteral("scroll"); });
    qc.Open();
    EXPECT_EQ(log,
              (QStringList{QStringLiteral("state 0"), QStringLiteral("data *"), QStringLiteral("scroll")}));
    EXPECT_THROW(qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("fuori modifica")),
                 EVoError);

    log.clear();
    qc.Insert();
    EXPECT_EQ(log,
              (QStringList{QStringLiteral("state 1"), QStringLiteral("data *"), QStringLiteral("afterinsert"),
                           QStringLiteral("data FAMOUNT"), QStringLiteral("scroll")}));
    EXPECT_EQ(qc.FieldByName(QStringLiteral("famount"))->AsFloat(), 1.0);

    // A before-post handler refuses silently or with its message; nothing is written either way.
    int refusal = 0;
    const int handle = qc.BeforePost.Add([&](TVoQueryCollection *) {
        if (refusal == 1)
            throw EVoAbort();
        if (refusal == 2)
            throw EVoError(QStringLiteral("Descrizione obbligatoria"));
    });
    refusal = 1;
    EXPECT_FALSE(qc.Post());
    EXPECT_TRUE(user->reported.isEmpty());
    EXPECT_TRUE(qc.LastError().isEmpty());
    refusal = 2;
    EXPECT_FALSE(qc.Post());
    EXPECT_EQ(user->reported, QStringList{QStringLiteral("Descrizione obbligatoria")});
    EXPECT_EQ(qc.State(), dsInsert);
    qc.BeforePost.Remove(handle);
    log.clear();
    ASSERT_TRUE(qc.Post());
    EXPECT_EQ(
        log, (QStringList{QStringLiteral("state 0"), QStringLiteral("data *"), QStringLiteral("afterpost")}));
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TQC_HEAD")), 4);

    // The delete question: No keeps the row, and so does nobody being there to answer.
    qc.SetConfirmations(cfDelete);
    user->answers = {false};
    EXPECT_FALSE(qc.Delete());
    EXPECT_EQ(user->asked, 1);
    SetVoDataSetUser(nullptr);
    EXPECT_FALSE(qc.Delete());
    SetVoDataSetUser(user);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TQC_HEAD")), 4);

    // A before-exec handler that skips the only delete keeps the row in the list too.
    qc.SetConfirmations(cfNone);
    qc.VoBeforeExec.Add([](TVoQueryCollection *, TVoQueryProp &prop, bool &allow) {
        if (prop.Kind == skDelete)
            allow = false;
    });
    const int rows = qc.RecordCount();
    EXPECT_FALSE(qc.Delete());
    EXPECT_EQ(qc.RecordCount(), rows);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TQC_HEAD")), 4);
}

TEST_F(VoQueryCollectionTest, FieldsReadAndWriteInTheirTypesAndCalculatedFieldsFollow) {
    qc.AddCalcField(QStringLiteral("SCALC"), QMetaType::QString);
    qc.OnCalcFields.Add([](TVoQueryCollection *c) {
        c->FieldByName(QStringLiteral("SCALC"))
            ->SetValue(c->FieldByName(QStringLiteral("SDESC"))->AsString() + QStringLiteral("!"));
    });
    qc.SQLUpdate.Add(QStringLiteral("UPDATE TQC_HEAD SET SDESC = :SDESC, FAMOUNT = :FAMOUNT, DDATA = :DDATA "
                                    "WHERE IHEADID = :VOCURRID"));
    qc.Open();
    EXPECT_EQ(qc.FieldByName(QStringLiteral("scalc"))->AsString(), QStringLiteral("Riga 1001!"));
    EXPECT_TRUE(qc.FieldByName(QStringLiteral("DDATA"))->IsNull());
    EXPECT_EQ(qc.FieldByName(QStringLiteral("DDATA"))->AsDate(), VoNoDate);
    EXPECT_EQ(qc.FieldByName(QStringLiteral("DDATA"))->AsInteger(-1), -1);

    qc.Edit();
    TVoField *amount = qc.FieldByName(QStringLiteral("FAMOUNT"));
    amount->SetAsString(QStringLiteral("1.234,5"));
    EXPECT_EQ(amount->AsFloat(), 1234.5);
    EXPECT_EQ(amount->AsString(), QStringLiteral("1234,5"));
    EXPECT_THROW(amount->SetAsString(QStringLiteral("molto")), EVoError);
    EXPECT_THROW(qc.FieldByName(QStringLiteral("IHEADID"))->SetAsString(QStringLiteral("1,5")), EVoError);
    qc.FieldByName(QStringLiteral("DDATA"))->SetAsString(QStringLiteral("29/02/2024"));
    EXPECT_EQ(qc.FieldByName(QStringLiteral("DDATA"))->AsDate(), DateToDays(QDate(2024, 2, 29)));
    EXPECT_EQ(qc.FieldByName(QStringLiteral("DDATA"))->AsString(), QStringLiteral("29/02/2024"));
    qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("Nuovo testo"));
    EXPECT_EQ(qc.FieldByName(QStringLiteral("SCALC"))->AsString(), QStringLiteral("Nuovo testo!"));
    EXPECT_THROW(qc.FieldByName(QStringLiteral("SCALC"))->SetValue(QStringLiteral("a mano")), EVoError);
    EXPECT_THROW(qc.FieldByName(QStringLiteral("NESSUNO")), EVoError);
    ASSERT_TRUE(qc.Post());
    EXPECT_EQ(Select(QStringLiteral("SELECT DDATA FROM TQC_HEAD WHERE IHEADID = 1001")).toDate(),
              QDate(2024, 2, 29));
    EXPECT_EQ(Select(QStringLiteral("SELECT FAMOUNT FROM TQC_HEAD WHERE IHEADID = 1001")).toDouble(), 1234.5);

    qc.Edit();
    qc.FieldByName(QStringLiteral("DDATA"))->SetAsDate(VoNoDate);
    EXPECT_TRUE(qc.FieldByName(QStringLiteral("DDATA"))->IsNull());
    qc.Cancel();
    EXPECT_EQ(qc.FieldByName(QStringLiteral("DDATA"))->AsDate(), DateToDays(QDate(2024, 2, 29)));
}

TEST_F(VoQueryCollectionTest, AReopeningKeepsItsFieldsUntilTheTextOrTheCalculatedFieldsChange) {
    qc.SetCommandText(QStringLiteral("SELECT IHEADID, SDESC FROM TQC_HEAD WHERE IHEADID >= :id ORDER BY 1"));
    qc.SetParam(QStringLiteral("id"), 1002);
    qc.Open();
    TVoField *desc = qc.FieldByName(QStringLiteral("SDESC"));
    desc->SetDisplayLabel(QStringLiteral("Descrizione"));
    qc.Close();
    qc.SetParam(QStringLiteral("id"), 1003);
    qc.Open();
    EXPECT_EQ(qc.FieldByName(QStringLiteral("SDESC")), desc);
    EXPECT_EQ(desc->DisplayLabel(), QStringLiteral("Descrizione"));
    EXPECT_EQ(desc->AsString(), QStringLiteral("Riga 1003"));
    EXPECT_EQ(qc.RecordCount(), 1);

    // A calculated field added to the same text, then another column list.
    qc.Close();
    qc.AddCalcField(QStringLiteral("SCALC"), QMetaType::QString);
    qc.OnCalcFields.Add([](TVoQueryCollection *c) {
        c->FieldByName(QStringLiteral("SCALC"))
            ->SetValue(c->FieldByName(QStringLiteral("SDESC"))->AsString());
    });
    qc.Open();
    EXPECT_EQ(qc.FieldNames(), QStringList({"IHEADID", "SDESC", "SCALC"}));
    EXPECT_EQ(qc.FieldByName(QStringLiteral("SCALC"))->AsString(), QStringLiteral("Riga 1003"));
    qc.Close();
    qc.SetCommandText(QStringLiteral("SELECT SDESC, FAMOUNT FROM TQC_HEAD WHERE IHEADID >= :id ORDER BY 1"));
    qc.Open();
    EXPECT_EQ(qc.FieldNames(), QStringList({"SDESC", "FAMOUNT", "SCALC"}));
    EXPECT_EQ(qc.FieldByName(QStringLiteral("FAMOUNT"))->AsFloat(), 100.3);
    EXPECT_EQ(qc.FieldByName(QStringLiteral("SDESC")), desc);
}

TEST_F(VoQueryCollectionTest, AStatementRunInALoopOfAJobIsPreparedOnce) {
    const QString insert = QStringLiteral("INSERT INTO TQC_TOT (ITOTID, N) VALUES (:id + 100, :n)");
    const QString read = QStringLiteral("SELECT N FROM TQC_TOT WHERE ITOTID = :id + 100");
    const QString sum = QStringLiteral("SELECT SUM(N) FROM TQC_TOT WHERE ITOTID > 100");
    const int before = conn->PreparedCount();
    {
        TVoTransaction job;
        job.StartTransaction();
        // Short-lived queries, as the routines make them, one per call.
        for (int i = 1; i <= 5; ++i)
            VoExecSQL(insert, {{QStringLiteral("id"), i}, {QStringLiteral("n"), i * 10}});
        // One query run again and again, with another of the same text open meanwhile: each reads its
        // own rows.
        TVoQuery outer(read);
        for (int i = 1; i <= 5; ++i) {
            outer.SetParam(QStringLiteral("id"), i).Open();
            EXPECT_EQ(VoSelectValue(read, {{QStringLiteral("id"), 6 - i}}).toInt(), (6 - i) * 10);
            EXPECT_EQ(outer.AsInteger(QStringLiteral("N")), i * 10);
        }
        EXPECT_EQ(conn->PreparedCount() - before, 3); // the insert, and the read twice at once
        job.Commit();
    }
    EXPECT_EQ(VoSelectValue(sum).toInt(), 150);

    // A job that ends without its commit writes nothing, its statements prepared once or not.
    {
        TVoTransaction job;
        job.StartTransaction();
        for (int i = 6; i <= 8; ++i)
            VoExecSQL(insert, {{QStringLiteral("id"), i}, {QStringLiteral("n"), 1}});
    }
    EXPECT_EQ(VoSelectValue(sum).toInt(), 150);

    // Outside a job a read is one of the connection's short reads, prepared once; a write runs in a
    // transaction of its own and is prepared with it.
    const int outside = conn->PreparedCount();
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(VoSelectValue(read, {{QStringLiteral("id"), i}}).toInt(), i * 10);
    EXPECT_EQ(conn->PreparedCount() - outside, 1);
    for (int i = 9; i <= 10; ++i)
        VoExecSQL(insert, {{QStringLiteral("id"), i}, {QStringLiteral("n"), 0}});
    EXPECT_EQ(conn->PreparedCount() - outside, 3);
    EXPECT_FALSE(conn->InTransaction());
}

// A session reads many more texts than the connection keeps prepared (every screen of a list is a
// text of its own): the read a window makes at each click stays prepared all the same.
TEST_F(VoQueryCollectionTest, AReadMadeAtEveryClickStaysPreparedAmongManyOthers) {
    for (int i = 0; i < 200; ++i)
        VoSelectValue(QStringLiteral("SELECT %1 FROM RDB$DATABASE").arg(i));
    const QString click = QStringLiteral("SELECT N FROM TQC_TOT WHERE ITOTID = :id");
    VoSelectValue(click, {{QStringLiteral("id"), 1}});
    const int before = conn->PreparedCount();
    for (int i = 0; i < 3; ++i)
        VoSelectValue(click, {{QStringLiteral("id"), i}});
    EXPECT_EQ(conn->PreparedCount() - before, 0);
}

// Reads outside a write share one read-only read-committed transaction that the connection keeps: it
// sees what another copy committed a moment before, holds no cursor open between reads, and leaves a
// read that writes (a procedure drawing a key) and every write to transactions of their own.
TEST_F(VoQueryCollectionTest, ReadsOutsideAWriteShareOneReadOnlyTransactionThatSeesEveryCommit) {
    const QString own = QStringLiteral(
        "SELECT MON$ISOLATION_MODE || '/' || MON$READ_ONLY || '/' || (SELECT COUNT(*) FROM MON$STATEMENTS s "
        "WHERE s.MON$TRANSACTION_ID = CURRENT_TRANSACTION AND s.MON$STATE <> 0) FROM MON$TRANSACTIONS "
        "WHERE MON$TRANSACTION_ID = CURRENT_TRANSACTION");
    const QString transaction = QStringLiteral("SELECT CURRENT_TRANSACTION FROM RDB$DATABASE");
    const QString total = QStringLiteral("SELECT N FROM TQC_TOT WHERE ITOTID = 1");
    const QVariant first = Select(transaction);
    EXPECT_EQ(Select(total).toInt(), 0);
    // Read committed with record versions (2), read only (1), and no statement but this one active.
    EXPECT_EQ(Select(own).toString(), QStringLiteral("2/1/1"));

    VoOtherCopy other(dbPath);
    other.Exec(QStringLiteral("UPDATE TQC_TOT SET N = 7 WHERE ITOTID = 1"));
    EXPECT_EQ(Select(total).toInt(), 7);
    VoExecSQL(QStringLiteral("UPDATE TQC_TOT SET N = N + 1 WHERE ITOTID = 1"));
    EXPECT_EQ(Select(total).toInt(), 8);
    const int key = VoNewId(QStringLiteral("TFBUO_BUONI"));
    EXPECT_EQ(VoNewId(QStringLiteral("TFBUO_BUONI")), key + 1);
    EXPECT_EQ(Select(transaction), first);
    EXPECT_FALSE(conn->InTransaction());
}

TEST(VoStatementText, TablesAndKindsAreReadFromTheText) {
    int kind = -5;
    EXPECT_EQ(VoStatementTable(QStringLiteral(" INSERT INTO TFBuo_Buoni (a) VALUES (:a)"), &kind),
              QStringLiteral("TFBUO_BUONI"));
    EXPECT_EQ(kind, skInsert);
    EXPECT_EQ(
        VoStatementTable(QStringLiteral("UPDATE TFBUO_BUONI SET lfbuoscaricato = 0 WHERE ifbuoid = "
                                        "(SELECT iFBuoId_p FROM TFBuo_Buoni WHERE iFBuoId = :VOCURRID)"),
                         &kind),
        QStringLiteral("TFBUO_BUONI"));
    EXPECT_EQ(kind, skUpdate);
    EXPECT_EQ(
        VoStatementTable(QStringLiteral("-- note\nDELETE FROM TFBUOIDC WHERE IFBUOIDCID=:VOCURRID;"), &kind),
        QStringLiteral("TFBUOIDC"));
    EXPECT_EQ(kind, skDelete);
    EXPECT_EQ(VoStatementTable(QStringLiteral("EXECUTE PROCEDURE PKVB_UPDBENE :VOCURRID"), &kind),
              QStringLiteral("PKVB_UPDBENE"));
    EXPECT_EQ(kind, skOther);
    EXPECT_EQ(VoMainTable(QStringLiteral("SELECT a, (SELECT b FROM TBEN_BENEFICIARI x WHERE x.i = f.i) AS c, "
                                         "SUBSTRING(s FROM 1 FOR 2) FROM TFBuo_Buoni f JOIN T2 ON 1=1")),
              QStringLiteral("TFBUO_BUONI"));
    EXPECT_EQ(VoMainTable(QStringLiteral("SELECT * FROM (SELECT 1 AS X FROM RDB$DATABASE)")), QString());
}

// A list read through its keys gives the rows of its select in the select's order, ties broken by
// the key, NULLs where the engine sorts them; so do a narrowing and a re-sorting, and packets read
// while another copy writes neither repeat nor drop a row.
TEST_F(VoQueryCollectionTest, AListReadByKeysGivesTheRowsAndOrderOfItsSelect) {
    VoExecRaw(QStringLiteral(
        "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 300) DO BEGIN "
        "INSERT INTO TQC_HEAD (IHEADID, SDESC, DDATA) VALUES (:I + 2000, IIF(MOD(:I, 7) = 0, NULL, "
        "'Voce ' || MOD(:I, 11)), IIF(MOD(:I, 5) = 0, NULL, DATEADD(DAY, MOD(:I, 4), DATE '2026-01-01'))); "
        "IF (MOD(:I, 3) = 0) THEN INSERT INTO TQC_LOG (ILOGID, IHEADID, SNOTE) VALUES (:I, :I + 2000, "
        "'Nota ' || :I); I = I + 1; END END"));
    const QString list = QStringLiteral(
        "SELECT h.IHEADID, h.SDESC, h.DDATA, l.SNOTE FROM TQC_HEAD h LEFT JOIN TQC_LOG l ON l.IHEADID = "
        "h.IHEADID WHERE h.IHEADID > :minId ORDER BY h.SDESC, h.DDATA DESC");
    const TVoKeySlice keys{
        QStringLiteral("h.IHEADID"),
        QStringLiteral("SELECT h.IHEADID, h.SDESC, h.DDATA FROM TQC_HEAD h WHERE h.IHEADID > "
                       ":minId")};
    // Every row of a select as text lines; the columns sorted on alone, or whole rows.
    const auto plain = [](const QString &sql, int columns) {
        TVoQuery q(sql);
        q.SetParam(QStringLiteral("minId"), 2010);
        if (sql.contains(QLatin1String(kVoNarrowParam)))
            q.SetParam(QLatin1String(kVoNarrowParam), QStringLiteral("ce 1"));
        QStringList rows;
        for (q.Open(); !q.Eof(); q.Next()) {
            QStringList cells;
            for (int i = 0; i < columns; ++i)
                cells << VoVariantToText(q.Value(i));
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    };
    const auto read = [this](int columns) {
        QStringList rows;
        for (qc.First(); !qc.Eof(); qc.Next()) {
            QStringList cells;
            for (int i = 0; i < columns; ++i)
                cells << VoVariantToText(qc.Fields(i)->Value());
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    };
    qc.SetCommandText(list);
    qc.SetParam(QStringLiteral("minId"), 2010);
    qc.SetKeySlice(keys);
    qc.SetPacketRecords(7);
    qc.Open();
    EXPECT_EQ(qc.FetchedCount(), 100) << "a hundred rows at least, the keys sorted once";
    const QStringList all = plain(list + QStringLiteral(", h.IHEADID"), 4);
    EXPECT_EQ(read(4), all);
    EXPECT_EQ(all.size(), 289);
    qc.First();
    EXPECT_EQ(read(4).size(), 289);

    // The order's values alone do not depend on how ties fall.
    QStringList sorted;
    for (const QString &row : plain(list, 3))
        sorted << row.section(QLatin1Char('|'), 1, 2);
    QStringList readSorted;
    for (const QString &row : all)
        readSorted << row.section(QLatin1Char('|'), 1, 2);
    EXPECT_EQ(readSorted, sorted);

    ASSERT_TRUE(qc.SetNarrowing(QStringLiteral("SDESC"), QStringLiteral("ce 1")));
    EXPECT_FALSE(qc.CanFetchMore());
    EXPECT_EQ(read(4),
              plain(QStringLiteral("SELECT * FROM (%1) WHERE SDESC CONTAINING :%2 ORDER BY 2, 3 DESC, 1")
                        .arg(list.section(QStringLiteral(" ORDER BY"), 0, 0), QLatin1String(kVoNarrowParam)),
                    4));
    EXPECT_FALSE(qc.SetNarrowing(QStringLiteral("SNOTE"), QStringLiteral("x"))) << "no key column for it";
    ASSERT_TRUE(qc.SetNarrowing(QStringLiteral("SDESC"), QString()));
    EXPECT_EQ(read(4), all);

    // Sorted by a column's position, as a grid's title does; an order ending with the key sorts the
    // keys on it once, so that the engine may walk its index.
    const struct {
        const char *order;
        const char *keyOrder;
    } resorted[] = {{"3 DESC, 1", " ORDER BY h.DDATA DESC, h.IHEADID ROWS "},
                    {"h.IHEADID DESC", " ORDER BY h.IHEADID DESC ROWS "}};
    for (const auto &r : resorted) {
        const QString sorted = VoReplaceOrderBy(list, QString::fromLatin1(r.order));
        qc.Close();
        qc.SetCommandText(sorted);
        qc.Open();
        EXPECT_EQ(read(4), plain(sorted, 4)) << r.order;
        EXPECT_TRUE(VoKeySlice(sorted, keys, VoOrderByNames(sorted, qc.FieldNames()), QString(), 1, 100)
                        .contains(QLatin1String(r.keyOrder)))
            << r.order;
    }

    // Another copy writes between two packets.
    qc.Close();
    qc.SetCommandText(list);
    qc.Open();
    for (int r = 0; r < 10; ++r)
        qc.Next();
    VoOtherCopy other(dbPath);
    other.Exec(
        QStringLiteral("DELETE FROM TQC_HEAD WHERE IHEADID IN (SELECT FIRST 3 IHEADID FROM TQC_HEAD WHERE "
                       "IHEADID > 2010 ORDER BY SDESC, DDATA DESC, IHEADID)"));
    other.Exec(QStringLiteral("INSERT INTO TQC_HEAD (IHEADID, SDESC) VALUES (9000, 'Zeta')"));
    QStringList keysRead = read(1);
    EXPECT_EQ(keysRead.size(), QSet<QString>(keysRead.begin(), keysRead.end()).size()) << "no row twice";
    EXPECT_TRUE(keysRead.contains(QStringLiteral("9000")));
    EXPECT_EQ(keysRead.mid(10), plain(list + QStringLiteral(", h.IHEADID"), 1).mid(7))
        << "rows after the place";
}

// A table that grew from empty has its indexes measured again, once: a second look finds it measured.
TEST_F(VoQueryCollectionTest, IndexStatisticsAreMeasuredAgainOnlyOnceATableGrew) {
    VoExecSQL(QStringLiteral("CREATE INDEX IX_QC_HEAD_DESC ON TQC_HEAD (SDESC)"));
    const auto selectivity = [] {
        return VoSelectValue(QStringLiteral("SELECT RDB$STATISTICS FROM RDB$INDICES WHERE RDB$INDEX_NAME = "
                                            "'IX_QC_HEAD_DESC'"))
            .toDouble();
    };
    EXPECT_FALSE(VoRefreshStaleStatistics().contains(QStringLiteral("TQC_HEAD"))) << "measured when made";
    EXPECT_NEAR(selectivity(), 1.0 / 3, 1e-6);
    VoExecRaw(
        QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 400) DO BEGIN "
                       "INSERT INTO TQC_HEAD (IHEADID, SDESC) VALUES (:I + 2000, 'Voce ' || MOD(:I, 40)); "
                       "I = I + 1; END END"));
    qqoVoGlobConn->StartTransaction();
    EXPECT_TRUE(VoRefreshStaleStatistics().isEmpty()) << "never inside a caller's transaction";
    qqoVoGlobConn->Rollback();
    EXPECT_TRUE(VoRefreshStaleStatistics().contains(QStringLiteral("TQC_HEAD")));
    EXPECT_NEAR(selectivity(), 1.0 / 43, 1e-6);
    EXPECT_FALSE(VoRefreshStaleStatistics().contains(QStringLiteral("TQC_HEAD")));
}

// A refusal of the engine reaches the user as a sentence of its kind; the engine's words are the
// detail only. The procedures' own refusals are written for the user already and stay as they are.
TEST_F(VoQueryCollectionTest, EngineRefusalsAreToldByKindWithTheEnginesWordsAsDetail) {
    VoExecSQL(QStringLiteral("CREATE TABLE TQC_PARENT (IPARENTID INTEGER NOT NULL PRIMARY KEY)"));
    VoExecSQL(
        QStringLiteral("CREATE TABLE TQC_CHILD (ICHILDID INTEGER NOT NULL PRIMARY KEY, IPARENTID "
                       "INTEGER REFERENCES TQC_PARENT (IPARENTID), NCOUNT SMALLINT CHECK (NCOUNT >= 0), "
                       "SCODE VARCHAR(3))"));
    VoExecSQL(QStringLiteral("INSERT INTO TQC_PARENT (IPARENTID) VALUES (1)"));
    VoExecSQL(QStringLiteral("INSERT INTO TQC_CHILD (ICHILDID, IPARENTID) VALUES (1, 1)"));
    const struct {
        const char *sql;
        const char *text;
    } cases[] = {
        {"INSERT INTO TQC_CHILD (ICHILDID, NCOUNT) VALUES (2, 100000)",
         "Un numero è troppo grande per il database."},
        {"INSERT INTO TQC_CHILD (ICHILDID, SCODE) VALUES (2, 'ABCDEF')",
         "Un testo è più lungo di quanto il database possa registrare."},
        {"INSERT INTO TQC_HEAD (IHEADID) VALUES (1001)",
         "Esiste già un dato con la stessa chiave: il database non ne registra un secondo."},
        {"INSERT INTO TQC_CHILD (ICHILDID, IPARENTID) VALUES (2, 99)",
         "Il dato rimanda a un dato che non esiste più: forse un altro utente lo ha cancellato."},
        {"DELETE FROM TQC_PARENT WHERE IPARENTID = 1",
         "Il dato è usato da altri dati: non si può cancellare né cambiarne la chiave."},
        {"INSERT INTO TQC_LOG (ILOGID) VALUES (NULL)", "Manca un valore che il database richiede."},
        {"INSERT INTO TQC_CHILD (ICHILDID, NCOUNT) VALUES (2, -1)",
         "Un valore non è tra quelli che il database ammette."},
        {"EXECUTE BLOCK AS BEGIN EXCEPTION EPY_NOTABLE; END", "PYSETGETID: nome della tabella mancante"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sql);
        messages->Clear();
        QString engine;
        try {
            VoExecSQL(QString::fromLatin1(c.sql));
            ADD_FAILURE() << "the statement was not refused";
        } catch (const EVoDatabaseError &e) {
            engine = e.Message();
            VoShowException(e);
        }
        ASSERT_EQ(messages->Shown().size(), 1);
        EXPECT_EQ(messages->Shown()[0].text, QString::fromUtf8(c.text));
        if (messages->Shown()[0].text != engine) {
            EXPECT_EQ(messages->Shown()[0].detail, engine);
        }
    }
    // A server that went away while the statement ran, as the engine words it: a read has no typing to
    // keep, a write has.
    const struct {
        const char *sql, *text;
    } lost[] = {
        {"SELECT 1 FROM RDB$DATABASE", "Il server del database non risponde: non è stato letto né registrato "
                                       "nulla.\nRiprovare quando il server è di nuovo raggiungibile."},
        {"UPDATE TQC_CHILD SET NCOUNT = 1", "Il server del database non risponde: non è stato registrato "
                                            "nulla.\nQuanto scritto è ancora nella finestra: riprovare quando "
                                            "il server è di nuovo raggiungibile."},
    };
    for (const auto &c : lost) {
        messages->Clear();
        VoShowException(EVoDatabaseError(QStringLiteral("Error reading data from the connection."),
                                         QString::fromLatin1(c.sql), -902));
        EXPECT_EQ(messages->LastText(), QString::fromUtf8(c.text));
    }
}

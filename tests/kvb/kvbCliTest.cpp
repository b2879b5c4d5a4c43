// Commission and minute types, commissions and testing minutes with their members, driven through
// their windows on the demo database: a testing commission "COLL26" with Verdi (Presidente), Bianchi
// (Segretario verbalizzante) and Neri (Componente), and the minute "1/2026" of it listing them, to
// which a good is linked.
#include "CliFCommissioni.h"
#include "CliFCompCommMulti.h"
#include "CliFTipi.h"
#include "CliFVerbali.h"
#include "VoClassRegistry.h"
#include "VoDBFrames.h"
#include "VoDBLookupEdit.h"
#include "VoMultiSelect.h"
#include "VoQuery.h"
#include "VoTestDb.h"
#include "VoWidgetTest.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class kvbCliTest : public VoDbTest {
protected:
    template <class T> T *Open(const char *className) {
        auto *fm = qobject_cast<T *>(CreateVoClass(QString::fromLatin1(className)));
        EXPECT_TRUE(fm);
        VoShowActive(fm);
        return fm;
    }
    static void Close(QWidget *fm) {
        fm->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static int Id(const QString &sql) { return VoSelectValue(sql).toInt(); }
    static int DemoCommission() {
        return Id(QStringLiteral("SELECT ICMSID FROM TCMS_COMMISSIONI WHERE SCMSCODICE = 'COLL26'"));
    }
    static int DemoMinute() {
        return Id(QStringLiteral("SELECT IVERID FROM TVER_VERBALI WHERE SVERNUMERO = '1/2026'"));
    }
    static int Count(const char *sql) { return VoCountRows(QString::fromLatin1(sql)); }
    // The members of a commission or minute as stored: surname and role, by surname.
    static QStringList Members(const char *table, const char *key, int master) {
        return VoRowTexts(
            QStringLiteral("SELECT cpc.SCPCCOGNOME, rco.SRCOLDESC FROM %1 m INNER JOIN TCPC_COMPCOMM cpc "
                           "ON (cpc.ICPCID = m.ICPCID) LEFT JOIN TRCO_RUOLOCOMP rco ON (rco.IRCOID = "
                           "m.IRCOID) WHERE m.%2 = :id ORDER BY cpc.SCPCCOGNOME")
                .arg(QLatin1String(table), QLatin1String(key)),
            {{QStringLiteral("id"), master}});
    }
    // A new commission of the testing type, saved through the window.
    static bool AddCommission(TfmCliCommissioni *fm, const QString &code) {
        fm->frMaster->xacInsert->Execute();
        TVoQueryCollection *c = fm->xqcMain;
        c->FieldByName(QStringLiteral("sCmsCodice"))->SetAsString(code);
        c->FieldByName(QStringLiteral("sCmsDesc"))->SetAsString(QStringLiteral("Commissione ") + code);
        c->FieldByName(QStringLiteral("iTpcmId"))->SetAsInteger(1);
        return fm->frMaster->xdsMain->Post();
    }
    // A member typed into the members frame, not yet saved.
    static void TypeMember(TfmCliMembri *fm, const QString &nome, const QString &cognome) {
        fm->frDetail->xacInsert->Execute();
        fm->xqcDetail->FieldByName(QStringLiteral("sCpcNome"))->SetAsString(nome);
        fm->xqcDetail->FieldByName(QStringLiteral("sCpcCognome"))->SetAsString(cognome);
        fm->xqcDetail->FieldByName(QStringLiteral("iQuapId"))->SetAsInteger(3);
    }
    static QString Question(const QString &cognome, const QString &nome) {
        return QStringLiteral(
                   "Nell'archivio esiste già un commissario con questi dati:\r\n cognome: %1\r\n nome: "
                   "%2\r\nSi tratta dello stesso soggetto?")
            .arg(cognome, nome);
    }
};

const char *const kAllRowsSQL =
    "SELECT ICPCID FROM TCPC_COMPCOMM UNION ALL SELECT ICPCCMSID FROM TCPCCMS UNION ALL SELECT ICPCVERID "
    "FROM "
    "TCPCVER UNION ALL SELECT ICMSID FROM TCMS_COMMISSIONI UNION ALL SELECT IVERID FROM TVER_VERBALI UNION "
    "ALL "
    "SELECT ITPCMID FROM TTPCM_TIPOCOMM UNION ALL SELECT ITVRID FROM TTVR_TIPOVER";

} // namespace

// --- Types ------------------------------------------------------------------------------------------------

TEST_F(kvbCliTest, ATypeNeedsADescriptionAndAGeneralTypeAndIsNeverOneItself) {
    const struct {
        const char *window;
        const char *keyField;
        const char *descField;
        const char *descWord;
    } cases[] = {{"TfmCliTipiCommissione", "ITPCMID", "STPCMDESC", "Descrizione tipo commissione"},
                 {"TfmCliTipoVer", "ITVRID", "STVRDESC", "Descrizione tipo verbale"}};
    for (const auto &k : cases) {
        SCOPED_TRACE(k.window);
        messages->Clear();
        auto *fm = Open<TfmCliTipo>(k.window);
        TfrCliTipo *fr = fm->frMaster;
        TVoQueryCollection *c = fm->xqcMain;
        ASSERT_TRUE(fr->xacInsert->Execute());
        EXPECT_FALSE(fr->xdsMain->Post());
        c->FieldByName(QString::fromLatin1(k.descField))->SetAsString(QStringLiteral("Collaudo arredi"));
        EXPECT_FALSE(fr->xdsMain->Post());
        EXPECT_EQ(
            messages->Texts(),
            (QStringList{
                QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"%1\". ").arg(QLatin1String(k.descWord)),
                QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"Tipo generale\". ")}));
        ASSERT_TRUE(fr->xelGen->SeekByID(1));
        ASSERT_TRUE(fr->xdsMain->Post()) << messages->LastText().toStdString();
        const int added = c->FieldByName(QString::fromLatin1(k.keyField))->AsInteger();
        EXPECT_GE(added, 1000000);
        // The general type's name shown in the lookup is not written over the type's own.
        EXPECT_EQ(c->FieldByName(QString::fromLatin1(k.descField))->AsString(),
                  QStringLiteral("Collaudo arredi"));
        EXPECT_FALSE(fr->xelGen->SeekByID(added));

        // The general type that came with the database can only be read.
        ASSERT_TRUE(c->Locate(QString::fromLatin1(k.keyField), 1));
        EXPECT_FALSE(fr->xacEdit->Execute());
        EXPECT_FALSE(fr->xacDelete->Execute());
        EXPECT_FALSE(fr->xdsMain->Edit());
        EXPECT_FALSE(fr->tsDetail->isEnabled());
        EXPECT_EQ(c->State(), dsBrowse);
        Close(fm);
    }
}

// --- Members ----------------------------------------------------------------------------------------------

TEST_F(kvbCliTest, ANewMemberNamedAsAStoredPersonIsHimOnYesAndANamesakeOnNo) {
    const int verdi = Id(QStringLiteral("SELECT ICPCID FROM TCPC_COMPCOMM WHERE SCPCCOGNOME = 'Verdi'"));
    const struct {
        int answer;
        int persons;
    } cases[] = {{mrYes, 1}, {mrNo, 2}};
    for (const auto &k : cases) {
        SCOPED_TRACE(k.answer);
        auto *fm = Open<TfmCliCommissioni>("TfmCliCommissioni");
        ASSERT_TRUE(AddCommission(fm, QStringLiteral("C%1").arg(k.answer)));
        messages->Clear();
        TypeMember(fm, QStringLiteral("Giovanni"), QStringLiteral("Verdi"));
        messages->Push(k.answer);
        ASSERT_TRUE(fm->frDetail->xdsMain->Post()) << messages->LastText().toStdString();
        EXPECT_EQ(messages->Texts(),
                  QStringList{Question(QStringLiteral("Verdi"), QStringLiteral("Giovanni"))});
        EXPECT_EQ(Count("SELECT ICPCID FROM TCPC_COMPCOMM WHERE SCPCCOGNOME = 'Verdi'"), k.persons);
        const int linked = VoSelectValue(QStringLiteral("SELECT ICPCID FROM TCPCCMS WHERE ICMSID = :c"),
                                         {{QStringLiteral("c"),
                                           fm->xqcMain->FieldByName(QStringLiteral("ICMSID"))->Value()}})
                               .toInt();
        EXPECT_EQ(linked == verdi, k.answer == mrYes);
        EXPECT_EQ(fm->xqcDetail->FieldByName(QStringLiteral("ICPCID"))->AsInteger(), linked);
        Close(fm);
    }
}

TEST_F(kvbCliTest, APersonAlreadyPresentIsRefusedAndTheRowStaysTyped) {
    const struct {
        const char *window;
        const char *message;
    } cases[] = {{"TfmCliCommissioni", "Commissario già inserito in questa commissione"},
                 {"TfmCliVerbali", "Commissario già inserito in questo verbale"}};
    const int rows = Count(kAllRowsSQL);
    for (const auto &k : cases) {
        SCOPED_TRACE(k.window);
        messages->Clear();
        auto *fm = Open<TfmCliMembri>(k.window);
        TypeMember(fm, QStringLiteral("Giovanni"), QStringLiteral("Verdi"));
        messages->Push(mrYes);
        EXPECT_FALSE(fm->frDetail->xdsMain->Post());
        EXPECT_EQ(messages->Texts(),
                  (QStringList{Question(QStringLiteral("Verdi"), QStringLiteral("Giovanni")),
                               QString::fromUtf8(k.message)}));
        EXPECT_EQ(fm->xqcDetail->State(), dsInsert);
        EXPECT_EQ(fm->xqcDetail->FieldByName(QStringLiteral("sCpcCognome"))->AsString(),
                  QStringLiteral("Verdi"));
        EXPECT_EQ(Count(kAllRowsSQL), rows);
        fm->frDetail->xacCancel->Execute();
        Close(fm);
    }
}

TEST_F(kvbCliTest, ARenameShowsEverywhereAndAPersonLinkedNowhereIsDeleted) {
    auto *fm = Open<TfmCliCommissioni>("TfmCliCommissioni");
    TVoQueryCollection *members = fm->xqcDetail;
    ASSERT_TRUE(members->Locate(QStringLiteral("sCpcCognome"), QStringLiteral("Neri")));
    ASSERT_TRUE(fm->frDetail->xacEdit->Execute());
    members->FieldByName(QStringLiteral("sCpcCognome"))->SetAsString(QStringLiteral("Nerini"));
    ASSERT_TRUE(fm->frDetail->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(Members("TCPCVER", "IVERID", DemoMinute()),
              (QStringList{QStringLiteral("Bianchi"), QStringLiteral("Segretario verbalizzante"),
                           QStringLiteral("Nerini"), QStringLiteral("Componente"), QStringLiteral("Verdi"),
                           QStringLiteral("Presidente")}));

    // Verdi still sits on the minute: leaving the commission keeps him.
    ASSERT_TRUE(members->Locate(QStringLiteral("sCpcCognome"), QStringLiteral("Verdi")));
    messages->Push(mrYes);
    ASSERT_TRUE(fm->frDetail->xacDelete->Execute());
    EXPECT_EQ(Count("SELECT ICPCID FROM TCPC_COMPCOMM WHERE SCPCCOGNOME = 'Verdi'"), 1);
    EXPECT_EQ(Count("SELECT ICPCCMSID FROM TCPCCMS"), 2);

    ASSERT_TRUE(AddCommission(fm, QStringLiteral("C2")));
    TypeMember(fm, QStringLiteral("Anna"), QStringLiteral("Rossi"));
    ASSERT_TRUE(fm->frDetail->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(Count("SELECT ICPCID FROM TCPC_COMPCOMM WHERE SCPCCOGNOME = 'Rossi'"), 1);
    messages->Push(mrYes);
    ASSERT_TRUE(fm->frDetail->xacDelete->Execute());
    EXPECT_EQ(Count("SELECT ICPCID FROM TCPC_COMPCOMM WHERE SCPCCOGNOME = 'Rossi'"), 0);
    Close(fm);
}

// --- Minutes ----------------------------------------------------------------------------------------------

TEST_F(kvbCliTest, AMinuteListsItsCommissionsMembersUntilItsCommissionChanges) {
    // A second commission, whose only member has no role.
    VoExecRaw(
        QStringLiteral("INSERT INTO TCMS_COMMISSIONI (ICMSID, ITPCMID, SCMSCODICE, SCMSDESC) VALUES (900, 1, "
                       "'C9', 'Commissione C9')"));
    VoExecRaw(
        QStringLiteral("INSERT INTO TCPC_COMPCOMM (ICPCID, SCPCNOME, SCPCCOGNOME, IQUAPID) VALUES (900, "
                       "'Anna', 'Rossi', 3)"));
    VoExecRaw(QStringLiteral("INSERT INTO TCPCCMS (ICPCCMSID, ICPCID, ICMSID) VALUES (900, 900, 900)"));
    auto *fm = Open<TfmCliVerbali>("TfmCliVerbali");
    TVoQueryCollection *minutes = fm->xqcMain;
    ASSERT_TRUE(fm->frMaster->xacInsert->Execute());
    minutes->FieldByName(QStringLiteral("sVerNumero"))->SetAsString(QStringLiteral("2/2026"));
    minutes->FieldByName(QStringLiteral("iCmsId"))->SetAsInteger(DemoCommission());
    ASSERT_TRUE(fm->frMaster->xdsMain->Post()) << messages->LastText().toStdString();
    const int minute = minutes->FieldByName(QStringLiteral("IVERID"))->AsInteger();
    const QStringList demoMembers{QStringLiteral("Bianchi"), QStringLiteral("Segretario verbalizzante"),
                                  QStringLiteral("Neri"),    QStringLiteral("Componente"),
                                  QStringLiteral("Verdi"),   QStringLiteral("Presidente")};
    EXPECT_EQ(Members("TCPCVER", "IVERID", minute), demoMembers);
    EXPECT_EQ(fm->xqcDetail->RecordCount(), 3);

    // Saved again with the same commission, it keeps the members it lists.
    messages->Push(mrYes);
    ASSERT_TRUE(fm->frDetail->xacDelete->Execute());
    ASSERT_TRUE(fm->frMaster->xacEdit->Execute());
    minutes->FieldByName(QStringLiteral("sVerDesc"))->SetAsString(QStringLiteral("Collaudo arredi"));
    ASSERT_TRUE(fm->frMaster->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(Members("TCPCVER", "IVERID", minute).size(), 4);

    ASSERT_TRUE(fm->frMaster->xacEdit->Execute());
    minutes->FieldByName(QStringLiteral("iCmsId"))->SetAsInteger(900);
    ASSERT_TRUE(fm->frMaster->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(Members("TCPCVER", "IVERID", minute), (QStringList{QStringLiteral("Rossi"), QString()}));
    EXPECT_EQ(Count("SELECT ICPCVERID FROM TCPCVER WHERE IRCOID IS NULL"), 1);
    EXPECT_EQ(fm->xqcDetail->RecordCount(), 1);
    Close(fm);
}

TEST_F(kvbCliTest, AMinuteWhoseMembersCannotBeWrittenIsNotSaved) {
    VoExecRaw(QStringLiteral("CREATE EXCEPTION E_TEST_CPCVER 'Presenza rifiutata'"));
    VoExecRaw(QStringLiteral("CREATE TRIGGER T_TEST_CPCVER FOR TCPCVER BEFORE INSERT AS BEGIN EXCEPTION "
                             "E_TEST_CPCVER; END"));
    auto *fm = Open<TfmCliVerbali>("TfmCliVerbali");
    ASSERT_TRUE(fm->frMaster->xacInsert->Execute());
    fm->xqcMain->FieldByName(QStringLiteral("sVerNumero"))->SetAsString(QStringLiteral("3/2026"));
    fm->xqcMain->FieldByName(QStringLiteral("iCmsId"))->SetAsInteger(DemoCommission());
    EXPECT_FALSE(fm->frMaster->xdsMain->Post());
    EXPECT_TRUE(messages->LastText().contains(QStringLiteral("Presenza rifiutata")))
        << messages->LastText().toStdString();
    EXPECT_EQ(fm->xqcMain->State(), dsInsert);
    EXPECT_EQ(Count("SELECT IVERID FROM TVER_VERBALI WHERE SVERNUMERO = '3/2026'"), 0);
    fm->frMaster->xacCancel->Execute();
    Close(fm);
}

// --- Several persons at once ------------------------------------------------------------------------------

TEST_F(kvbCliTest, SeveralPersonsAreAddedAtOnceWithoutRoles) {
    VoExecRaw(
        QStringLiteral("INSERT INTO TCPC_COMPCOMM (ICPCID, SCPCNOME, SCPCCOGNOME, IQUAPID) VALUES (901, "
                       "'Anna', 'Rossi', 3)"));
    VoExecRaw(
        QStringLiteral("INSERT INTO TCPC_COMPCOMM (ICPCID, SCPCNOME, SCPCCOGNOME, IQUAPID) VALUES (902, "
                       "'Carla', 'Blu', 4)"));
    VoExecRaw(
        QStringLiteral("INSERT INTO TCPC_COMPCOMM (ICPCID, SCPCNOME, SCPCCOGNOME) VALUES (903, 'Paolo', "
                       "'Gialli')"));
    auto *fm = Open<TfmCliCommissioni>("TfmCliCommissioni");
    EXPECT_TRUE(fm->acCarMulti->isEnabled());
    ASSERT_TRUE(fm->frMaster->xacInsert->Execute());
    EXPECT_FALSE(fm->acCarMulti->isEnabled());
    fm->frMaster->xacCancel->Execute();
    ASSERT_TRUE(fm->acCarMulti->isEnabled());

    QStringList offered;
    VoWhenModalOpens<TfmCliCompCommMulti>([&](TfmCliCompCommMulti *dlg) {
        TVoQueryCollection *list = dlg->frVoMultiSel->xqcMultiSelect;
        for (list->First(); !list->Eof(); list->Next())
            offered << list->FieldByName(QStringLiteral("SCPCCOGNOME"))->AsString();
        dlg->buOk->click();
        EXPECT_TRUE(dlg->isVisible());
        dlg->frVoMultiSel->SelectAll();
        dlg->buOk->click();
    });
    fm->acCarMulti->trigger();
    EXPECT_EQ(offered, (QStringList{QStringLiteral("Blu"), QStringLiteral("Rossi")}));
    EXPECT_EQ(messages->Texts(),
              (QStringList{QStringLiteral("Non è stato selezionato nessun componente"),
                           QStringLiteral(
                               "Con l'inserimento multiplo dei componenti non vengono assegnati i ruoli.")}));
    EXPECT_EQ(Members("TCPCCMS", "ICMSID", DemoCommission()),
              (QStringList{QStringLiteral("Bianchi"), QStringLiteral("Segretario verbalizzante"),
                           QStringLiteral("Blu"), QString(), QStringLiteral("Neri"),
                           QStringLiteral("Componente"), QStringLiteral("Rossi"), QString(),
                           QStringLiteral("Verdi"), QStringLiteral("Presidente")}));
    EXPECT_EQ(fm->xqcDetail->RecordCount(), 5);
    Close(fm);

    // No minute at all: nothing to add persons to.
    VoExecRaw(QStringLiteral("DELETE FROM TBINBVER"));
    VoExecRaw(QStringLiteral("DELETE FROM TCPCVER"));
    VoExecRaw(QStringLiteral("DELETE FROM TVER_VERBALI"));
    auto *minutes = Open<TfmCliVerbali>("TfmCliVerbali");
    EXPECT_FALSE(minutes->acCarMulti->isEnabled());
    Close(minutes);
}

// --- Deletions refused ------------------------------------------------------------------------------------

TEST_F(kvbCliTest, ARowStillInUseIsNotDeleted) {
    // Types of the users' own, in use.
    VoExecRaw(QStringLiteral(
        "INSERT INTO TTPCM_TIPOCOMM (ITPCMID, STPCMDESC, ITPCMID_P) VALUES (1000001, 'Arredi', 1)"));
    VoExecRaw(QStringLiteral(
        "INSERT INTO TTVR_TIPOVER (ITVRID, STVRDESC, ITVRID_P) VALUES (1000001, 'Arredi', 1)"));
    VoExecRaw(QStringLiteral("UPDATE TCMS_COMMISSIONI SET ITPCMID = 1000001"));
    VoExecRaw(QStringLiteral("UPDATE TVER_VERBALI SET ITVRID = 1000001"));
    const struct {
        const char *window;
        const char *keyField;
        int key;
        QString message;
    } cases[] = {{"TfmCliVerbali", "IVERID", DemoMinute(), KCliVerbaleInUso},
                 {"TfmCliCommissioni", "ICMSID", DemoCommission(), KCliCommissioneInUso},
                 {"TfmCliTipiCommissione", "ITPCMID", 1000001, KCliTipoInUso},
                 {"TfmCliTipoVer", "ITVRID", 1000001, KCliTipoInUso}};
    const int rows = Count(kAllRowsSQL);
    for (const auto &k : cases) {
        SCOPED_TRACE(k.window);
        messages->Clear();
        auto *fm = qobject_cast<TfmVoRegistry *>(CreateVoClass(QString::fromLatin1(k.window)));
        ASSERT_TRUE(fm);
        VoShowActive(fm);
        auto *main = fm->findChild<TVoQueryCollection *>(QStringLiteral("xqcMain"));
        TfrVoDBRWGrid *frame = nullptr;
        for (auto *f : fm->findChildren<TfrVoDBRWGrid *>())
            if (f->DataSet() == main)
                frame = f;
        ASSERT_TRUE(frame && main->Locate(QString::fromLatin1(k.keyField), k.key));
        messages->Push(mrYes);
        frame->xacDelete->Execute();
        EXPECT_TRUE(main->Locate(QString::fromLatin1(k.keyField), k.key));
        EXPECT_EQ(messages->Texts(), (QStringList{QStringLiteral("Cancellare il record?"), k.message}));
        EXPECT_EQ(Count(kAllRowsSQL), rows);
        Close(fm);
    }
}

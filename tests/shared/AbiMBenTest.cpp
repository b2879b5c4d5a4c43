// The beneficiaries data module on a real database, posted as the beneficiary frame and its companions
// post it: persons and companies with their categories, the person already on file, historicising,
// seats and localities, representatives, the retired rows of every list.
#include "AbiMBen.h"
#include "AbiFCCIODialog.h"
#include "VoDBGrid.h"
#include "VoDataSource.h"
#include "VoDates.h"
#include "VoKIE.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestDb.h"
#include "VoTestRegistries.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

QVariant Value(const QString &sql, const QVariantHash &params = {}) {
    return VoSelectValue(sql, params);
}

// What the same-person dialog showed before it was answered.
struct TDialogSeen {
    bool opened = false;
    QString caption;
    QString text;
    int rows = 0;
};

// Answers the same-person dialog that the next post opens, with "SI" or "No".
void AnswerSamePerson(bool same, TDialogSeen *seen) {
    QTimer::singleShot(0, [same, seen] {
        auto *dialog = qobject_cast<TfmCCIODialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no same-person dialog open";
            return;
        }
        seen->opened = true;
        seen->caption = dialog->windowTitle();
        seen->text = dialog->laTesto->text();
        seen->rows = dialog->grPersone->model()->rowCount();
        (same ? dialog->buOk : dialog->buCancel)->click();
    });
}

class AbiMBenTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        BenType = TBenType();
        dm = std::make_unique<TdmBeneficiari>();
        dm->BindConnection(conn.get());
    }
    void TearDown() override {
        dm.reset();
        VoDbTest::TearDown();
    }

    TVoQueryCollection *Ben() const { return dm->xqcBeneficiari; }
    void Set(const char *field, const QVariant &value) {
        Ben()->FieldByName(QString::fromLatin1(field))->SetValue(value);
    }
    // The frame's record of the row it shows, for the kind the user chose.
    void FollowRow(bool person, const QString &taxCode = QString()) {
        const TVoField *ben = Ben()->FieldByName(QStringLiteral("IBENID"));
        const TVoField *ana = Ben()->FieldByName(QStringLiteral("IANAID"));
        BenType.iBenId = ben->IsNull() ? -1 : ben->AsInteger();
        BenType.iAnaId = ana->IsNull() ? -1 : ana->AsInteger();
        BenType.IsPerson = person;
        BenType.sBenCodFiscale = taxCode.trimmed();
    }
    void StartNew(TBenStatementsKind kind, const QString &taxCode = QString()) {
        Ben()->Open();
        Ben()->Insert();
        FollowRow(kind != bskLegalEntity, taxCode);
        dm->FillBeneficiariStatements(kind);
    }
    void StartEdit(int benId, TBenStatementsKind kind) {
        Ben()->Open();
        ASSERT_TRUE(Ben()->Locate(QStringLiteral("IBENID"), benId));
        FollowRow(kind != bskLegalEntity);
        dm->FillBeneficiariStatements(kind);
        Ben()->Edit();
    }
    void SetPerson(const QString &surname, const QString &name, const QDate &born) {
        Set("SANACOGNOME", surname);
        Set("SANANOME", name);
        Ben()->FieldByName(QStringLiteral("DANANASCITA"))->SetAsDate(born.isValid() ? DateToDays(born) : -1);
        Set("SBENRAGSOC", surname + QLatin1Char(' ') + name);
    }
    int Count(const QString &sql, const QVariantHash &params = {}) { return VoCountRows(sql, params); }
    int DemoPerson() {
        return Value(QStringLiteral("SELECT IANAID FROM TANA_ANAGRAFICHE WHERE SANACOGNOME = 'Esposito'"))
            .toInt();
    }
    int DemoSupplier(const char *name) {
        return Value(QStringLiteral("SELECT IBENID FROM TBEN_BENEFICIARI WHERE SBENRAGSOC = :n"),
                     {{QStringLiteral("n"), QString::fromLatin1(name)}})
            .toInt();
    }

    std::unique_ptr<TdmBeneficiari> dm;
};

TEST_F(AbiMBenTest, NaturalPersonWritesPersonBeneficiaryAndCategories) {
    StartNew(bskPerson, QStringLiteral(" RSSMRA80A02H501U "));
    SetPerson(QStringLiteral("Rossi "), QStringLiteral("Mario"), QDate(1980, 1, 2));
    Set("SBENCODFISCALE", QStringLiteral("RSSMRA80A02H501U"));
    ASSERT_TRUE(Ben()->Post()) << messages->Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(messages->Texts().isEmpty());

    const int benId = Ben()->FieldByName(QStringLiteral("IBENID"))->AsInteger();
    TVoQuery ana(QStringLiteral("SELECT ana.* FROM TANA_ANAGRAFICHE ana INNER JOIN TBEN_BENEFICIARI ben ON "
                                "(ben.IANAID = ana.IANAID) WHERE ben.IBENID = :id"));
    ana.SetParam(QStringLiteral("id"), benId).Open();
    ASSERT_FALSE(ana.Eof());
    const int anaId = ana.AsInteger(QStringLiteral("IANAID"));
    EXPECT_EQ(ana.AsString(QStringLiteral("SANACOGNOME")), QStringLiteral("Rossi"));
    EXPECT_EQ(ana.AsString(QStringLiteral("SANACODFISCALE")), QStringLiteral("RSSMRA80A02H501U"));
    EXPECT_EQ(ana.AsDate(QStringLiteral("DANANASCITA")), DateToDays(QDate(1980, 1, 2)));
    EXPECT_EQ(ana.AsInteger(QStringLiteral("IIOCTRLCODE")),
              TKIEAnaIoccGen().Generate(QStringLiteral("Rossi"), QStringLiteral("Mario"),
                                        DateToDays(QDate(1980, 1, 2))));
    EXPECT_EQ(ana.AsString(QStringLiteral("SANACOGNOMENOMEIDX")), QStringLiteral("RossiMario"));
    EXPECT_FALSE(ana.IsNull(QStringLiteral("DMODIFIED")));
    ana.Close();

    EXPECT_EQ(Count(QStringLiteral("SELECT * FROM TBENBCA WHERE IBENID = :b AND IBCAID = 2"), {{"b", benId}}),
              1);
    EXPECT_EQ(Value(QStringLiteral("SELECT SANACAGCODE FROM TANACAG WHERE IANAID = :a AND ICAGID = 4"),
                    {{"a", anaId}})
                  .toString(),
              QStringLiteral("%1").arg(anaId, 10, 10, QLatin1Char('0')));
    // A new person has no dwelling, so no seat.
    EXPECT_EQ(Count(QStringLiteral("SELECT * FROM TSEB_SEDIBEN WHERE IBENID = :b"), {{"b", benId}}), 0);
    EXPECT_EQ(BenType.iBenId, benId);
    EXPECT_EQ(BenType.iAnaId, anaId);
}

TEST_F(AbiMBenTest, PersonMessagesComeInTheirOrderBeforeAnythingIsWritten) {
    const QString surname = QStringLiteral("Attenzione!\r\nValore non valido per il campo \"Cognome\"");
    const QString name = QStringLiteral("Attenzione!\r\nValore non valido per il campo \"Nome\"");
    const QString birth = QStringLiteral("Attenzione!\r\nValore non valido per il campo \"Data nascita\"");
    const struct {
        const char *surname;
        const char *name;
        QDate born;
        QString message;
    } cases[] = {
        {"  ", "", QDate(), surname},
        {"Rossi", " ", QDate(), name},
        {"Rossi", "Mario", QDate(), birth},
        {"D'Angelo", "Mario", QDate(1980, 1, 2), surname},
        {"Rossi", "Maria  Luisa", QDate(1980, 1, 2), name},
    };
    const int persons = Count(QStringLiteral("SELECT * FROM TANA_ANAGRAFICHE"));
    const int beneficiaries = Count(QStringLiteral("SELECT * FROM TBEN_BENEFICIARI"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.surname);
        messages->Clear();
        StartNew(bskPerson);
        SetPerson(QString::fromUtf8(c.surname), QString::fromUtf8(c.name), c.born);
        EXPECT_FALSE(Ben()->Post());
        EXPECT_EQ(messages->Texts(), QStringList{c.message});
        EXPECT_EQ(Ben()->State(), dsInsert);
        Ben()->Cancel();
    }
    EXPECT_EQ(Count(QStringLiteral("SELECT * FROM TANA_ANAGRAFICHE")), persons);
    EXPECT_EQ(Count(QStringLiteral("SELECT * FROM TBEN_BENEFICIARI")), beneficiaries);
}

TEST_F(AbiMBenTest, SamePersonAnsweredNoAddsASecondPerson) {
    StartNew(bskPerson);
    SetPerson(QStringLiteral("Esposito"), QStringLiteral("Giuseppe"), QDate(1970, 5, 12));
    TDialogSeen seen;
    AnswerSamePerson(false, &seen);
    ASSERT_TRUE(Ben()->Post());
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.caption, QStringLiteral("Codice di controllo Beneficiari"));
    EXPECT_EQ(seen.text,
              QStringLiteral("  Nell'archivio esiste gia' un soggetto con gli stessi dati.\r\n  Si tratta "
                             "dello stesso soggetto?"));
    EXPECT_EQ(seen.rows, 1);
    EXPECT_EQ(Count(QStringLiteral("SELECT * FROM TANA_ANAGRAFICHE WHERE SANACOGNOME = 'Esposito'")), 2);
    EXPECT_NE(BenType.iAnaId, DemoPerson());
}

TEST_F(AbiMBenTest, SamePersonAnsweredYesLinksThatPersonAndCopiesItsCurrentDwelling) {
    const int person = DemoPerson();
    // Besides the demo residence (open): a dwelling that ended, and an open one lived in as domicile.
    const auto dwelling = [&](const QString &address, const QVariant &end, const QString &how) {
        const int abt = VoTestNewKey(QStringLiteral("TABT_ABITAZ"));
        const int link = VoTestNewKey(QStringLiteral("TANAABT"));
        VoExecSQL(
            QStringLiteral("INSERT INTO TABT_ABITAZ (IABTID, SABTINDIRIZZO, DSTART, DEND) VALUES (:id, :a, "
                           "'2000-01-01', :e)"),
            {{"id", abt}, {"a", address}, {"e", end}});
        VoExecSQL(QStringLiteral("INSERT INTO TANAABT (IANAABTID, IANAID, IABTID) VALUES (:id, :p, :abt)"),
                  {{"id", link}, {"p", person}, {"abt", abt}});
        VoExecSQL(
            QStringLiteral(
                "INSERT INTO TABTLOC (IABTLOCID, IANAABTID, ILOCID) SELECT CAST(:id AS INTEGER), CAST(:l AS "
                "INTEGER), ILOCID FROM "
                "TLOC_LOCAZIONI WHERE SLOCLDESC = :how"),
            {{"id", VoTestNewKey(QStringLiteral("TABTLOC"))}, {"l", link}, {"how", how}});
    };
    dwelling(QStringLiteral("Via Vecchia 1"), QDate(2015, 6, 30), QStringLiteral("Residenza"));
    dwelling(QStringLiteral("Via Chiaia 5"), QVariant(QMetaType(QMetaType::QDate)),
             QStringLiteral("Domicilio"));
    const int persons = Count(QStringLiteral("SELECT * FROM TANA_ANAGRAFICHE"));

    StartNew(bskPerson);
    SetPerson(QStringLiteral("ESPOSITO"), QStringLiteral("giuseppe"), QDate(1970, 5, 12));
    TDialogSeen seen;
    AnswerSamePerson(true, &seen);
    ASSERT_TRUE(Ben()->Post()) << messages->Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(seen.opened);

    const int benId = Ben()->FieldByName(QStringLiteral("IBENID"))->AsInteger();
    EXPECT_EQ(Count(QStringLiteral("SELECT * FROM TANA_ANAGRAFICHE")), persons);
    EXPECT_EQ(Value(QStringLiteral("SELECT IANAID FROM TBEN_BENEFICIARI WHERE IBENID = :b"), {{"b", benId}})
                  .toInt(),
              person);
    EXPECT_EQ(
        Count(QStringLiteral("SELECT * FROM TANACAG WHERE IANAID = :p AND ICAGID = 4"), {{"p", person}}), 1);
    TVoQuery seat(
        QStringLiteral("SELECT seb.*, cap.SCAPVALUE FROM TSEB_SEDIBEN seb LEFT JOIN TCOMCAP cc ON "
                       "(cc.ICOMCAPID = seb.ICOMCAPID) LEFT JOIN TCAP cap ON (cap.ICAPID = cc.ICAPID) "
                       "WHERE seb.IBENID = :b"));
    seat.SetParam(QStringLiteral("b"), benId).Open();
    ASSERT_FALSE(seat.Eof());
    EXPECT_EQ(seat.AsString(QStringLiteral("SSEBINDIRIZZO")), QStringLiteral("Via Toledo 100"));
    EXPECT_EQ(seat.AsString(QStringLiteral("SCAPVALUE")), QStringLiteral("80134"));
    EXPECT_EQ(seat.AsInteger(QStringLiteral("LSEBRIFERIMENTO")), 1);
    EXPECT_EQ(seat.AsDate(QStringLiteral("DSTART")), DateToDays(QDate(2010, 3, 1)));
    EXPECT_EQ(seat.CountToEnd(), 1);
    EXPECT_EQ(BenType.iAnaId, person);
    EXPECT_EQ(BenType.sBenCodFiscale, QStringLiteral("SPSGPP70E12F839X"));
}

TEST_F(AbiMBenTest, LegalEntityAndOneTurnedPerson) {
    StartNew(bskLegalEntity);
    Set("SBENRAGSOC", QStringLiteral("Libreria Dante s.r.l."));
    ASSERT_TRUE(Ben()->Post());
    const int benId = Ben()->FieldByName(QStringLiteral("IBENID"))->AsInteger();
    EXPECT_TRUE(Value(QStringLiteral("SELECT IANAID FROM TBEN_BENEFICIARI WHERE IBENID = :b"), {{"b", benId}})
                    .isNull());
    EXPECT_EQ(Value(QStringLiteral("SELECT IBCAID FROM TBENBCA WHERE IBENID = :b"), {{"b", benId}}).toInt(),
              1);

    // Saved again as a person: its person row is made and linked, its category becomes 2.
    Ben()->Refresh();
    StartEdit(benId, bskEntityToPerson);
    SetPerson(QStringLiteral("Alighieri"), QStringLiteral("Dante"), QDate(1965, 5, 21));
    ASSERT_TRUE(Ben()->Post()) << messages->Texts().join(QLatin1Char('\n')).toStdString();
    const int anaId =
        Value(QStringLiteral("SELECT IANAID FROM TBEN_BENEFICIARI WHERE IBENID = :b"), {{"b", benId}})
            .toInt();
    EXPECT_EQ(
        Value(QStringLiteral("SELECT SANACOGNOME FROM TANA_ANAGRAFICHE WHERE IANAID = :a"), {{"a", anaId}})
            .toString(),
        QStringLiteral("Alighieri"));
    EXPECT_EQ(Count(QStringLiteral("SELECT * FROM TANACAG WHERE IANAID = :a AND ICAGID = 4"), {{"a", anaId}}),
              1);
    EXPECT_EQ(Value(QStringLiteral("SELECT IBCAID FROM TBENBCA WHERE IBENID = :b"), {{"b", benId}}).toInt(),
              2);
    EXPECT_EQ(BenType.iAnaId, anaId);

    // A change of the person writes the time of the change.
    VoExecSQL(QStringLiteral("UPDATE TANA_ANAGRAFICHE SET DMODIFIED = '2000-01-01' WHERE IANAID = :a"),
              {{"a", anaId}});
    Ben()->Refresh();
    StartEdit(benId, bskPerson);
    Set("SANANOME", QStringLiteral("Durante"));
    ASSERT_TRUE(Ben()->Post()) << messages->Texts().join(QLatin1Char('\n')).toStdString();
    TVoQuery ana(QStringLiteral("SELECT SANANOME, DMODIFIED FROM TANA_ANAGRAFICHE WHERE IANAID = :a"));
    ana.SetParam(QStringLiteral("a"), anaId).Open();
    EXPECT_EQ(ana.AsString(QStringLiteral("SANANOME")), QStringLiteral("Durante"));
    EXPECT_GT(ana.AsDate(QStringLiteral("DMODIFIED")), DateToDays(QDate(2000, 1, 2)));
    EXPECT_EQ(Count(QStringLiteral("SELECT * FROM TANA_ANAGRAFICHE WHERE IANAID = :a"), {{"a", anaId}}), 1);
}

TEST_F(AbiMBenTest, HistoricisingIsAskedOnceAndNoSavesNothing) {
    const int benId = DemoSupplier("Cartoleria Centrale s.r.l.");
    const QString question = QStringLiteral("Sei sicuro di voler storicizzare il Beneficiario?");
    const auto stored = [&](const char *column) {
        return Value(
            QStringLiteral("SELECT %1 FROM TBEN_BENEFICIARI WHERE IBENID = :b").arg(QLatin1String(column)),
            {{"b", benId}});
    };
    StartEdit(benId, bskLegalEntity);
    Set("SBENDESC", QStringLiteral("cambiata"));
    Set("LBENEND", 1);
    messages->Push(mrNo);
    EXPECT_FALSE(Ben()->Post());
    EXPECT_EQ(messages->Texts(), QStringList{question});
    EXPECT_EQ(Ben()->State(), dsEdit);
    EXPECT_TRUE(stored("LBENEND").isNull());
    EXPECT_TRUE(stored("SBENDESC").isNull());

    messages->Push(mrYes);
    ASSERT_TRUE(Ben()->Post());
    EXPECT_EQ(stored("LBENEND").toInt(), 1);
    EXPECT_EQ(stored("DEND").toDate(), QDate::currentDate());

    // Saved again, it keeps the day it was historicised.
    VoExecSQL(QStringLiteral("UPDATE TBEN_BENEFICIARI SET DEND = '2020-05-05' WHERE IBENID = :b"),
              {{"b", benId}});
    messages->Clear();
    Ben()->Refresh();
    StartEdit(benId, bskLegalEntity);
    Set("SBENDESC", QStringLiteral("ancora"));
    ASSERT_TRUE(Ben()->Post());
    EXPECT_TRUE(messages->Texts().isEmpty());
    EXPECT_EQ(stored("DEND").toDate(), QDate(2020, 5, 5));
    EXPECT_EQ(stored("SBENDESC").toString(), QStringLiteral("ancora"));
}

TEST_F(AbiMBenTest, AFailureInTheLastStatementLeavesNothingOfTheList) {
    VoExecRaw(QStringLiteral("CREATE EXCEPTION E_PROVA 'categoria rifiutata'"));
    VoExecRaw(
        QStringLiteral("CREATE TRIGGER T_PROVA FOR TBENBCA BEFORE INSERT AS BEGIN EXCEPTION E_PROVA; END"));
    StartNew(bskLegalEntity);
    Set("SBENRAGSOC", QStringLiteral("Ditta Prova"));
    EXPECT_FALSE(Ben()->Post());
    ASSERT_EQ(messages->Texts().size(), 1);
    EXPECT_TRUE(messages->Texts().first().contains(QStringLiteral("categoria rifiutata")));
    EXPECT_EQ(Count(QStringLiteral("SELECT * FROM TBEN_BENEFICIARI WHERE SBENRAGSOC = 'Ditta Prova'")), 0);
    EXPECT_EQ(Ben()->State(), dsInsert);
    EXPECT_TRUE(Ben()->FieldByName(QStringLiteral("IBENID"))->IsNull());
    EXPECT_EQ(BenType.iBenId, -1);
}

TEST_F(AbiMBenTest, BankDataOfANewBeneficiaryIsRefused) {
    const int rows = Count(QStringLiteral("SELECT * FROM TSPRBEN"));
    BenType.DetailTab = 1;
    StartNew(bskLegalEntity);
    TVoQueryCollection *bank = dm->xqcDatiBancari;
    ASSERT_TRUE(bank->Active());
    bank->Insert();
    bank->FieldByName(QStringLiteral("IMPGID"))->SetValue(1);
    EXPECT_FALSE(bank->Post());
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Errore caricamento parametro 1")});
    EXPECT_EQ(bank->State(), dsInsert);
    EXPECT_EQ(Count(QStringLiteral("SELECT * FROM TSPRBEN")), rows);
}

TEST_F(AbiMBenTest, LocalitiesAreCreatedOnceAndReused) {
    const int rome = Value(QStringLiteral("SELECT ISRPCID FROM VSRPC WHERE SCOMDESC = 'ROMA'")).toInt();
    const auto rows = [&] {
        return Count(QStringLiteral("SELECT * FROM TCAP")) + Count(QStringLiteral("SELECT * FROM TFRAQUA")) +
               Count(QStringLiteral("SELECT * FROM TCOMCAP"));
    };
    TComCapFraType first;
    first.iSrpcId = rome;
    first.sCapValue = QStringLiteral(" 00192 ");
    first.sFraQuaDesc = QStringLiteral("Prati");
    ASSERT_TRUE(dm->GetOrAddComCap(first));
    EXPECT_GT(first.iCapId, 0);
    EXPECT_GT(first.iFraQuaId, 0);
    TVoQuery cc(
        QStringLiteral("SELECT cc.ISRPCID, cap.SCAPVALUE, fra.SFRAQUADESC FROM TCOMCAP cc JOIN TCAP cap ON "
                       "(cap.ICAPID = cc.ICAPID) JOIN TFRAQUA fra ON (fra.IFRAQUAID = cc.IFRAQUAID) WHERE "
                       "cc.ICOMCAPID = :id"));
    cc.SetParam(QStringLiteral("id"), first.iComCapId).Open();
    EXPECT_EQ(cc.AsInteger(QStringLiteral("ISRPCID")), rome);
    EXPECT_EQ(cc.AsString(QStringLiteral("SCAPVALUE")), QStringLiteral("00192"));
    EXPECT_EQ(cc.AsString(QStringLiteral("SFRAQUADESC")), QStringLiteral("Prati"));
    cc.Close();

    const int after = rows();
    TComCapFraType again;
    again.iSrpcId = rome;
    again.sCapValue = QStringLiteral("00192");
    again.sFraQuaDesc = QStringLiteral("Prati");
    ASSERT_TRUE(dm->GetOrAddComCap(again));
    EXPECT_EQ(again.iComCapId, first.iComCapId);
    EXPECT_EQ(rows(), after);

    // Blank parts are empty columns, matched as such the second time.
    TComCapFraType town;
    town.iSrpcId = rome;
    ASSERT_TRUE(dm->GetOrAddComCap(town));
    EXPECT_EQ(town.iCapId, -1);
    EXPECT_EQ(town.iFraQuaId, -1);
    EXPECT_EQ(Count(QStringLiteral(
                        "SELECT * FROM TCOMCAP WHERE ICOMCAPID = :id AND ICAPID IS NULL AND IFRAQUAID IS "
                        "NULL AND ISRPCID = :r"),
                    {{"id", town.iComCapId}, {"r", rome}}),
              1);
    TComCapFraType townAgain = town;
    townAgain.iComCapId = -1;
    ASSERT_TRUE(dm->GetOrAddComCap(townAgain));
    EXPECT_EQ(townAgain.iComCapId, town.iComCapId);

    // Nothing named, no locality.
    const int before = rows();
    TComCapFraType none;
    none.iComCapId = 55;
    ASSERT_TRUE(dm->GetOrAddComCap(none));
    EXPECT_EQ(none.iComCapId, -1);
    EXPECT_EQ(rows(), before);
}

TEST_F(AbiMBenTest, ALocalityThatCannotBeWrittenIsToldAndLeavesNothing) {
    TComCapFraType locality;
    locality.iSrpcId = Value(QStringLiteral("SELECT ISRPCID FROM VSRPC WHERE SCOMDESC = 'ROMA'")).toInt();
    locality.sFraQuaDesc = QStringLiteral("Borgo Nuovo");
    locality.sCapValue = QStringLiteral("00100000000000");
    EXPECT_FALSE(dm->GetOrAddComCap(locality));
    EXPECT_EQ(messages->Texts().size(), 1);
    EXPECT_EQ(locality.iComCapId, -1);
    EXPECT_EQ(locality.iFraQuaId, -1);
    EXPECT_EQ(Count(QStringLiteral("SELECT * FROM TFRAQUA WHERE SFRAQUADESC = 'Borgo Nuovo'")), 0);
}

TEST_F(AbiMBenTest, AReferenceSeatClearsTheOthersAndABlankLocalityIsNone) {
    const int benId = DemoSupplier("Cartoleria Centrale s.r.l.");
    const int oldSeat =
        Value(QStringLiteral("SELECT ISEBID FROM TSEB_SEDIBEN WHERE IBENID = :b"), {{"b", benId}}).toInt();
    const int localities = Count(QStringLiteral("SELECT * FROM TCOMCAP"));
    Ben()->Open();
    ASSERT_TRUE(Ben()->Locate(QStringLiteral("IBENID"), benId));
    FollowRow(false);
    TVoQueryCollection *seats = dm->xqcSedi;
    ASSERT_EQ(seats->RecordCount(), 1);
    seats->Insert();
    seats->FieldByName(QStringLiteral("SSEBINDIRIZZO"))->SetValue(QStringLiteral("Via Nuova 3"));
    seats->FieldByName(QStringLiteral("LSEBRIFERIMENTO"))->SetValue(1);
    dm->BenReferenceSeat = true;
    // As the seat frame does before saving: no municipality, postcode or hamlet.
    ASSERT_TRUE(dm->GetOrAddComCap(SeatComCapFra));
    ASSERT_TRUE(seats->Post()) << messages->Texts().join(QLatin1Char('\n')).toStdString();

    const int newSeat = seats->FieldByName(QStringLiteral("ISEBID"))->AsInteger();
    EXPECT_EQ(SeatComCapFra.iOwnerId, newSeat);
    EXPECT_TRUE(
        Value(QStringLiteral("SELECT LSEBRIFERIMENTO FROM TSEB_SEDIBEN WHERE ISEBID = :s"), {{"s", oldSeat}})
            .isNull());
    EXPECT_EQ(
        Value(QStringLiteral("SELECT LSEBRIFERIMENTO FROM TSEB_SEDIBEN WHERE ISEBID = :s"), {{"s", newSeat}})
            .toInt(),
        1);
    EXPECT_TRUE(
        Value(QStringLiteral("SELECT ICOMCAPID FROM TSEB_SEDIBEN WHERE ISEBID = :s"), {{"s", newSeat}})
            .isNull());
    EXPECT_EQ(Count(QStringLiteral("SELECT * FROM TCOMCAP")), localities);
}

TEST_F(AbiMBenTest, RepresentativeCategoryComesWithTheFirstLinkAndGoesWithTheLast) {
    const int a = VoTestBeneficiary(QStringLiteral("Scuola A")),
              b = VoTestBeneficiary(QStringLiteral("Scuola B"));
    const int r = VoTestBeneficiary(QStringLiteral("Rappresentante"));
    const auto category = [&] {
        return Count(
            QStringLiteral("SELECT * FROM TBENBCA WHERE IBENID = :r AND IBCAID = 4 AND DDELETE IS NULL"),
            {{"r", r}});
    };
    BenType.DetailTab = 6;
    Ben()->Open();
    const auto link = [&](int represented) {
        ASSERT_TRUE(Ben()->Locate(QStringLiteral("IBENID"), represented));
        FollowRow(false);
        dm->xqcRappresentanti->Insert();
        dm->xqcRappresentanti->FieldByName(QStringLiteral("IBENID"))->SetValue(r);
        ASSERT_TRUE(dm->xqcRappresentanti->Post());
    };
    const auto unlink = [&](int represented) {
        ASSERT_TRUE(Ben()->Locate(QStringLiteral("IBENID"), represented));
        FollowRow(false);
        messages->Push(mrYes);
        ASSERT_TRUE(dm->xqcRappresentanti->Delete());
    };
    link(a);
    EXPECT_EQ(category(), 1);
    link(b);
    EXPECT_EQ(category(), 1);
    EXPECT_EQ(
        Value(QStringLiteral("SELECT IBENID_P FROM TRPS_RAPPR WHERE IBENID = :r ORDER BY IRPSID"), {{"r", r}})
            .toInt(),
        a);
    unlink(a);
    EXPECT_EQ(category(), 1);
    unlink(b);
    EXPECT_EQ(category(), 0);
}

TEST_F(AbiMBenTest, DeletingRetiresTheBeneficiaryAndItsOwnRows) {
    const int ben = VoTestBeneficiary(QStringLiteral("Ditta da ritirare"));
    const int other = VoTestBeneficiary(QStringLiteral("Altra ditta"));
    const auto add = [&](const char *table, const char *key, const QString &columns, const QString &values) {
        const int id = VoTestNewKey(QString::fromLatin1(table));
        VoExecSQL(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (:id, %4)")
                      .arg(QLatin1String(table), QLatin1String(key), columns, values),
                  {{"id", id}, {"b", ben}, {"o", other}});
        return id;
    };
    const int seat =
        add("TSEB_SEDIBEN", "ISEBID", QStringLiteral("IBENID, SSEBINDIRIZZO"), QStringLiteral(":b, 'X'"));
    const int account =
        add("TSPRBEN", "ISPRBENID", QStringLiteral("IBENID, IMPGID"), QStringLiteral(":b, 1"));
    const struct {
        int tab;
        TVoQueryCollection *list;
        const char *table;
        const char *key;
        int id;
        bool retired; // else deleted for good
    } cases[] = {
        {3, dm->xqcTelefoni, "TTEB_TELEFONO", "ITEBID",
         add("TTEB_TELEFONO", "ITEBID", QStringLiteral("IBENID, STEBTELEFONO"), QStringLiteral(":b, '06 1'")),
         true},
        {4, dm->xqcEmail, "TEMB_EMAIL", "IEMBID",
         add("TEMB_EMAIL", "IEMBID", QStringLiteral("IBENID, SEMBEMAIL"), QStringLiteral(":b, 'a@b.it'")),
         true},
        {5, dm->xqcWeb, "TSWB_SITIWEB", "ISWBID",
         add("TSWB_SITIWEB", "ISWBID", QStringLiteral("IBENID, SSWBSITO"), QStringLiteral(":b, 'www.b.it'")),
         true},
        {2, dm->xqcDatiLegali, "TLEG_DATILEGALI", "ILEGID",
         add("TLEG_DATILEGALI", "ILEGID", QStringLiteral("IBENID, SLEGNUMCCIA"), QStringLiteral(":b, '1'")),
         true},
        {6, dm->xqcRappresentanti, "TRPS_RAPPR", "IRPSID",
         add("TRPS_RAPPR", "IRPSID", QStringLiteral("IBENID, IBENID_P"), QStringLiteral(":o, :b")), true},
        {7, dm->xqcSostituente, "TSOS_SOSTITUZIONI", "ISOSID",
         add("TSOS_SOSTITUZIONI", "ISOSID", QStringLiteral("IBENID, IBENID_P"), QStringLiteral(":o, :b")),
         true},
        {0, dm->xqcTipoSede, "TSEBTPS", "ISEBTPSID",
         add("TSEBTPS", "ISEBTPSID", QStringLiteral("ISEBID, ITPSID"), QStringLiteral("%1, 1").arg(seat)),
         false},
        {0, dm->xqcSedi, "TSEB_SEDIBEN", "ISEBID", seat, true},
        {1, dm->xqcDelegatiConto, "TDEG_DELEGATI", "IDEGID",
         add("TDEG_DELEGATI", "IDEGID", QStringLiteral("ISPRBENID, SDEGCOGNOME"),
             QStringLiteral("%1, 'Neri'").arg(account)),
         false},
        {1, dm->xqcQuietanzante, "TQUI_QUIETANZANTE", "IQUIID",
         add("TQUI_QUIETANZANTE", "IQUIID", QStringLiteral("ISPRBENID, SQUINOMINATIVO"),
             QStringLiteral("%1, 'Neri'").arg(account)),
         false},
        {1, dm->xqcDatiBancari, "TSPRBEN", "ISPRBENID", account, true},
    };
    Ben()->Open();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.table);
        BenType.DetailTab = quint8(c.tab);
        ASSERT_TRUE(Ben()->Locate(QStringLiteral("IBENID"), ben));
        FollowRow(false);
        dm->RefreshBenDetails();
        ASSERT_TRUE(c.list->Locate(QString::fromLatin1(c.key), c.id));
        messages->Push(mrYes);
        ASSERT_TRUE(c.list->Delete());
        const QString row = QStringLiteral("SELECT DDELETE FROM %1 WHERE %2 = :id")
                                .arg(QLatin1String(c.table), QLatin1String(c.key));
        if (c.retired)
            EXPECT_FALSE(Value(row, {{"id", c.id}}).isNull());
        else
            EXPECT_EQ(Count(QStringLiteral("SELECT * FROM %1 WHERE %2 = :id")
                                .arg(QLatin1String(c.table), QLatin1String(c.key)),
                            {{"id", c.id}}),
                      0);
        dm->RefreshBenDetails();
        EXPECT_FALSE(c.list->Locate(QString::fromLatin1(c.key), c.id));
    }

    ASSERT_TRUE(Ben()->Locate(QStringLiteral("IBENID"), ben));
    messages->Push(mrYes);
    ASSERT_TRUE(Ben()->Delete());
    EXPECT_FALSE(Value(QStringLiteral("SELECT DDELETE FROM TBEN_BENEFICIARI WHERE IBENID = :b"), {{"b", ben}})
                     .isNull());
    Ben()->Refresh();
    EXPECT_FALSE(Ben()->Locate(QStringLiteral("IBENID"), ben));
}

TEST_F(AbiMBenTest, AChangedSeatTypeIsSaved) {
    const int benId = DemoSupplier("Cartoleria Centrale s.r.l.");
    const int seat =
        Value(QStringLiteral("SELECT ISEBID FROM TSEB_SEDIBEN WHERE IBENID = :b"), {{"b", benId}}).toInt();
    Ben()->Open();
    ASSERT_TRUE(Ben()->Locate(QStringLiteral("IBENID"), benId));
    TVoQueryCollection *types = dm->xqcTipoSede;
    ASSERT_TRUE(types->Active());
    types->Insert();
    types->FieldByName(QStringLiteral("ITPSID"))->SetValue(1);
    ASSERT_TRUE(types->Post());
    types->Edit();
    types->FieldByName(QStringLiteral("ITPSID"))->SetValue(3);
    ASSERT_TRUE(types->Post());
    EXPECT_EQ(Value(QStringLiteral("SELECT ITPSID FROM TSEBTPS WHERE ISEBID = :s"), {{"s", seat}}).toInt(),
              3);
}

} // namespace

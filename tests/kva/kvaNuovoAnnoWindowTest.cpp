// The window of school registers and register-years as a user meets it: a new register linked to
// the school and opened for a year until the parameters offer it, the lists and lookups of both
// frames, and what the window adds to the date rules (what it feeds them, the focus, the neighbour
// saved with the row in one transaction, every post checked, deletions of rows still in use).
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestDb.h"
#include "VoTestRegisters.h"
#include "VoTestWindows.h"
#include "kvaFFac.h"
#include "kvaFNuovoAnno.h"
#include "kvaMParams.h"
#include "kvaRFac.h"
#include "kvaUUtil.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString P = QStringLiteral("Attenzione ! \r\n");

class kvaNuovoAnnoWindowTest : public VoDbTest {
protected:
    void TearDown() override {
        VoCloseWindow(window);
        VoDbTest::TearDown();
    }

    void Open() {
        window = VoOpenWindow<TfmNuovoAnno>(QStringLiteral("TfmNuovoAnno"));
        ASSERT_TRUE(window);
        up = window->frFIstituti;
        years = window->frFAnniFinanziari;
    }
    void StandOnYear(int year) {
        ASSERT_TRUE(window->xqcAnniFinanziari->Locate(QStringLiteral("IANFVALORE"), year));
    }
    void EditYear(int year) {
        StandOnYear(year);
        ASSERT_TRUE(years->xacEdit->Execute());
    }
    // Custom dates of the school register's year as stored ("start..end", "-" for none).
    static QString Custom(int registerYearId) {
        return VoSelectValue(QStringLiteral("SELECT COALESCE(CAST(DDWGFACANFINIZIO AS VARCHAR(10)), '-') || "
                                            "'..' || COALESCE(CAST(DDWGFACANFFINE AS VARCHAR(10)), '-') "
                                            "FROM TDWGFACANF WHERE IDWGFACANFID = :id"),
                             {{QStringLiteral("id"), registerYearId}})
            .toString();
    }
    // What the lower list shows of a year: its custom dates.
    QString Shown(int year) const {
        TVoQueryCollection *c = window->xqcAnniFinanziari;
        if (!c->Locate(QStringLiteral("IANFVALORE"), year))
            return QString();
        return c->FieldByName(QStringLiteral("DDWGFACANFINIZIO"))->AsString() + QStringLiteral("..") +
               c->FieldByName(QStringLiteral("DDWGFACANFFINE"))->AsString();
    }
    void ChooseYear(const QString &year) {
        years->xdlAnnoFin->setFocus(Qt::TabFocusReason);
        years->xdlAnnoFin->selectAll();
        VoType(year);
        VoPress(Qt::Key_Tab);
    }
    void CustomDates(const QString &start, const QString &end) {
        if (!years->cbImpostazioni->isChecked())
            VoClick(years->cbImpostazioni);
        VoTypeDate(years->xddInizio, start);
        VoTypeDate(years->xddFine, end);
    }

    QPointer<TfmNuovoAnno> window;
    TfrIstituti *up = nullptr;
    TfrAnniFinanziari *years = nullptr;
};

} // namespace

TEST_F(kvaNuovoAnnoWindowTest, NewRegisterLinkedAndOpenedIsOfferedByTheParameters) {
    auto *registers = VoOpenWindow<TfmkvaFac>(QStringLiteral("TfmkvaFac"));
    ASSERT_TRUE(registers);
    TfrkvaTFac *fac = registers->frkvaFac;
    ASSERT_TRUE(fac->xacInsert->Execute());
    VoType(QStringLiteral("Cancelleria"));
    VoPress(Qt::Key_Tab);
    VoSearchAndChoose(QStringLiteral("stampati"));
    VoClick(fac->xckIva);
    VoClick(fac->xckNumAnnuale);
    ASSERT_TRUE(fac->xacPost->Execute());
    ASSERT_EQ(registers->xqcMain->State(), dsBrowse) << messages->LastText().toStdString();
    VoCloseWindow(registers);

    Open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Nuovo Anno"));
    EXPECT_FALSE(years->ReadOnly());
    ASSERT_TRUE(up->xacInsert->Execute());
    EXPECT_TRUE(years->ReadOnly()) << "no years for a link not yet saved";
    ASSERT_EQ(QApplication::focusWidget(), up->xelIstituto);
    TVoSearchSeen seen;
    VoSearchAndChoose(QStringLiteral("rodari"), &seen);
    EXPECT_EQ(seen.titles, QStringList{QStringLiteral("Istituto")});
    VoPress(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), up->xelVelist);
    VoType(QStringLiteral("cancelleria"));
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(up->xelVelist->text(), QStringLiteral("Cancelleria"));
    ASSERT_TRUE(up->xacPost->Execute());
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    const int link =
        VoSelectValue(QStringLiteral("SELECT df.IDWGFACID FROM TDWGFAC df JOIN TFAC_VELISTO f ON "
                                     "f.IFACID = df.IFACID WHERE f.SFACDESC = 'Cancelleria' AND "
                                     "df.IDWGID = :s"),
                      {{QStringLiteral("s"), DemoSchoolId()}})
            .toInt();
    ASSERT_GT(link, 0);
    EXPECT_EQ(window->iDwgFacId, link);
    EXPECT_FALSE(years->ReadOnly());

    ASSERT_TRUE(years->xacInsert->Execute());
    ASSERT_EQ(QApplication::focusWidget(), years->xdlAnnoFin);
    VoType(QStringLiteral("2026"));
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(years->laDataInizio->text(), QStringLiteral("01/01/2026"));
    EXPECT_EQ(years->laDataFine->text(), QStringLiteral("31/12/2026"));
    ASSERT_TRUE(years->xacPost->Execute());
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    ASSERT_EQ(window->xqcAnniFinanziari->RecordCount(), 1);
    const int registerYear =
        window->xqcAnniFinanziari->FieldByName(QStringLiteral("iDwgFacAnfId"))->AsInteger();
    EXPECT_EQ(Custom(registerYear), QStringLiteral("-..-"));

    int offered = 0;
    for (const TVoEnumValue &v : TdmkvaParams::RegisterYearList(DemoSchoolId()))
        if (v.text == QLatin1String("Cancelleria Anno: 2026"))
            offered = v.id;
    EXPECT_EQ(offered, registerYear);
}

TEST_F(kvaNuovoAnnoWindowTest, LinksOfferOnlyFreeRegistersOfThisProgramAndLiveSchools) {
    VoExecSQL(
        QStringLiteral("INSERT INTO TDOW_DATAOWNER (IDWGID, SDOWSDESC, SDOWLDESC, DDELETE) VALUES (500, "
                       "'Chiusa', 'Scuola chiusa', CURRENT_TIMESTAMP)"));
    const TVoTestRegister closed = MakeRegister(QStringLiteral("Della scuola chiusa"));
    VoExecSQL(QStringLiteral("UPDATE TDWGFAC SET IDWGID = 500 WHERE IDWGFACID = :id"),
              {{QStringLiteral("id"), closed.schoolRegId}});
    MakeRegister(QStringLiteral("Inventario"), 5);
    const TVoTestRegister free = MakeRegister(QStringLiteral("Libero"));
    VoExecSQL(QStringLiteral("DELETE FROM TDWGFAC WHERE IDWGFACID = :id"),
              {{QStringLiteral("id"), free.schoolRegId}});
    Open();
    EXPECT_EQ(window->xqcDataOwner->RecordCount(), 1);
    EXPECT_EQ(up->xelVelist->text(), QStringLiteral("Facile consumo"));
    EXPECT_FALSE(up->xacEdit->isVisible());
    EXPECT_FALSE(up->xacEdit->Execute());

    ASSERT_TRUE(up->xacInsert->Execute());
    EXPECT_FALSE(up->xdsMain->Post());
    EXPECT_EQ(messages->Texts(), QStringList{P + QStringLiteral("Campo obbligatorio \"Istituto\". ")});
    TVoSearchSeen seen;
    VoSearchAndChoose(QString(), &seen);
    EXPECT_EQ(seen.rows, 1) << "a school marked deleted is not offered";
    up->xelVelist->setFocus(Qt::TabFocusReason);
    VoPress(Qt::Key_Down, Qt::AltModifier);
    const QAbstractItemModel *offered = up->xelVelist->DropDown()->model();
    ASSERT_EQ(offered->rowCount(), 1);
    EXPECT_EQ(offered->index(0, 0).data().toString(), QStringLiteral("Libero"));
    VoPress(Qt::Key_Escape);
    up->xacCancel->Execute();
    EXPECT_EQ(up->xelVelist->text(), QStringLiteral("Facile consumo")) << "browsing shows every register";
}

TEST_F(kvaNuovoAnnoWindowTest, YearDetailShowsDefaultDatesAndCustomOnesOnRequest) {
    MakeFinancialYear(2028, DateToDays(QDate(2028, 1, 1)), DateToDays(QDate(2028, 12, 31)));
    MakeFinancialYear(2051, DateToDays(QDate(2051, 1, 1)), DateToDays(QDate(2051, 12, 31)));
    const int y2026 = DemoRegisterYear(2026);
    OpenRegisterYear(MakeRegister(QStringLiteral("Altro")).schoolRegId, 2026);
    Open();
    ASSERT_EQ(window->xqcAnniFinanziari->RecordCount(), 3);
    StandOnYear(2026);
    EXPECT_FALSE(years->xdlAnnoFin->isEnabled());
    EXPECT_EQ(years->laDataInizio->text(), QStringLiteral("01/01/2026"));
    EXPECT_FALSE(years->cbImpostazioni->isChecked());
    EXPECT_TRUE(years->gbDatePers->isHidden());
    EditYear(2026);
    EXPECT_FALSE(years->xdlAnnoFin->isEnabled()) << "the year of a stored row is not changed";
    years->xacCancel->Execute();

    ASSERT_TRUE(years->xacInsert->Execute());
    EXPECT_TRUE(years->xdlAnnoFin->isEnabled());
    ChooseYear(QStringLiteral("2051"));
    EXPECT_EQ(years->xdlAnnoFin->text(), QStringLiteral("2051"));
    EXPECT_TRUE(years->laDataInizio->text().isEmpty()) << "beyond the years the window handles";
    EXPECT_FALSE(years->xacPost->Execute() && window->xqcAnniFinanziari->State() == dsBrowse);
    EXPECT_EQ(messages->Texts(),
              QStringList{P + QStringLiteral("L'anno finanziario selezionato non ha date di "
                                             "inizio e fine predefinite: impostare le date "
                                             "personalizzate. ")});
    EXPECT_EQ(window->xqcAnniFinanziari->State(), dsInsert);

    ChooseYear(QStringLiteral("2028"));
    EXPECT_EQ(years->laDataFine->text(), QStringLiteral("31/12/2028"));
    VoClick(years->cbImpostazioni);
    EXPECT_FALSE(years->gbDatePers->isHidden());
    // The calendar opens on the default date, which an empty edit takes.
    years->xddInizio->setFocus(Qt::TabFocusReason);
    VoPress(Qt::Key_F8);
    EXPECT_EQ(years->xddInizio->Text(), QStringLiteral("01/01/2028"));
    VoPress(Qt::Key_Escape);
    years->xddFine->setFocus(Qt::TabFocusReason);
    VoPress(Qt::Key_F8);
    VoPress(Qt::Key_Escape);
    EXPECT_EQ(years->xddFine->Text(), QStringLiteral("31/12/2028"));
    VoTypeDate(years->xddInizio, QStringLiteral("01/02/2028"));
    // Switched off by hand, the custom dates go with their group.
    VoClick(years->cbImpostazioni);
    EXPECT_TRUE(years->gbDatePers->isHidden());
    EXPECT_EQ(years->xddInizio->Text(), TVoDBDateEdit::EmptyText);
    messages->Clear();
    ASSERT_TRUE(years->xacPost->Execute());
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    const int y2028 = window->xqcAnniFinanziari->FieldByName(QStringLiteral("iDwgFacAnfId"))->AsInteger();
    EXPECT_EQ(Custom(y2028), QStringLiteral("-..-"));
    EXPECT_EQ(window->xqcAnniFinanziari->FieldByName(QStringLiteral("DANFVOREXINIZIO"))->AsString(),
              QStringLiteral("01/01/2028"));
    EXPECT_EQ(Custom(y2026), QStringLiteral("-..-"));
}

TEST_F(kvaNuovoAnnoWindowTest, InsertRulesOnWhatTheWindowShows) {
    MakeFinancialYear(2028, DateToDays(QDate(2028, 1, 1)), DateToDays(QDate(2028, 12, 31)));
    MakeFinancialYear(2029, DateToDays(QDate(2029, 1, 1)), DateToDays(QDate(2029, 12, 31)));
    Open();
    const auto count = [] { return VoCountRows(QStringLiteral("SELECT IDWGFACANFID FROM TDWGFACANF")); };
    const int before = count();

    ASSERT_TRUE(years->xacInsert->Execute());
    ChooseYear(QStringLiteral("2025"));
    years->xacPost->Execute();
    EXPECT_EQ(messages->LastText(), P + QStringLiteral("Anno Finanziario già definito. "));
    EXPECT_TRUE(years->xdlAnnoFin->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), years->xdlAnnoFin);

    ChooseYear(QStringLiteral("2028"));
    CustomDates(QStringLiteral("31/12/2027"), QStringLiteral("31/12/2028"));
    years->xacPost->Execute();
    EXPECT_EQ(
        messages->LastText(),
        P + QStringLiteral("La data d'inizio non può essere accettata, perchè si sovrappone ad un anno "
                           "finanziario già definito. \r\nL'anno finanziario può partire dal 01/01/2028 "
                           "in poi. "));
    EXPECT_EQ(QApplication::focusWidget(), years->xddInizio);

    VoTypeDate(years->xddInizio, QStringLiteral("03/01/2028"));
    messages->Clear();
    messages->Push(mrNo);
    years->xacPost->Execute();
    EXPECT_EQ(messages->Texts(),
              QStringList{P + QStringLiteral("Il tempo che intercorre tra il 01/01/2028 e il "
                                             "02/01/2028 non rientra in nessun Anno "
                                             "Finanziario definito. \r\nContinuare ? ")});
    EXPECT_EQ(QApplication::focusWidget(), years->xddInizio);
    EXPECT_EQ(count(), before);
    messages->Push({mrYes, mrYes});
    ASSERT_TRUE(years->xacPost->Execute());
    EXPECT_EQ(window->xqcAnniFinanziari->State(), dsBrowse);
    EXPECT_EQ(count(), before + 1);
    EXPECT_EQ(Shown(2028), QStringLiteral("03/01/2028..31/12/2028"));

    ASSERT_TRUE(years->xacInsert->Execute());
    ChooseYear(QStringLiteral("2029"));
    CustomDates(QStringLiteral("01/01/2029"), QString());
    messages->Clear();
    years->xacPost->Execute();
    EXPECT_EQ(messages->Texts(),
              QStringList{P + QStringLiteral("Se si vogliono personalizzare le date di inizio "
                                             "e fine è necessario specificarle entrambe. ")});
    EXPECT_EQ(QApplication::focusWidget(), years->xddFine);
    EXPECT_EQ(count(), before + 1);
}

TEST_F(kvaNuovoAnnoWindowTest, AMovedBoundaryMovesTheNeighbourInTheRowsTransaction) {
    const int y2025 = DemoRegisterYear(2025), y2026 = DemoRegisterYear(2026), y2027 = DemoRegisterYear(2027);
    // While the session says so, the database refuses the 2026 row's own update.
    VoExecRaw(QStringLiteral("CREATE EXCEPTION E_PROVA 'Aggiornamento rifiutato'"));
    VoExecRaw(QStringLiteral("CREATE TRIGGER T_PROVA FOR TDWGFACANF BEFORE UPDATE AS BEGIN IF "
                             "(NEW.IDWGFACANFID = %1 AND RDB$GET_CONTEXT('USER_SESSION', 'RIFIUTA') = '1') "
                             "THEN EXCEPTION E_PROVA; END")
                  .arg(y2026));
    const auto refuse = [](bool on) {
        VoSelectValue(
            QStringLiteral("SELECT RDB$SET_CONTEXT('USER_SESSION', 'RIFIUTA', :v) FROM RDB$DATABASE"),
            {{QStringLiteral("v"), on ? QStringLiteral("1") : QStringLiteral("0")}});
    };
    Open();
    EditYear(2026);
    CustomDates(QStringLiteral("02/01/2026"), QStringLiteral("31/12/2026"));
    messages->Push(mrNo);
    years->xacPost->Execute();
    EXPECT_TRUE(messages->LastText().startsWith(
        P + QStringLiteral("Modificando la data d'inizio si modificherà automaticamente la durata dell'anno "
                           "finanziario precedente.")));
    EXPECT_EQ(window->xqcAnniFinanziari->State(), dsEdit);
    EXPECT_EQ(QApplication::focusWidget(), years->xddInizio);
    EXPECT_EQ(Custom(y2025), QStringLiteral("-..-"));

    refuse(true);
    messages->Clear();
    messages->Push(mrYes);
    years->xacPost->Execute();
    ASSERT_EQ(messages->Texts().size(), 2);
    EXPECT_TRUE(messages->LastText().contains(QStringLiteral("Aggiornamento rifiutato")));
    EXPECT_EQ(window->xqcAnniFinanziari->State(), dsEdit);
    EXPECT_EQ(Custom(y2025), QStringLiteral("-..-")) << "the neighbour moves only with the row";

    refuse(false);
    messages->Clear();
    messages->Push(mrYes);
    ASSERT_TRUE(years->xacPost->Execute());
    EXPECT_EQ(window->xqcAnniFinanziari->State(), dsBrowse) << messages->LastText().toStdString();
    EXPECT_EQ(Custom(y2025), QStringLiteral("2025-01-01..2026-01-01"));
    EXPECT_EQ(Custom(y2026), QStringLiteral("2026-01-02..2026-12-31"));
    EXPECT_EQ(Shown(2025), QStringLiteral("01/01/2025..01/01/2026"));

    // The end moved back a day: the next year starts a day earlier.
    EditYear(2026);
    EXPECT_TRUE(years->cbImpostazioni->isChecked());
    VoTypeDate(years->xddFine, QStringLiteral("30/12/2026"));
    messages->Clear();
    messages->Push(mrYes);
    ASSERT_TRUE(years->xacPost->Execute());
    EXPECT_EQ(messages->Texts().size(), 1);
    EXPECT_EQ(Custom(y2027), QStringLiteral("2026-12-31..2027-12-31"));
    EXPECT_EQ(Custom(y2026), QStringLiteral("2026-01-02..2026-12-30"));
    EXPECT_EQ(Custom(y2025), QStringLiteral("2025-01-01..2026-01-01"));
}

TEST_F(kvaNuovoAnnoWindowTest, APostByMovingToAnotherRowIsCheckedToo) {
    Open();
    EditYear(2026);
    CustomDates(QStringLiteral("31/12/2025"), QStringLiteral("31/12/2026"));
    years->ShowList();
    // Moving on posts the row: the previous year's end is offered to move, and No keeps everything.
    QTest::keyClick(years->grFrame, Qt::Key_Down);
    // Refused, the grid goes back to the row once the key is done with.
    QApplication::processEvents();
    EXPECT_TRUE(
        messages->LastText().contains(QStringLiteral("Dopo modifica : \r\nInizio : 01/01/2025 \r\nFine : "
                                                     "30/12/2025 ")));
    EXPECT_EQ(window->xqcAnniFinanziari->FieldByName(QStringLiteral("IANFVALORE"))->AsInteger(), 2026);
    EXPECT_EQ(window->xqcAnniFinanziari->State(), dsEdit);
    EXPECT_EQ(Custom(DemoRegisterYear(2026)), QStringLiteral("-..-"));

    messages->Push(mrYes);
    QTest::keyClick(years->grFrame, Qt::Key_Down);
    EXPECT_EQ(window->xqcAnniFinanziari->FieldByName(QStringLiteral("IANFVALORE"))->AsInteger(), 2027);
    EXPECT_EQ(Custom(DemoRegisterYear(2025)), QStringLiteral("2025-01-01..2025-12-30"));
    EXPECT_EQ(Custom(DemoRegisterYear(2026)), QStringLiteral("2025-12-31..2026-12-31"));
}

TEST_F(kvaNuovoAnnoWindowTest, RowsStillInUseAreKept) {
    VoTestVoucher(kvaLoading, QDate(2026, 2, 1), DemoRegisterYear(2026), 1);
    MakeRegister(QStringLiteral("Senza anni"));
    Open();
    EditYear(2026);
    years->xacCancel->Execute();
    messages->Push(mrYes);
    years->xacDelete->Execute();
    EXPECT_EQ(messages->LastText(),
              P + QStringLiteral("Nell'anno finanziario ci sono dei buoni di carico o di "
                                 "scarico: non può essere cancellato. "));
    EXPECT_EQ(Shown(2026), QStringLiteral(".."));
    StandOnYear(2027);
    messages->Push(mrYes);
    years->xacDelete->Execute();
    EXPECT_EQ(window->xqcAnniFinanziari->RecordCount(), 2);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IDWGFACANFID FROM TDWGFACANF WHERE IDWGFACANFID = :id"),
                          {{QStringLiteral("id"), DemoRegisterYear(2026)}}),
              1);

    ASSERT_TRUE(window->xqcDataOwner->Locate(QStringLiteral("sFacDesc"), QStringLiteral("Facile consumo")));
    messages->Clear();
    messages->Push(mrYes);
    up->xacDelete->Execute();
    EXPECT_EQ(messages->LastText(),
              P + QStringLiteral("Il Velisto dell'istituto è aperto per uno o più anni "
                                 "finanziari: per cancellarlo bisogna prima cancellarne "
                                 "gli anni finanziari. "));
    EXPECT_EQ(window->xqcDataOwner->RecordCount(), 2);
    ASSERT_TRUE(window->xqcDataOwner->Locate(QStringLiteral("sFacDesc"), QStringLiteral("Senza anni")));
    messages->Push(mrYes);
    up->xacDelete->Execute();
    EXPECT_EQ(window->xqcDataOwner->RecordCount(), 1);
    EXPECT_EQ(
        VoCountRows(QStringLiteral("SELECT df.IDWGFACID FROM TDWGFAC df JOIN TFAC_VELISTO f ON f.IFACID = "
                                   "df.IFACID WHERE f.SFACDESC = 'Senza anni'")),
        0);
}

TEST_F(kvaNuovoAnnoWindowTest, ALinkAnotherCopyMadeMeanwhileIsNotMadeTwice) {
    const TVoTestRegister free = MakeRegister(QStringLiteral("Libero"));
    const QVariantHash reg{{QStringLiteral("f"), free.facId}};
    VoExecSQL(QStringLiteral("DELETE FROM TDWGFAC WHERE IFACID = :f"), reg);
    Open();
    ASSERT_TRUE(up->xacInsert->Execute());
    window->xqcDataOwner->FieldByName(QStringLiteral("iDwgId"))->SetAsInteger(DemoSchoolId());
    window->xqcDataOwner->FieldByName(QStringLiteral("iFacId"))->SetAsInteger(free.facId);
    EXPECT_EQ(up->xelVelist->text(), QStringLiteral("Libero"));
    VoExecSQL(QStringLiteral("INSERT INTO TDWGFAC (IDWGFACID, IDWGID, IFACID) VALUES (900, :s, :f)"),
              {{QStringLiteral("s"), DemoSchoolId()}, {QStringLiteral("f"), free.facId}});
    EXPECT_FALSE(up->xdsMain->Post());
    EXPECT_EQ(messages->Texts(),
              QStringList{P + QStringLiteral("Il Velisto è già collegato a questo istituto. ")});
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IDWGFACID FROM TDWGFAC WHERE IFACID = :f"), reg), 1);
}

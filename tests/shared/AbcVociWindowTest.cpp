// The budget items window as the office uses it on the demo data with the register-year of 2026
// chosen: the year's expense items, a new item with its proposed code and the rules of its post in
// their order, an item that models use, the accounts and the sub-items that follow an item, trash,
// a user without write rights, closing with an edit pending, and a context that is not complete.
#include "AbcFVoci.h"
#include "AbcMVpro.h"
#include "AbcRSottoVoci.h"
#include "AbcRVociProgetti.h"
#include "AbcTestBudget.h"
#include "AbcUUtil.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoGlobals.h"
#include "VoMDIMain.h"
#include "VoQuery.h"
#include "VoTestWindows.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString kNoAccount = QStringLiteral("Attenzione!\r\nAlmeno un conto deve essere selezionato");
const QString kModelsFollow = QStringLiteral(
    "Attenzione!\r\nAggiornando l'elemento selezionato \r\nsi aggiorneranno automaticamente anche "
    "tutti i modelli che fanno riferimento ad esso.\r\nContinuare?");
const QString kFrozen = QStringLiteral(
    "Attenzione!\r\nL'elemento selezionato non può essere modificato perchè esistono uno o più "
    "modelli congelati che fanno riferimento ad esso");

class AbcVociWindowTest : public AbcBudgetTest {
protected:
    void TearDown() override {
        VoCloseWindow(window);
        AbcBudgetTest::TearDown();
    }

    TfrVociProgetti *Open() {
        window = VoOpenWindow<TfmVoci>(QStringLiteral("TfmVoci"));
        return window ? window->frFVoci : nullptr;
    }
    TVoQueryCollection *Items() const { return dmVproDBQuery->xqcVoci; }
    QString Listed() const { return AbcBudgetTest::Listed(Items(), QStringLiteral("SVPROCOD")); }
    int ItemOf(const QString &code) const {
        return VoSelectValue(
                   QStringLiteral("SELECT MIN(IVPROID) FROM TVPRO_VOCIPROGETTI WHERE SVPROCOD = :c"),
                   {{QStringLiteral("c"), code}})
            .toInt();
    }
    int AggregateOf(const QString &code) const {
        return VoSelectValue(QStringLiteral("SELECT MIN(IAGGID) FROM TAGG_AGGREGATI WHERE SAGGDESCS = :c"),
                             {{QStringLiteral("c"), code}})
            .toInt();
    }
    // What is stored of an item: account kind, code, start and end.
    QString Stored(int item) const {
        TVoQuery q(QStringLiteral("SELECT * FROM TVPRO_VOCIPROGETTI WHERE IVPROID = :i"));
        q.SetParam(QStringLiteral("i"), item).Open();
        return QStringLiteral("%1 %2 %3-%4")
            .arg(q.AsInteger(QStringLiteral("ICORID")))
            .arg(q.AsString(QStringLiteral("SVPROCOD")), FormatDays(q.AsDate(QStringLiteral("DSTART"))),
                 q.IsNull(QStringLiteral("DEND")) ? QStringLiteral("aperta")
                                                  : FormatDays(q.AsDate(QStringLiteral("DEND"))));
    }
    // Stands on an item and starts editing it from the detail page.
    void Edit(const QString &code) {
        ASSERT_TRUE(Items()->Locate(QStringLiteral("SVPROCOD"), code));
        ASSERT_TRUE(window->frFVoci->xacEdit->Execute());
        ASSERT_EQ(Items()->State(), dsEdit);
    }
    // Posts as the user does (the answers to its questions pushed before) and says what it showed.
    QStringList Post() {
        const qsizetype before = messages->Shown().size();
        window->frFVoci->xacPost->Execute();
        return messages->Texts().mid(before);
    }

    QPointer<TfmVoci> window;
};

} // namespace

TEST_F(AbcVociWindowTest, OpensOnTheYearsExpenseItemsAndFollowsTheChosenYear) {
    const int otherSchool = school + 1000;
    const QDate from(2020, 1, 1);
    TestItem(AggregateOf(QStringLiteral("A")), QStringLiteral("A09"), BudgetRow(otherSchool));
    TestItem(AggregateOf(QStringLiteral("A")), QStringLiteral("A08"),
             BudgetRow(QVariant(), from, QDate(), true));
    TestItem(TestAggregate(QStringLiteral("K"), 2, BudgetRow(otherSchool)), QStringLiteral("K01"));
    TfrVociProgetti *fr = Open();
    ASSERT_TRUE(fr);
    EXPECT_TRUE(messages->Shown().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Voci e Progetti"));
    EXPECT_EQ(fr->FrameCaption(), QStringLiteral("Voci Progetti - Uscite - In totale"));
    EXPECT_EQ(fr->InfoText(), QStringLiteral("Esercizio Finanziario : 2026"));
    EXPECT_FALSE(window->frFSottoVoci->isVisibleTo(window));
    // A04 and the aggregate G end with 2025, P03 starts in 2026; R is out of total, 01 and 03 income.
    EXPECT_EQ(Listed(), QStringLiteral("A01|A02|A03|P01|P02|P03"));
    ASSERT_TRUE(Items()->Locate(QStringLiteral("SVPROCOD"), QStringLiteral("P02")));
    EXPECT_EQ(Items()->FieldByName(QStringLiteral("ContoCompetenza"))->AsString(), QStringLiteral("SI"));
    EXPECT_EQ(Items()->FieldByName(QStringLiteral("ContoResidui"))->AsString(), QStringLiteral("NO"));
    EXPECT_TRUE(fr->ckCompetenza->isChecked());
    EXPECT_FALSE(fr->ckResidui->isChecked());

    // Another register-year chosen (with the windows closed, as kva requires) shows its year.
    VoCloseWindow(window);
    ChooseYear(2025);
    fr = Open();
    ASSERT_TRUE(fr);
    EXPECT_EQ(Listed(), QStringLiteral("A01|A02|A03|A04|G01|P01|P02"));
    EXPECT_EQ(fr->InfoText(), QStringLiteral("Esercizio Finanziario : 2025"));

    // Reactivated with the same year, the list is not read again; with another year, it is.
    TestItem(AggregateOf(QStringLiteral("A")), QStringLiteral("A05"));
    Reactivate(window);
    EXPECT_EQ(Listed(), QStringLiteral("A01|A02|A03|A04|G01|P01|P02"));
    EXPECT_EQ(fr->InfoText(), QStringLiteral("Esercizio Finanziario 2025"));
    ChooseYear(2026);
    Reactivate(window);
    EXPECT_EQ(Listed(), QStringLiteral("A01|A02|A03|A05|P01|P02|P03"));
    EXPECT_EQ(fr->InfoText(), QStringLiteral("Esercizio Finanziario 2026"));
    EXPECT_TRUE(messages->Shown().isEmpty()) << messages->LastText().toStdString();
}

TEST_F(AbcVociWindowTest, NewItemGetsAProposedCodeAndItsPostsRulesInOrder) {
    TfrVociProgetti *fr = Open();
    ASSERT_TRUE(fr);
    ASSERT_TRUE(fr->xacInsert->Execute());
    EXPECT_TRUE(fr->DetailShown());
    EXPECT_EQ(fr->xddDataInizio->Text(), QStringLiteral("01/01/2026"));
    EXPECT_EQ(fr->xddDataFine->Text(), QStringLiteral("31/12/2026"));
    EXPECT_FALSE(fr->ckCompetenza->isChecked() || fr->ckResidui->isChecked());

    fr->xdlAggregato->setFocus();
    TVoSearchSeen seen;
    VoSearchAndChoose(QStringLiteral("Progetti"), &seen);
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.caption, QStringLiteral("Aggregati"));
    EXPECT_EQ(seen.titles, (QStringList{QStringLiteral("Codice"), QStringLiteral("Descrizione")}));
    EXPECT_EQ(seen.rows, 2) << "only the open aggregates A and P";
    EXPECT_EQ(fr->xdlAggregato->text(), QStringLiteral("Progetti"));
    EXPECT_EQ(fr->xdeCodice->text(), QStringLiteral("P04"));

    const struct {
        const char *start;
        const char *end;
        const char *code;
        bool competenza;
        QString message;
        QWidget *focus;
    } steps[] = {
        {"01/01/2026", "31/12/2026", "P04", false, kNoAccount, nullptr},
        {"31/12/2025", "31/12/2026", "P04", true,
         QStringLiteral(
             "Attenzione!\r\nLa data di avvio della voce non può essere accettata \r\nin quanto non "
             "rientra nell'esercizio finanziario di inserimento \r\nData avvio minima: 01/01/2026"),
         fr->xddDataInizio},
        {"01/01/2027", "", "P04", true,
         QStringLiteral(
             "Attenzione!\r\nLa data di avvio della voce non può essere accettata \r\nin quanto non "
             "rientra nell'esercizio finanziario selezionato \r\nData avvio massima: 31/12/2026"),
         fr->xddDataInizio},
        {"", "", "P04", true, QStringLiteral("Attenzione!\r\nCampo obbligatorio \"Data inizio\""),
         fr->xddDataInizio},
        {"01/01/2026", "01/01/2026", "P04", true,
         QStringLiteral(
             "Attenzione!\r\nLa data di chiusura della voce non può essere accettata in quanto non "
             "rientra nell'esercizio finanziario selezionato.\r\nData chiusura minima: 02/01/2026"),
         fr->xddDataFine},
        {"01/03/2026", "02/01/2026", "P04", true,
         QStringLiteral("Attenzione!\r\nLa data di fine deve essere maggiore o uguale alla data d'inizio"),
         fr->xddDataFine},
        {"01/03/2026", "", "", true, QStringLiteral("Attenzione!\r\nCampo obbligatorio \"Codice\""),
         fr->xdeCodice},
        {"01/03/2026", "", "A01", true,
         QStringLiteral("Attenzione!\r\nIl codice immesso è errato\r\nCodice consentito: P + numero"),
         fr->xdeCodice},
        {"01/03/2026", "", "P", true,
         QStringLiteral("Attenzione!\r\nIl codice immesso è errato\r\nCodice consentito: P + numero"),
         fr->xdeCodice},
        {"01/03/2026", "", "P02", true,
         QStringLiteral(
             "Attenzione!\r\nEsiste una voce o progetto con lo stesso codice.Cambiare codice o data di "
             "fine del progetto."),
         nullptr},
    };
    for (const auto &step : steps) {
        VoTypeDate(fr->xddDataInizio, QString::fromLatin1(step.start));
        VoTypeDate(fr->xddDataFine, QString::fromLatin1(step.end));
        fr->xdeCodice->setFocus();
        fr->xdeCodice->selectAll();
        if (*step.code)
            VoType(QString::fromLatin1(step.code));
        else
            VoPress(Qt::Key_Delete);
        VoPress(Qt::Key_Tab);
        if (fr->ckCompetenza->isChecked() != step.competenza)
            VoClick(fr->ckCompetenza);
        EXPECT_EQ(Post(), QStringList{step.message}) << step.start << " " << step.end << " " << step.code;
        EXPECT_EQ(Items()->State(), dsInsert);
        if (step.focus) {
            EXPECT_EQ(QApplication::focusWidget(), step.focus) << step.message.toStdString();
        }
    }
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TVPRO_VOCIPROGETTI WHERE SVPROCOD = 'P04'")), 0);

    fr->xdeCodice->setFocus();
    fr->xdeCodice->selectAll();
    VoType(QStringLiteral("p04"));
    fr->xdeDescrizione->setFocus();
    VoType(QStringLiteral("Nuovo progetto"));
    EXPECT_TRUE(Post().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(Items()->State(), dsBrowse);
    const int item = ItemOf(QStringLiteral("P04"));
    EXPECT_EQ(Stored(item), QStringLiteral("1 P04 01/03/2026-aperta"));
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT IDWGID || '/' || COALESCE(ITCKID, 'null') || '/' || "
                                           "SVPRODESCS FROM TVPRO_VOCIPROGETTI WHERE IVPROID = :i"),
                            {{QStringLiteral("i"), item}})
                  .toString(),
              QStringLiteral("%1/null/Nuovo progetto").arg(school));
    EXPECT_EQ(dmVproDBQuery->CurrentVproId, item);
    EXPECT_EQ(Items()->FieldByName(QStringLiteral("ContoCompetenza"))->AsString(), QStringLiteral("SI"));
    EXPECT_TRUE(fr->ckCompetenza->isChecked());
}

TEST_F(AbcVociWindowTest, AnItemModelsUseMovesOnlyWhereTheyFollowAfterConfirmation) {
    const int a01 = ItemOf(QStringLiteral("A01"));
    TestModel(a01, school, 2027); // the models reach 2027
    TfrVociProgetti *fr = Open();
    ASSERT_TRUE(fr);
    const QString postponed =
        QStringLiteral("Attenzione!\r\nLa data di avvio della voce o progetto non può essere "
                       "posticipata perchè esistono uno o più modelli che fanno riferimento "
                       "ad essa");
    const QString accountLost =
        QStringLiteral("Attenzione!\r\nL'elemento selezionato non può passare da competenza a residuio "
                       "viceversa, perchè uno o più "
                       "modelli fanno riferimento ad esso.\r\nE'possibile solamente passare ad entrambi");
    Edit(QStringLiteral("A01"));
    VoTypeDate(fr->xddDataInizio, QStringLiteral("02/01/2020"));
    EXPECT_EQ(Post(), QStringList{postponed});
    EXPECT_EQ(QApplication::focusWidget(), fr->xddDataInizio);
    // Earlier is allowed, also before the year start; the end must pass the latest model year.
    VoTypeDate(fr->xddDataInizio, QStringLiteral("01/01/2019"));
    VoTypeDate(fr->xddDataFine, QStringLiteral("01/01/2027"));
    EXPECT_EQ(Post(),
              QStringList{QStringLiteral("Attenzione ! \r\nLa data di chiusura della voce o progetto deve "
                                         "essere posticipata perchè esistono uno o più modelli che fanno "
                                         "riferimento ad essa.\r\nData chiusura minima: 02/01/2027")});
    EXPECT_EQ(QApplication::focusWidget(), fr->xddDataFine);
    VoTypeDate(fr->xddDataFine, QStringLiteral("02/01/2027"));
    VoClick(fr->ckResidui);
    EXPECT_EQ(Post(), QStringList{accountLost});
    VoClick(fr->ckResidui);
    // The aggregate stays: asked first, then refused.
    fr->xdlAggregato->SetKeyValue(AggregateOf(QStringLiteral("P")));
    messages->Push(mrYes);
    EXPECT_EQ(Post(),
              (QStringList{kModelsFollow, QStringLiteral("Attenzione!\r\nImpossibile cambiare l'aggregato "
                                                         "della voce o progetto perchè ci sono uno o più "
                                                         "modelli che fanno riferimento ad essa")}));
    const TVoShownMessage &question = messages->Shown()[messages->Shown().size() - 2];
    EXPECT_EQ(question.caption, QStringLiteral("Attenzione !"));
    EXPECT_EQ(question.type, mtWarning);
    EXPECT_EQ(question.buttons, mbYesNo);
    fr->xdlAggregato->SetKeyValue(AggregateOf(QStringLiteral("A")));
    fr->xdeCodice->setFocus();
    fr->xdeCodice->selectAll();
    VoType(QStringLiteral("A01"));
    messages->Push(mrNo);
    EXPECT_EQ(Post(), QStringList{kModelsFollow});
    EXPECT_EQ(Items()->State(), dsEdit);
    EXPECT_EQ(Stored(a01), QStringLiteral("3 A01 01/01/2020-aperta"));
    messages->Push(mrYes);
    EXPECT_EQ(Post(), QStringList{kModelsFollow});
    EXPECT_EQ(Items()->State(), dsBrowse);
    EXPECT_EQ(Stored(a01), QStringLiteral("3 A01 01/01/2019-02/01/2027"));

    // An item with one account may gain the other.
    VoExecSQL(QStringLiteral("UPDATE TVPRO_VOCIPROGETTI SET ICORID = 2 WHERE IVPROID = :i"),
              {{QStringLiteral("i"), a01}});
    Items()->Refresh();
    ASSERT_TRUE(Items()->Locate(QStringLiteral("IVPROID"), a01));
    fr->ShowDetail();
    EXPECT_FALSE(fr->ckCompetenza->isChecked());
    VoClick(fr->ckCompetenza);
    EXPECT_EQ(Items()->State(), dsEdit) << "a box clicked on a stored item starts editing it";
    messages->Push(mrYes);
    EXPECT_EQ(Post(), QStringList{kModelsFollow});
    EXPECT_EQ(Stored(a01), QStringLiteral("3 A01 01/01/2019-02/01/2027"));

    // A frozen model keeps the code and the aggregate; the rest may change after confirmation.
    Edit(QStringLiteral("P01"));
    fr->xdeCodice->setFocus();
    fr->xdeCodice->selectAll();
    VoType(QStringLiteral("P09"));
    EXPECT_EQ(Post(), QStringList{kFrozen});
    fr->xdeCodice->selectAll();
    VoType(QStringLiteral("P01"));
    fr->xdlAggregato->SetKeyValue(AggregateOf(QStringLiteral("A")));
    fr->xdeCodice->selectAll();
    VoType(QStringLiteral("A07"));
    EXPECT_EQ(Post(), QStringList{kFrozen});
    fr->xdlAggregato->SetKeyValue(AggregateOf(QStringLiteral("P")));
    fr->xdeCodice->selectAll();
    VoType(QStringLiteral("P01"));
    fr->xdeDescrizione->setFocus();
    fr->xdeDescrizione->selectAll();
    VoType(QStringLiteral("Progetti scientifici"));
    messages->Push(mrYes);
    EXPECT_EQ(Post(), QStringList{kModelsFollow});
    EXPECT_EQ(
        VoSelectValue(QStringLiteral("SELECT SVPRODESCS FROM TVPRO_VOCIPROGETTI WHERE SVPROCOD = 'P01'"))
            .toString(),
        QStringLiteral("Progetti scientifici"));
}

TEST_F(AbcVociWindowTest, TheBoxesGiveTheAccountKindAndTheSubItemsFollowTheirItem) {
    const int a02 = ItemOf(QStringLiteral("A02"));
    TestSubItem(a02, QStringLiteral("001"));
    TBudgetRow one = BudgetRow(QVariant(), QDate(2020, 1, 1), QDate(2030, 6, 30));
    one.corId = 1;
    TestSubItem(a02, QStringLiteral("002"), one);
    auto subItems = [&] {
        return VoSelectValue(QStringLiteral("SELECT LIST(ICORID || ' ' || COALESCE(DSTART, 'null') || ' ' || "
                                            "COALESCE(DEND, 'null'), '|') FROM (SELECT * FROM TSVO_SOTTOVOCI "
                                            "WHERE IVPROID = :i ORDER BY ISVOID)"),
                             {{QStringLiteral("i"), a02}})
            .toString();
    };
    TfrVociProgetti *fr = Open();
    ASSERT_TRUE(fr);
    const struct {
        bool competenza, residui;
        const char *end;
        int corId;
        const char *subItems;
    } cases[] = {
        // Only one account: the sub-items take it with the dates; an open item leaves theirs open.
        {true, false, "", 1, "1 2019-01-01 null|1 2019-01-01 null"},
        {false, true, "30/06/2026", 2, "2 2019-01-01 2026-06-30|2 2019-01-01 2026-06-30"},
        // Both: the sub-items keep their own accounts.
        {true, true, "", 3, "2 2019-01-01 null|2 2019-01-01 null"},
    };
    for (const auto &c : cases) {
        Edit(QStringLiteral("A02"));
        VoTypeDate(fr->xddDataInizio, QStringLiteral("01/01/2019"));
        VoTypeDate(fr->xddDataFine, QString::fromLatin1(c.end));
        if (fr->ckCompetenza->isChecked() != c.competenza)
            VoClick(fr->ckCompetenza);
        if (fr->ckResidui->isChecked() != c.residui)
            VoClick(fr->ckResidui);
        EXPECT_TRUE(Post().isEmpty()) << messages->LastText().toStdString();
        EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT ICORID FROM TVPRO_VOCIPROGETTI WHERE IVPROID = :i"),
                                {{QStringLiteral("i"), a02}})
                      .toInt(),
                  c.corId);
        EXPECT_EQ(subItems(), QString::fromLatin1(c.subItems)) << c.corId;
        EXPECT_EQ(fr->ckCompetenza->isChecked(), c.competenza);
        EXPECT_EQ(fr->ckResidui->isChecked(), c.residui);
    }

    // Items of the aggregates 13 and 14 are made with ticket kind 2.
    for (int id : {13, 14})
        VoExecSQL(QStringLiteral("INSERT INTO TAGG_AGGREGATI (IAGGID, SAGGDESCS, SAGGDESCL, IFLSID, ITITOID, "
                                 "DSTART) VALUES (:id, 'T' || :id, 'Aggregato ' || :id, 2, 1, '2020-01-01')"),
                  {{QStringLiteral("id"), id}});
    fr->SetAggregateList();
    for (int id : {13, 14, AggregateOf(QStringLiteral("P"))}) {
        ASSERT_TRUE(fr->xacInsert->Execute());
        fr->xdlAggregato->SetKeyValue(id);
        VoClick(fr->ckCompetenza);
        EXPECT_TRUE(Post().isEmpty()) << messages->LastText().toStdString();
        EXPECT_EQ(
            VoSelectValue(QStringLiteral("SELECT COALESCE(ITCKID, 0) FROM TVPRO_VOCIPROGETTI WHERE IVPROID "
                                         "= :i"),
                          {{QStringLiteral("i"), dmVproDBQuery->CurrentVproId}})
                .toInt(),
            id == 13 || id == 14 ? 2 : 0)
            << id;
    }
}

TEST_F(AbcVociWindowTest, TrashRetiresTheItemAfterTheQuestion) {
    const int a03 = ItemOf(QStringLiteral("A03"));
    TfrVociProgetti *fr = Open();
    ASSERT_TRUE(fr);
    ASSERT_TRUE(Items()->Locate(QStringLiteral("SVPROCOD"), QStringLiteral("A03")));
    messages->Push(mrNo);
    fr->xacDelete->Execute();
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Cancellare il record?")});
    EXPECT_EQ(Listed(), QStringLiteral("A01|A02|A03|P01|P02|P03"));
    messages->Push(mrYes);
    ASSERT_TRUE(Items()->Locate(QStringLiteral("SVPROCOD"), QStringLiteral("A03")));
    fr->xacDelete->Execute();
    EXPECT_EQ(messages->Shown().size(), 2);
    EXPECT_EQ(Listed(), QStringLiteral("A01|A02|P01|P02|P03"));
    EXPECT_EQ(
        VoCountRows(QStringLiteral("SELECT * FROM TVPRO_VOCIPROGETTI WHERE IVPROID = :i AND DDELETE IS NOT "
                                   "NULL"),
                    {{QStringLiteral("i"), a03}}),
        1);
    Items()->Refresh();
    EXPECT_EQ(Listed(), QStringLiteral("A01|A02|P01|P02|P03"));
}

TEST_F(AbcVociWindowTest, AUserWithoutWriteRightsOnlyReads) {
    conn->F = 0x3FF & ~0x100;
    TfrVociProgetti *fr = Open();
    ASSERT_TRUE(fr);
    ASSERT_EQ(messages->Shown().size(), 1);
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Attenzione!\r\nL'utente non ha i diritti di scrittura e modifica."));
    EXPECT_EQ(messages->Shown().first().type, mtInformation);
    for (TVoDataAction *action : {fr->xacInsert, fr->xacEdit, fr->xacDelete, fr->xacPost})
        EXPECT_TRUE(action->Locked() && !action->isEnabled()) << action->text().toStdString();
    EXPECT_EQ(Listed(), QStringLiteral("A01|A02|A03|P01|P02|P03"));
    fr->grFrame->setFocus();
    VoPress(Qt::Key_Insert);
    VoPress(Qt::Key_F2);
    EXPECT_EQ(Items()->State(), dsBrowse);
    // The frame's own handlers refuse without a word, as does a post started elsewhere.
    fr->xacInsertExecute();
    fr->xacEditExecute();
    fr->xacDeleteExecute();
    EXPECT_EQ(Items()->State(), dsBrowse);
    ASSERT_TRUE(Items()->Locate(QStringLiteral("SVPROCOD"), QStringLiteral("A02")));
    Items()->Edit();
    Items()->FieldByName(QStringLiteral("SVPRODESCS"))->SetValue(QStringLiteral("Scritto"));
    EXPECT_FALSE(Items()->Post());
    EXPECT_EQ(messages->Shown().size(), 1);
    Items()->Cancel();
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TVPRO_VOCIPROGETTI WHERE SVPRODESCS = 'Scritto'")),
              0);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TVPRO_VOCIPROGETTI WHERE DDELETE IS NOT NULL")), 0);
}

TEST_F(AbcVociWindowTest, ClosingWithAnEditPendingAsksWhetherToSave) {
    const int a02 = ItemOf(QStringLiteral("A02"));
    const struct {
        int answer;
        const char *end;
        bool closes;
        bool saved;
        int messages;
    } cases[] = {
        {mrCancel, "30/06/2026", false, false, 1},
        {mrNo, "30/06/2026", true, false, 1},
        {mrYes, "30/06/2026", true, true, 1},
        {mrYes, "01/01/2026", false, false, 2},
    };
    for (const auto &c : cases) {
        VoExecSQL(QStringLiteral("UPDATE TVPRO_VOCIPROGETTI SET DEND = NULL WHERE IVPROID = :i"),
                  {{QStringLiteral("i"), a02}});
        messages->Clear();
        TfrVociProgetti *fr = Open();
        ASSERT_TRUE(fr);
        // Browsing, the window closes without a question.
        if (c.answer == mrCancel) {
            window->close();
            EXPECT_TRUE(window->isHidden());
            EXPECT_TRUE(messages->Shown().isEmpty());
            fr = Open();
        }
        Edit(QStringLiteral("A02"));
        VoTypeDate(fr->xddDataFine, QString::fromLatin1(c.end));
        messages->Push(c.answer);
        window->close();
        ASSERT_EQ(messages->Shown().size(), c.messages) << c.answer;
        const TVoShownMessage &question = messages->Shown().first();
        EXPECT_EQ(question.text, QStringLiteral("Salvare le modifiche prima di chiudere?"));
        EXPECT_EQ(question.caption, QStringLiteral("Voci e Progetti"));
        EXPECT_EQ(question.type, mtConfirmation);
        EXPECT_EQ(question.buttons, mbYesNoCancel);
        EXPECT_EQ(window->isHidden(), c.closes) << c.answer;
        EXPECT_EQ(Stored(a02), c.saved ? QStringLiteral("3 A02 01/01/2020-30/06/2026")
                                       : QStringLiteral("3 A02 01/01/2020-aperta"))
            << c.answer;
        if (!c.closes) {
            EXPECT_EQ(Items()->State(), dsEdit) << "the row keeps what was typed";
        }
        VoCloseWindow(window);
    }
}

TEST_F(AbcVociWindowTest, AnIncompleteContextSaysWhatIsMissingAndCloses) {
    const QStringList missing{QStringLiteral("Anno Finanziario corrente non settato"),
                              QStringLiteral("Istituto corrente non settato"),
                              QStringLiteral("Data di inizio dell'anno finanziario corrente non settata"),
                              QStringLiteral("Data di fine dell'anno finanziario corrente non settata")};
    // kva without a register-year chosen: year, school and dates 0.
    xgvmGlobalVar.Clear();
    kva::LoadWorkingContext(false);
    ASSERT_EQ(CurrentYearValue, 0);
    ASSERT_TRUE(CheckCurrentContext(CurrentYearValue, CurrentSchoolId)) << "kva's own check lets it through";
    messages->Clear();
    window = qobject_cast<TfmVoci *>(CreateVoClass(QStringLiteral("TfmVoci")));
    ASSERT_TRUE(window);
    window->show();
    EXPECT_EQ(messages->Texts(), missing);
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window) << "the window closes";
    EXPECT_FALSE(Items()->Active());

    // A context that goes missing while the window is open closes it at its next activation, giving
    // up the edit.
    ChooseYear(2026);
    TfrVociProgetti *fr = Open();
    ASSERT_TRUE(fr);
    Edit(QStringLiteral("A02"));
    VoTypeDate(fr->xddDataFine, QStringLiteral("30/06/2026"));
    messages->Clear();
    CurrentSchoolId = 0;
    Reactivate(window);
    EXPECT_EQ(messages->Texts(), QStringList{missing[1]}) << "the year's own dates stand";
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window);
    EXPECT_EQ(messages->Shown().size(), 1) << "no question about saving";
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TVPRO_VOCIPROGETTI WHERE DEND = '2026-06-30'")), 0);
}

TEST_F(AbcVociWindowTest, InTheMainWindowItFollowsTheYearWhenBroughtBackAndClosesWhenItCannotWork) {
    TfmVoMDIMain main;
    ASSERT_TRUE(VoShowActive(&main));
    window = qobject_cast<TfmVoci *>(CreateVoClass(QStringLiteral("TfmVoci")));
    ASSERT_TRUE(window);
    main.AddMDIChild(window);
    auto *other = new TfmVoChildDB;
    other->setWindowTitle(QStringLiteral("Altra"));
    main.AddMDIChild(other);
    QApplication::processEvents();
    ASSERT_EQ(main.ActiveMDIChild(), other);
    ChooseYear(2025);
    TfmVoMDIMain::BringToFront(window);
    QApplication::processEvents();
    EXPECT_EQ(Listed(), QStringLiteral("A01|A02|A03|A04|G01|P01|P02"));

    // Without a school the window tells so and goes, its frame with it.
    CurrentSchoolId = 0;
    TfmVoMDIMain::BringToFront(other);
    TfmVoMDIMain::BringToFront(window);
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Istituto corrente non settato")});
    EXPECT_FALSE(window);
    EXPECT_EQ(main.MDIChildCount(), 1);
}

// The delivery-sector window: the current and historicised sectors by the server's date, a new
// sector's start, the rooms of the building chosen, "Trova", the responsibles of the current sector,
// the search box over the sectors, and closing with an edit pending.
#include "AbeFSettConsegna.h"
#include "AbeMSettCons.h"
#include "AbeRResponsabili.h"
#include "AbeRRicerca.h"
#include "AbeRSettConsegna.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoDBMoneyEdit.h"
#include "VoQuery.h"
#include "VoSearchDialog.h"
#include "VoTestData.h"
#include "VoTestWindows.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class AbeSettConsegnaTest : public kvaWindowTest {
protected:
    void SetUp() override {
        kvaWindowTest::SetUp();
        dmSecSettCons = new TdmSecSettCons;
        dmSecSettCons->BindConnection(conn.get());
        today = VoSelectValue(QStringLiteral("SELECT CURRENT_DATE FROM RDB$DATABASE")).toDate();
    }
    void TearDown() override {
        kvaWindowTest::TearDown();
        delete dmSecSettCons;
        dmSecSettCons = nullptr;
    }

    void OpenWindow() {
        fm = Open<TfmSettConsegna>(QStringLiteral("TfmSettConsegna"));
        ASSERT_TRUE(fm);
        fr = fm->frSettConsegna;
        rsp = fm->frResponsabili;
    }
    static int AddSector(const QString &code, const QString &description, const QVariant &end) {
        const int id = VoTestNewKey(QStringLiteral("TSEC_SETTCONS"));
        VoExecSQL(
            QStringLiteral("INSERT INTO TSEC_SETTCONS (ISECID, SSECCOD, SSECDESCS, DSTART, DEND) VALUES "
                           "(:id, :cod, :des, '2020-01-01', :fine)"),
            {{QStringLiteral("id"), id},
             {QStringLiteral("cod"), code},
             {QStringLiteral("des"), description},
             {QStringLiteral("fine"), end.isNull() ? VoNull(QMetaType::QDate) : end}});
        return id;
    }
    // The procedure that gives the server's time answers with another expression.
    static void ServerTimeIs(const QString &expression) {
        VoExecRaw(QStringLiteral("ALTER PROCEDURE PYGETSERVERTIMESTAMP RETURNS (SERVERDATE TIMESTAMP) AS "
                                 "BEGIN SERVERDATE = %1; SUSPEND; END")
                      .arg(expression));
    }
    static QString Listed(TVoQueryCollection *c, const char *field = "SSECCOD") {
        QStringList values;
        for (int row = 0; row < c->RecordCount(); ++row)
            c->ReadRow(row, [&] { values << c->FieldByName(QString::fromLatin1(field))->AsString(); });
        return values.join(QLatin1Char('|'));
    }
    QString Sectors() const { return Listed(dmSecSettCons->xqcsettConsegna); }
    TVoQueryCollection *Sec() const { return dmSecSettCons->xqcsettConsegna; }
    static QStringList Row(int id) {
        return VoRowTexts(
            QStringLiteral("SELECT SSECCOD, DSTART, DEND, ISECDISPONIBILITA, ISTZID, DDELETE FROM "
                           "TSEC_SETTCONS WHERE ISECID = :id"),
            {{QStringLiteral("id"), id}});
    }

    QDate today;
    TfmSettConsegna *fm = nullptr;
    TfrSettConsegna *fr = nullptr;
    TfrResponsabili *rsp = nullptr;
};

} // namespace

TEST_F(AbeSettConsegnaTest, CurrentAndHistoricisedSectorsMeetAtTheServersDay) {
    AddSector(QStringLiteral("OGG"), QStringLiteral("Finisce oggi"), today);
    AddSector(QStringLiteral("IER"), QStringLiteral("Finito ieri"), today.addDays(-1));
    AddSector(QStringLiteral("DOM"), QStringLiteral("Finisce domani"), today.addDays(1));
    OpenWindow();
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("Settori di consegna"));
    EXPECT_EQ(Sectors(), QStringLiteral("DOM|LAB|OGG|PAL|SEG"));
    ASSERT_TRUE(Sec()->Locate(QStringLiteral("SSECCOD"), QStringLiteral("SEG")));
    EXPECT_EQ(Sec()->FieldByName(QStringLiteral("SSTZSDESC"))->AsString(), QStringLiteral("Segreteria"));
    EXPECT_EQ(Sec()->FieldByName(QStringLiteral("SEDFDESCS"))->AsString(),
              QStringLiteral("Edificio principale"));
    EXPECT_EQ(fr->xneDisponibilita->text(), QStringLiteral("1.500,00"));

    fr->xacStorico->trigger();
    EXPECT_EQ(Sectors(), QStringLiteral("IER"));
    EXPECT_TRUE(fr->Storicizzati);
    EXPECT_TRUE(fr->xacStorico->isChecked());
    EXPECT_EQ(TfrVoDBROGrid::ActionImageIndex(fr->xacStorico), fr->imgTogliFiltro);
    EXPECT_EQ(fr->xacStorico->toolTip(), QStringLiteral("Togli Filtro"));
    fr->xacStorico->trigger();
    EXPECT_EQ(Sectors(), QStringLiteral("DOM|LAB|OGG|PAL|SEG"));
    EXPECT_FALSE(fr->xacStorico->isChecked());
    EXPECT_EQ(TfrVoDBROGrid::ActionImageIndex(fr->xacStorico), fr->imgStorico);
    EXPECT_EQ(fr->xacStorico->toolTip(), QStringLiteral("Visualizza settori storicizzati"));
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
}

TEST_F(AbeSettConsegnaTest, ANewSectorStartsOnTheServersDateWhichAnUpdateKeeps) {
    ServerTimeIs(QStringLiteral("CAST('2031-03-15 10:30:00' AS TIMESTAMP)"));
    OpenWindow();
    const int before = VoCountRows(QStringLiteral("SELECT * FROM TSEC_SETTCONS"));
    ASSERT_TRUE(fr->xacInsert->Execute());
    fr->xacPost->Execute();
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Attenzione!\r\nValore obbligatorio per il campo \"Codice\""));
    EXPECT_EQ(Sec()->State(), dsInsert);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TSEC_SETTCONS")), before);

    VoTypeInto(fr->xedCodice, QStringLiteral("nuo"));
    VoTypeInto(fr->xedDescrizione, QStringLiteral("Nuovo settore"));
    // A fifth decimal is refused, never rounded.
    VoTypeInto(fr->xneDisponibilita, QStringLiteral("1,23456"));
    fr->xacPost->Execute();
    EXPECT_EQ(messages->LastText(), QStringLiteral("Attenzione ! \r\n\"1,23456\" non è un numero valido. "));
    EXPECT_EQ(Sec()->State(), dsInsert);
    VoTypeInto(fr->xneDisponibilita, QStringLiteral("1.234,5678"));
    ASSERT_TRUE(fr->xacPost->Execute()) << messages->LastText().toStdString();
    const int id = Sec()->FieldByName(QStringLiteral("ISECID"))->AsInteger();
    EXPECT_EQ(Row(id), (QStringList{QStringLiteral("NUO"), QStringLiteral("2031-03-15"), QString(),
                                    QStringLiteral("12345678"), QString(), QString()}));

    // Ended yesterday, it goes among the historicised sectors; its start stays.
    ServerTimeIs(QStringLiteral("CAST('2032-01-01 08:00:00' AS TIMESTAMP)"));
    ASSERT_TRUE(fr->xacEdit->Execute());
    VoTypeDate(fr->xddFine, today.addDays(-1).toString(QStringLiteral("dd/MM/yyyy")));
    // The toggle saves what is typed before it reads the other list.
    fr->xacStorico->trigger();
    EXPECT_EQ(Row(id).mid(0, 3), (QStringList{QStringLiteral("NUO"), QStringLiteral("2031-03-15"),
                                              today.addDays(-1).toString(Qt::ISODate)}));
    EXPECT_EQ(Sectors(), QStringLiteral("NUO"));
}

TEST_F(AbeSettConsegnaTest, ASectorIsNotWrittenWhenTheServersDateCannotBeRead) {
    ServerTimeIs(QStringLiteral("CAST('mai' AS TIMESTAMP)"));
    OpenWindow();
    const int before = VoCountRows(QStringLiteral("SELECT * FROM TSEC_SETTCONS"));
    ASSERT_TRUE(fr->xacInsert->Execute());
    VoTypeInto(fr->xedCodice, QStringLiteral("NUO"));
    fr->xacPost->Execute();
    ASSERT_EQ(messages->Texts().size(), 1);
    // Told in the user's words; the engine's are the detail.
    EXPECT_EQ(messages->LastText(), QStringLiteral("Un valore non si può leggere come il database se lo "
                                                   "aspetta (una data, un numero)."));
    EXPECT_TRUE(messages->Shown().last().detail.contains(QStringLiteral("conversion"), Qt::CaseInsensitive))
        << messages->Shown().last().detail.toStdString();
    EXPECT_EQ(Sec()->State(), dsInsert);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TSEC_SETTCONS")), before);
}

TEST_F(AbeSettConsegnaTest, DeletingMarksTheSectorOrResponsibleDeleted) {
    OpenWindow();
    const int seg = VoTestSector(QStringLiteral("SEG"));
    ASSERT_TRUE(Sec()->Locate(QStringLiteral("ISECID"), seg));
    ASSERT_EQ(Listed(dmSecSettCons->xqcResponsabili, "SANACOGNOME"), QStringLiteral("Bianchi"));
    messages->Push({mrYes, mrYes});
    ASSERT_TRUE(rsp->xacDelete->Execute());
    EXPECT_EQ(VoCountRows(QStringLiteral(
                              "SELECT * FROM TRSP_RESPONSABILI WHERE ISECID = :id AND DDELETE IS NOT NULL"),
                          {{QStringLiteral("id"), seg}}),
              1);
    ASSERT_TRUE(fr->xacDelete->Execute());
    EXPECT_FALSE(Row(seg).last().isEmpty());
    EXPECT_EQ(Sectors(), QStringLiteral("LAB|PAL"));
    Sec()->Refresh();
    EXPECT_EQ(Sectors(), QStringLiteral("LAB|PAL"));
}

TEST_F(AbeSettConsegnaTest, ResponsiblesFollowTheSectorAndANewOneBelongsToIt) {
    OpenWindow();
    ASSERT_TRUE(Sec()->Locate(QStringLiteral("SSECCOD"), QStringLiteral("SEG")));
    EXPECT_EQ(Listed(dmSecSettCons->xqcResponsabili, "SANACAGCODE"), QStringLiteral("000123"));
    EXPECT_EQ(rsp->laNome->text(), QStringLiteral("Bianchi Maria"));
    const int lab = VoTestSector(QStringLiteral("LAB"));
    ASSERT_TRUE(Sec()->Locate(QStringLiteral("ISECID"), lab));
    EXPECT_EQ(Listed(dmSecSettCons->xqcResponsabili, "SANACAGCODE"), QString());

    ASSERT_TRUE(rsp->xacInsert->Execute());
    EXPECT_EQ(rsp->xddInizio->Date(), QDate::currentDate());
    EXPECT_TRUE(rsp->laNome->text().isEmpty());
    rsp->xacPost->Execute();
    EXPECT_EQ(dmSecSettCons->xqcResponsabili->State(), dsInsert);
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Attenzione!\r\nValore obbligatorio per il campo \"Matricola\""));
    rsp->xelMatricola->setFocus(Qt::MouseFocusReason);
    VoSearchAndChoose(QStringLiteral("000123"));
    EXPECT_EQ(rsp->xelMatricola->text(), QStringLiteral("000123"));
    EXPECT_EQ(rsp->laNome->text(), QStringLiteral("Bianchi Maria"));
    VoTypeInto(rsp->xedQualifica, QStringLiteral("Docente"));
    ASSERT_TRUE(rsp->xacPost->Execute()) << messages->LastText().toStdString();
    EXPECT_EQ(
        VoRowTexts(QStringLiteral("SELECT SRSPQUALIFICA, DSTART FROM TRSP_RESPONSABILI WHERE ISECID = :id "
                                  "AND DDELETE IS NULL"),
                   {{QStringLiteral("id"), lab}}),
        (QStringList{QStringLiteral("Docente"), QDate::currentDate().toString(Qt::ISODate)}));
}

TEST_F(AbeSettConsegnaTest, AnotherBuildingEmptiesTheRoomAndOffersItsLiveRoomsOnly) {
    const auto room = [](const QString &description) {
        return VoSelectValue(QStringLiteral("SELECT ISTZID FROM TSTZ_STANZA WHERE SSTZSDESC = :d"),
                             {{QStringLiteral("d"), description}});
    };
    VoExecSQL(
        QStringLiteral("UPDATE TSTZ_STANZA SET DDELETE = CURRENT_TIMESTAMP WHERE SSTZSDESC = 'Biblioteca'"));
    const QVariant e2 =
        VoSelectValue(QStringLiteral("SELECT IEDFID FROM TEDF_EDIFICIO WHERE SEDFCODICE = 'E2'"));
    OpenWindow();
    const int seg = VoTestSector(QStringLiteral("SEG"));
    ASSERT_TRUE(Sec()->Locate(QStringLiteral("ISECID"), seg));
    ASSERT_TRUE(fr->xacEdit->Execute());
    fr->xelEdificio->SetKeyValue(e2);
    EXPECT_TRUE(Sec()->FieldByName(QStringLiteral("ISTZID"))->IsNull());
    EXPECT_TRUE(fr->xelStanza->text().isEmpty());
    EXPECT_FALSE(fr->xelStanza->SeekByID(room(QStringLiteral("Segreteria"))));
    EXPECT_FALSE(fr->xelStanza->SeekByID(room(QStringLiteral("Biblioteca"))));
    EXPECT_TRUE(fr->xelStanza->SeekByID(room(QStringLiteral("Aula magna"))));
    fr->xelStanza->SetKeyValue(room(QStringLiteral("Aula magna")));
    ASSERT_TRUE(fr->xacPost->Execute()) << messages->LastText().toStdString();
    EXPECT_EQ(Row(seg).at(4), room(QStringLiteral("Aula magna")).toString());
}

TEST_F(AbeSettConsegnaTest, TrovaStandsOnTheSectorChosenAndACancelLeavesTheCursor) {
    OpenWindow();
    ASSERT_TRUE(Sec()->Locate(QStringLiteral("SSECCOD"), QStringLiteral("LAB")));
    QString caption;
    QStringList titles;
    VoWhenModalOpens<TVoSearchDialog>([&](TVoSearchDialog *form) {
        caption = form->windowTitle();
        for (int c = 0; c < form->Grid()->model()->columnCount(); ++c)
            if (!form->Grid()->isColumnHidden(c))
                titles << form->Grid()->model()->headerData(c, Qt::Horizontal).toString();
        QTest::keyClicks(form->SearchEdit(), QStringLiteral("Palestra"));
        QTest::keyClick(form->SearchEdit(), Qt::Key_Return);
    });
    fr->xacTrova->trigger();
    EXPECT_EQ(caption, QStringLiteral("Settori di consegna"));
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Codice"), QStringLiteral("Sett. consegna"),
                                   QStringLiteral("Num. stanza"), QStringLiteral("Stanza"),
                                   QStringLiteral("Edificio")}));
    EXPECT_EQ(Sec()->FieldByName(QStringLiteral("SSECCOD"))->AsString(), QStringLiteral("PAL"));
    VoWhenModalOpens<TVoSearchDialog>([](TVoSearchDialog *form) {
        form->Grid()->selectRow(0);
        form->reject();
    });
    fr->xacTrova->trigger();
    EXPECT_EQ(Sec()->FieldByName(QStringLiteral("SSECCOD"))->AsString(), QStringLiteral("PAL"));
}

TEST_F(AbeSettConsegnaTest, TheSearchBoxNarrowsTheSectorsOnTheColumnChosen) {
    AddSector(QStringLiteral("ART"), QStringLiteral("Aula dell'arte"), QVariant());
    OpenWindow();
    TfrAbeRicerca *box = fm->frAbeRicerca1;
    TVoDBGrid *grid = fr->grFrame;
    const QString all = QStringLiteral("ART|LAB|PAL|SEG");
    QStringList columns;
    for (QAction *item : box->poSearch->actions())
        columns << item->text();
    EXPECT_EQ(columns, (QStringList{QStringLiteral("Codice"), QStringLiteral("Settore di consegna")}));
    EXPECT_EQ(box->edRicerca->text(), QStringLiteral("<Ricerca Codice >"));
    EXPECT_EQ(box->edRicerca->toolTip(), QStringLiteral("Ricerca per Codice"));
    // The placeholder is no search.
    box->tmFiltTimer();
    EXPECT_EQ(Sectors(), all);

    const auto title = [grid](int column) { emit grid->horizontalHeader()->sectionClicked(column); };
    title(2);
    EXPECT_EQ(box->SearchField(), QStringLiteral("SSECCOD")) << "the room number is not searched";
    title(1);
    EXPECT_EQ(box->SearchField(), QStringLiteral("SSECDESCS"));
    EXPECT_EQ(box->edRicerca->text(), QStringLiteral("<Ricerca Settore di consegna>"));

    struct Case {
        QString typed;
        QString shown;
    };
    const Case cases[] = {{QStringLiteral("A"), QStringLiteral("ART|LAB|PAL|SEG")},
                          {QStringLiteral("l'a"), QStringLiteral("ART")},
                          {QStringLiteral("LESTR"), QStringLiteral("PAL")},
                          {QStringLiteral("x' OR '1'='1"), QString()}};
    box->edRicerca->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(VoHoldPause(box->tmFilt), 500);
    for (const Case &c : cases) {
        box->edRicerca->selectAll();
        VoType(c.typed);
        EXPECT_TRUE(box->tmFilt->isActive());
        EXPECT_EQ(box->acSearch->toolTip(), QStringLiteral("Annulla Ricerca"));
        box->tmFiltTimer();
        EXPECT_EQ(Sectors(), c.shown) << c.typed.toStdString();
    }
    title(0);
    EXPECT_EQ(box->SearchField(), QStringLiteral("SSECDESCS")) << "a typed search stays on its column";
    box->edRicerca->selectAll();
    VoPress(Qt::Key_Backspace);
    EXPECT_FALSE(box->tmFilt->isActive());
    EXPECT_EQ(Sectors(), all);
    VoType(QStringLiteral("segr"));
    box->tmFiltTimer();
    EXPECT_EQ(Sectors(), QStringLiteral("SEG"));
    box->acSearch->trigger();
    EXPECT_EQ(Sectors(), all);
    EXPECT_EQ(box->edRicerca->text(), QStringLiteral("<Ricerca Settore di consegna>"));

    // Chosen from the menu the column's placeholder ends alike.
    box->poSearch->actions()[0]->trigger();
    EXPECT_EQ(box->edRicerca->text(), QStringLiteral("<Ricerca Codice>"));
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
}

TEST_F(AbeSettConsegnaTest, ClosingWithAnEditPendingAsksWhetherToSave) {
    OpenWindow();
    const int pal = VoTestSector(QStringLiteral("PAL"));
    ASSERT_TRUE(Sec()->Locate(QStringLiteral("ISECID"), pal));
    ASSERT_TRUE(fr->xacEdit->Execute());
    VoTypeInto(fr->xedDescrizione, QStringLiteral("Palestra grande"));
    messages->Push(mrCancel);
    fm->close();
    EXPECT_TRUE(fm->isVisible());
    EXPECT_EQ(Sec()->State(), dsEdit);
    messages->Push(mrYes);
    fm->close();
    EXPECT_EQ(messages->Texts().size(), 2);
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT SSECDESCS FROM TSEC_SETTCONS WHERE ISECID = :id"),
                            {{QStringLiteral("id"), pal}})
                  .toString(),
              QStringLiteral("Palestra grande"));
}

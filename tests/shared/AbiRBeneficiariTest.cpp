// The beneficiary frame in a host window, set up as the beneficiaries window sets it up and driven
// as a user drives it: the statements and the current beneficiary that each row and each click of
// the kind decide, a person's post, the persons on file, the search box and the historicised ones,
// and the birth place chosen state by state in the place search form.
#include "AbiRBeneficiari.h"
#include "AbiFComEsteri.h"
#include "AbiFSearchLoco.h"
#include "AbiMBen.h"
#include "AbiMCom.h"
#include "AbiRComEsteri.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoIdComboBox.h"
#include "VoQuery.h"
#include "VoSearchDialog.h"
#include "VoTestDb.h"
#include "VoTestRegistries.h"
#include "VoWidgetTest.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

namespace {

QStringList Texts(std::initializer_list<const char *> statements) {
    QStringList texts;
    for (const char *s : statements)
        texts << QString::fromLatin1(s);
    return texts;
}

class AbiRBeneficiariTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        BenType = TBenType();
        delete dmComuni;
        dmComuni = nullptr;
        dm = std::make_unique<TdmBeneficiari>();
        dmBeneficiari = dm.get();
        dm->BindConnection(conn.get());
        company = VoSelectValue(QStringLiteral("SELECT IBENID FROM TBEN_BENEFICIARI WHERE SBENRAGSOC = "
                                               "'Cartoleria Centrale s.r.l.'"))
                      .toInt();
        esposito = VoSelectValue(QStringLiteral("SELECT IANAID FROM TANA_ANAGRAFICHE WHERE SANACOGNOME = "
                                                "'Esposito'"))
                       .toInt();
        historicised = VoTestBeneficiary(QStringLiteral("Bottega d'Arte"));
        VoExecSQL(QStringLiteral("UPDATE TBEN_BENEFICIARI SET LBENEND = 1 WHERE IBENID = :b"),
                  {{QStringLiteral("b"), historicised}});
        Open();
    }
    void TearDown() override {
        host.reset();
        dmBeneficiari = nullptr;
        dm.reset();
        delete dmComuni;
        dmComuni = nullptr;
        VoDbTest::TearDown();
    }
    // The frame in its host, as the beneficiaries window opens it: active ones listed, places chosen
    // in the place search form.
    void Open() {
        host = std::make_unique<QWidget>();
        frame = new TfrBeneficiari(host.get());
        (new QVBoxLayout(host.get()))->addWidget(frame);
        ASSERT_TRUE(EnsureComuniModule());
        frame->xdlLuogoNascita->SetSearchFormClass(QStringLiteral("TfmSearchLoco"));
        Ben()->Open();
        ShowHistoricisedBeneficiari(Ben(), false);
        frame->SetDataSet(Ben());
        VoShowActive(host.get());
    }

    TVoQueryCollection *Ben() const { return dm->xqcBeneficiari; }
    void Click(int kind) { frame->rgPersonaItems->button(kind)->click(); }
    // A new row made a person, the persons on file left unchosen.
    void NewPerson() {
        ASSERT_TRUE(frame->xacInsert->Execute());
        VoWhenModalOpens<TVoSearchDialog>([](TVoSearchDialog *form) { form->reject(); });
        Click(TfrBeneficiari::rgFisica);
    }
    void Type(QWidget *edit, const QString &text) {
        edit->setFocus();
        QTest::keyClicks(edit, text);
    }
    QStringList Names() {
        QStringList names;
        for (int r = 0; r < Ben()->RecordCount(); ++r)
            Ben()->ReadRow(r, [&] { names << Ben()->FieldByName(QStringLiteral("SBENRAGSOC"))->AsString(); });
        names.sort();
        return names;
    }
    QStringList Stored(const QString &sql, int key) const {
        return VoRowTexts(sql, {{QStringLiteral("k"), key}});
    }

    std::unique_ptr<TdmBeneficiari> dm;
    std::unique_ptr<QWidget> host;
    TfrBeneficiari *frame = nullptr;
    int company = 0;
    int esposito = 0;
    int historicised = 0;
};

} // namespace

TEST_F(AbiRBeneficiariTest, TheRowAndTheKindClickedDecideTheBeneficiaryAndItsStatements) {
    const int person = VoTestBeneficiary(QStringLiteral("Esposito Giuseppe"), esposito);
    frame->xacRefresh->Execute();
    const QStringList companyInsert = Texts({kBenInsertSQL, kBenBcaInsertSQL});
    const QStringList companyUpdate = Texts({kBenUpdateSQL, kBenBcaUpdateSQL});
    const QStringList personInsert =
        Texts({kAnaInsertSQL, kBenInsertSQL, kBenBcaInsertSQL, kAnaCagInsertSQL, kFirstSeatSQL});
    const QStringList personUpdate = Texts({kAnaUpdateSQL, kBenUpdateSQL, kBenBcaUpdateSQL});
    const QString publisherInsert = QString::fromLatin1(kEditoreInsertSQL);
    const QString publisherUpdate = QString::fromLatin1(kEditoreUpdateSQL);
    const struct {
        const char *name;
        int row;
        bool publishers;
        int click;     // -1: none; a kind; 2: "Editore"
        int state;     // after the click
        int anaId;     // BenType.iAnaId
        bool isPerson; // BenType.IsPerson
        QStringList insert;
        QStringList update;
    } cases[] = {
        {"company", company, false, -1, dsBrowse, -1, false, companyInsert, companyUpdate},
        {"person", person, false, -1, dsBrowse, esposito, true, personInsert, personUpdate},
        {"company clicked person", company, false, TfrBeneficiari::rgFisica, dsEdit, -1, true, personInsert,
         personUpdate},
        {"person clicked company", person, false, TfrBeneficiari::rgGiuridica, dsEdit, esposito, false,
         companyInsert, companyUpdate},
        {"publishers, not one", company, true, -1, dsBrowse, -1, false,
         companyInsert + QStringList{publisherInsert.arg(4)},
         companyUpdate + QStringList{publisherUpdate.arg(4)}},
        {"publishers, Editore ticked", company, true, 2, dsBrowse, -1, false,
         companyInsert + QStringList{publisherInsert.arg(3)},
         companyUpdate + QStringList{publisherUpdate.arg(3)}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        dm->BenPublishersMode = c.publishers;
        ASSERT_TRUE(Ben()->Locate(QStringLiteral("IBENID"), c.row));
        frame->ShowDetail();
        if (c.click == 2)
            frame->ckEditore->click();
        else if (c.click >= 0)
            Click(c.click);
        EXPECT_EQ(Ben()->State(), c.state);
        EXPECT_EQ(BenType.iBenId, c.row);
        EXPECT_EQ(BenType.iAnaId, c.anaId);
        EXPECT_EQ(BenType.IsPerson, c.isPerson);
        EXPECT_EQ(Ben()->SQLInsert.Texts(), c.insert);
        EXPECT_EQ(Ben()->SQLUpdate.Texts(), c.update);
        frame->xacCancel->Execute();
        frame->ckEditore->setChecked(false);
        frame->ShowList();
    }
}

TEST_F(AbiRBeneficiariTest, ACompanyTurnedPersonGetsItsPersonRow) {
    ASSERT_TRUE(Ben()->Locate(QStringLiteral("IBENID"), company));
    frame->ShowDetail();
    Click(TfrBeneficiari::rgFisica);
    Type(frame->xdeCognome, QStringLiteral("Verdi"));
    Type(frame->xdeNome, QStringLiteral("Anna"));
    Type(frame->xddDataNascita, QStringLiteral("01021975"));
    ASSERT_TRUE(frame->xacPost->Execute());
    ASSERT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(Stored(QStringLiteral("SELECT ana.SANACOGNOME, ana.SANANOME, ben.SBENRAGSOC, bca.IBCAID FROM "
                                    "TBEN_BENEFICIARI ben INNER JOIN TANA_ANAGRAFICHE ana ON (ana.IANAID = "
                                    "ben.IANAID) INNER JOIN TBENBCA bca ON (bca.IBENID = ben.IBENID) WHERE "
                                    "ben.IBENID = :k"),
                     company),
              (QStringList{"Verdi", "Anna", "Cartoleria Centrale s.r.l.", "2"}));
    // The list read again shows the row as the person it now is.
    EXPECT_EQ(frame->Persona(), TfrBeneficiari::rgFisica);
    EXPECT_EQ(BenType.iAnaId, Ben()->FieldByName(QStringLiteral("IANAID"))->AsInteger());
}

TEST_F(AbiRBeneficiariTest, APersonIsSavedUnderItsNameWithItsTaxCodeAndNoPublisherCode) {
    VoExecSQL(QStringLiteral("INSERT INTO TEDI_EDITORI (IEDIID, SEDIDESCS) VALUES (77, 'EDITRICE')"));
    NewPerson();
    Type(frame->xdeCognome, QStringLiteral("Rossi"));
    Type(frame->xdeNome, QStringLiteral("Mario"));
    Type(frame->xddDataNascita, QStringLiteral("02011980"));
    Type(frame->xdeCodFis, QStringLiteral(" RSSMRA80A02H501U "));
    frame->xdlAIE->SetKeyValue(77);
    ASSERT_TRUE(frame->xacPost->Execute());
    ASSERT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    // The person takes the tax code trimmed.
    const int ben = Ben()->FieldByName(QStringLiteral("IBENID"))->AsInteger();
    EXPECT_EQ(
        Stored(QStringLiteral("SELECT ben.SBENRAGSOC, COALESCE(ben.IEDIID, -1), ana.SANACODFISCALE FROM "
                              "TBEN_BENEFICIARI ben INNER JOIN TANA_ANAGRAFICHE ana ON (ana.IANAID = "
                              "ben.IANAID) WHERE ben.IBENID = :k"),
               ben),
        (QStringList{"Rossi Mario", "-1", "RSSMRA80A02H501U"}));
}

TEST_F(AbiRBeneficiariTest, APersonOnFileFillsTheEdits) {
    VoTestPerson(QStringLiteral("Bianco"), QStringLiteral("Senza"), QDate(1990, 1, 1));
    ASSERT_TRUE(frame->xacInsert->Execute());
    int listed = -1;
    VoWhenModalOpens<TVoSearchDialog>([&listed](TVoSearchDialog *form) {
        listed = form->RowCount();
        form->SetSearchText(QStringLiteral("esposito"));
        QTest::keyClick(form->SearchEdit(), Qt::Key_Return);
        if (form->isVisible())
            form->reject();
    });
    Click(TfrBeneficiari::rgFisica);
    // Only the persons with a tax code are offered.
    EXPECT_EQ(listed, 1);
    EXPECT_EQ(frame->xdeRagSoc->text(), QStringLiteral("Esposito Giuseppe"));
    EXPECT_EQ(frame->xdeCognome->text(), QStringLiteral("Esposito"));
    EXPECT_EQ(frame->xdeNome->text(), QStringLiteral("Giuseppe"));
    EXPECT_EQ(frame->xddDataNascita->Date(), QDate(1970, 5, 12));
    EXPECT_EQ(frame->xdeCodFis->text(), QStringLiteral("SPSGPP70E12F839X"));
    EXPECT_EQ(frame->xdlLuogoNascita->text(), QStringLiteral("NAPOLI (NA) - ITALIA"));
}

TEST_F(AbiRBeneficiariTest, TheSearchNarrowsAfterThePauseAndItsClearingShowsEveryone) {
    VoTestBeneficiary(QStringLiteral("L'Arte del Legno"));
    VoTestBeneficiary(QStringLiteral("Arte Povera s.r.l."));
    frame->xacRefresh->Execute();
    const QStringList active = Names();
    ASSERT_FALSE(active.contains(QStringLiteral("Bottega d'Arte")));
    QStringList everyone = active;
    everyone << QStringLiteral("Bottega d'Arte");
    everyone.sort();

    // Entering the box empties it, and that takes the choice of active ones away.
    frame->edRicerca->setFocus();
    EXPECT_EQ(frame->edRicerca->text(), QString());
    EXPECT_EQ(Names(), everyone);

    VoType(QStringLiteral("l'ARTE"));
    EXPECT_EQ(frame->ActionImageIndex(frame->acRicerca), frame->imgAnnullaRicerca);
    EXPECT_EQ(Names().size(), everyone.size());
    // The list narrows once the typing pauses.
    EXPECT_TRUE(QTest::qWaitFor([this] {
        return Names() == QStringList{QStringLiteral("L'Arte del Legno")};
    })) << Names().join(QLatin1Char('|')).toStdString();

    frame->acRicerca->trigger();
    EXPECT_EQ(frame->edRicerca->text(), QStringLiteral("<Ricerca Beneficiario>"));
    EXPECT_EQ(frame->ActionImageIndex(frame->acRicerca), frame->imgRicerca);
    EXPECT_EQ(frame->acRicerca->toolTip(), QStringLiteral("Ricerca Beneficiario"));
    EXPECT_EQ(Names(), everyone);
}

TEST_F(AbiRBeneficiariTest, TheToggleShowsTheHistoricisedOnesOrTheActiveOnes) {
    const QStringList active = Names();
    frame->acStor->trigger();
    EXPECT_EQ(Names(), QStringList{QStringLiteral("Bottega d'Arte")});
    EXPECT_EQ(frame->acStor->text(), QStringLiteral("Visualizza Beneficiari attivi"));
    EXPECT_TRUE(frame->acStor->isChecked());
    EXPECT_EQ(frame->ActionImageIndex(frame->acStor), frame->imgAttivi);
    frame->acStor->trigger();
    EXPECT_EQ(Names(), active);
    EXPECT_EQ(frame->acStor->toolTip(), QStringLiteral("Visualizza Beneficiari Storicizzati"));
    EXPECT_FALSE(frame->acStor->isChecked());
    EXPECT_EQ(frame->ActionImageIndex(frame->acStor), frame->imgStoricizzati);
}

TEST_F(AbiRBeneficiariTest, TheBirthPlaceIsChosenStateByStateAndAForeignCityAddedOnTheWay) {
    NewPerson();
    struct {
        int state = 0;
        int rows = 0;
        bool editOpened = false;
        int rowsAfterAdding = 0;
    } seen;
    VoWhenModalOpens<TfmSearchLoco>([&seen](TfmSearchLoco *form) {
        // No place yet: the home country's places.
        seen.state = form->cbStato->SelectedId();
        seen.rows = form->RowCount();
        form->EditButton()->click();
        seen.editOpened = QApplication::activeModalWidget() != form;
        form->cbStato->SelectId(3);
        emit form->cbStato->activated(form->cbStato->currentIndex());
        VoWhenModalOpens<TfmComEsteri>([](TfmComEsteri *dialog) {
            TfrComEsteri *cities = dialog->frComEster;
            cities->xacInsert->Execute();
            QTest::keyClicks(cities->xdeComune, QStringLiteral("LIONE"));
            cities->xacPost->Execute();
            dialog->buOk->click();
        });
        form->EditButton()->click();
        seen.rowsAfterAdding = form->RowCount();
        form->SetSearchText(QStringLiteral("lione"));
        QTest::keyClick(form->SearchEdit(), Qt::Key_Return);
        if (form->isVisible())
            form->reject();
    });
    ASSERT_TRUE(frame->xdlLuogoNascita->ShowSearchForm());
    EXPECT_EQ(seen.state, 1);
    EXPECT_EQ(seen.rows, 3);
    EXPECT_FALSE(seen.editOpened);
    EXPECT_EQ(seen.rowsAfterAdding, 2);
    EXPECT_EQ(frame->xdlLuogoNascita->text(), QStringLiteral("LIONE (EE) - FRANCIA"));

    // Opened again, the form shows the state of the place chosen.
    VoWhenModalOpens<TfmSearchLoco>([&seen](TfmSearchLoco *form) {
        seen.state = form->CurrentStateId;
        form->reject();
    });
    frame->xdlLuogoNascita->ShowSearchForm();
    EXPECT_EQ(seen.state, 3);
}

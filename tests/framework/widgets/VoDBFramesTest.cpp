// The list-and-detail frame over a real table, driven as a user drives it: insert, a post refused
// by a validator, edit, delete with its question, the keyboard of the detail page, the actions'
// states and replacements, and the grid's sorting.
#include "VoDBFrames.h"
#include "VoChildDB.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoDialogs.h"
#include "VoMDIMain.h"
#include "VoQuery.h"
#include "VoTableModel.h"
#include "VoTestDb.h"
#include "VoWidgetTest.h"

#include <QApplication>
#include <QFormLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kRegisters =
    QStringLiteral("SELECT fac.IFACID, fac.SFACDESC, tfc.ITFCID, tfc.STFCLDESC, fac.IFACNUMERAZ, "
                   "fac.IFACIVAINCLUSA FROM TFAC_VELISTO fac LEFT JOIN TTFC_TIPOVELIST tfc ON tfc.ITFCID = "
                   "fac.ITFCID WHERE (tfc.ITFCID<>5) AND (tfc.ITFCID<>7) ORDER BY fac.SFACDESC");
const QString kRequired = QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"descrizione\". ");

class VoDBFramesTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        qc.SetCommandText(kRegisters);
        qc.SetPacketRecords(25);
        qc.SQLInsert.Add(QStringLiteral("INSERT INTO TFac_Velisto (iFacId, sFacDesc, iTfcId, iFacNumeraz, "
                                        "iFacIvaInclusa) VALUES (:VOGENID, :sFacDesc, :iTfcId, :iFacNumeraz, "
                                        ":iFacIvaInclusa);"));
        qc.SQLUpdate.Add(
            QStringLiteral("UPDATE TFac_Velisto SET sFacDesc=:sFacDesc, iFacNumeraz=:iFacNumeraz, "
                           "iFacIvaInclusa=:iFacIvaInclusa WHERE iFacId=:VOCURRID;"));
        qc.SQLDelete.Add(QStringLiteral("DELETE FROM TFac_Velisto WHERE iFacId=:VOCURRID;"));

        frame = new TfrVoDBRWGrid(&window);
        frame->SetDataSet(&qc);
        frame->grFrame->AddColumn(QStringLiteral("sFacDesc"), QStringLiteral("Descrizione"), 370);
        frame->grFrame->AddColumn(QStringLiteral("sTfcLDesc"), QStringLiteral("Tipo"), 200);
        frame->grFrame->ColsIndex().Add(0, QStringLiteral("sFacDesc"), QStringLiteral("sFacDesc"), true);
        frame->grFrame->ColsIndex().Add(1, QStringLiteral("sTfcLDesc"), QStringLiteral("sTfcLDesc"), true);

        auto *form = new QFormLayout(frame->tsDetail);
        desc = new TVoDBEdit;
        desc->setMaxLength(32);
        type = new TVoDBLookupEdit;
        type->SetListSQL(QStringLiteral("SELECT ITFCID, STFCLDESC FROM TTfc_TipoVelist WHERE ##WHERE## AND "
                                        "((ITFCID<>5) AND (ITFCID<>7)) "));
        type->SetKeyField(QStringLiteral("iTfcId"));
        type->SetListField(QStringLiteral("sTfcLDesc"));
        vat = new TVoDBCheckBox(QStringLiteral("Carica importi già ivati"));
        yearly = new TVoDBCheckBox(QStringLiteral("Gestione annuale"));
        auto *descLabel = new QLabel(QStringLiteral("Descrizione"));
        descLabel->setBuddy(desc);
        form->addRow(descLabel, desc);
        form->addRow(QStringLiteral("Tipo Velisto"), type);
        form->addRow(vat);
        form->addRow(yearly);
        desc->Bind(frame->xdsMain, QStringLiteral("sFacDesc"));
        type->Bind(frame->xdsMain, QStringLiteral("iTfcId"));
        vat->Bind(frame->xdsMain, QStringLiteral("iFacIvaInclusa"));
        yearly->Bind(frame->xdsMain, QStringLiteral("iFacNumeraz"));
        desc->OnValidate.Add([](QWidget *sender, bool &ok, QString &msg) {
            if (static_cast<TVoDBEdit *>(sender)->text().trimmed().isEmpty()) {
                ok = false;
                msg = QStringLiteral("descrizione");
            }
        });
        type->OnValidate.Add([this](QWidget *, bool &ok, QString &msg) {
            if (type->text().trimmed().isEmpty()) {
                ok = false;
                msg = QStringLiteral("tipo di Velisto");
            }
        });
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(frame);
        qc.Open();
        VoShowActive(&window);
    }
    void TearDown() override {
        window.close();
        VoDbTest::TearDown();
    }

    static int Registers(const QString &desc) {
        return VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TFAC_VELISTO WHERE SFACDESC = :d"),
                             {{QStringLiteral("d"), desc}})
            .toInt();
    }

    TVoQueryCollection qc;
    QWidget window;
    TfrVoDBRWGrid *frame = nullptr;
    TVoDBEdit *desc = nullptr;
    TVoDBLookupEdit *type = nullptr;
    TVoDBCheckBox *vat = nullptr;
    TVoDBCheckBox *yearly = nullptr;
};

} // namespace

TEST_F(VoDBFramesTest, InsertRefusedPostEditAndConfirmedDelete) {
    ASSERT_EQ(qc.RecordCount(), 1);
    ASSERT_TRUE(frame->xacInsert->Execute());
    EXPECT_EQ(qc.State(), dsInsert);
    EXPECT_TRUE(frame->DetailShown());
    EXPECT_EQ(QApplication::focusWidget(), desc);

    // Posting at once is refused on the empty description.
    EXPECT_FALSE(frame->xdsMain->Post());
    EXPECT_EQ(messages->Texts(), QStringList{kRequired});
    EXPECT_EQ(messages->Shown().value(0).type, mtWarning);
    EXPECT_EQ(qc.State(), dsInsert);
    EXPECT_EQ(QApplication::focusWidget(), desc);
    EXPECT_TRUE(desc->MarkedInvalid());

    // The type is chosen by typing its name and leaving.
    VoType(QStringLiteral("Registro di prova"));
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), type);
    EXPECT_FALSE(desc->MarkedInvalid());
    VoType(QStringLiteral("materiale di pulizia"));
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(qc.FieldByName(QStringLiteral("ITFCID"))->AsInteger(), 4);
    EXPECT_EQ(type->text(), QStringLiteral("Materiale di pulizia"));
    QTest::mouseClick(vat, Qt::LeftButton, {}, QPoint(6, vat->height() / 2));
    EXPECT_EQ(qc.FieldByName(QStringLiteral("IFACIVAINCLUSA"))->AsInteger(), 1);

    messages->Clear();
    ASSERT_TRUE(frame->xacPost->Execute());
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(qc.State(), dsBrowse);
    EXPECT_FALSE(desc->MarkedInvalid());
    EXPECT_EQ(
        VoSelectValue(QStringLiteral("SELECT ITFCID || '/' || IFACIVAINCLUSA || '/' || "
                                     "COALESCE(IFACNUMERAZ, 'null') FROM TFAC_VELISTO WHERE SFACDESC = :d"),
                      {{QStringLiteral("d"), QStringLiteral("Registro di prova")}})
            .toString(),
        QStringLiteral("4/1/null"));
    // The lookup put the type's text into the row, so the grid shows it at once.
    const int row = qc.RecNo() - 1;
    EXPECT_EQ(frame->grFrame->Model()->index(row, 1).data().toString(),
              QStringLiteral("Materiale di pulizia"));

    ASSERT_TRUE(frame->xacEdit->Execute());
    EXPECT_EQ(qc.State(), dsEdit);
    desc->selectAll();
    QTest::keyClicks(desc, QStringLiteral("Registro cambiato"));
    ASSERT_TRUE(frame->xacPost->Execute());
    EXPECT_EQ(Registers(QStringLiteral("Registro cambiato")), 1);
    EXPECT_EQ(Registers(QStringLiteral("Registro di prova")), 0);

    // No keeps the row; Yes deletes it.
    messages->Push(mrNo);
    frame->xacDelete->Execute();
    EXPECT_EQ(Registers(QStringLiteral("Registro cambiato")), 1);
    messages->Push(mrYes);
    frame->xacDelete->Execute();
    EXPECT_EQ(messages->LastText(), QStringLiteral("Cancellare il record?"));
    EXPECT_EQ(Registers(QStringLiteral("Registro cambiato")), 0);
    EXPECT_EQ(qc.RecordCount(), 1);
}

TEST_F(VoDBFramesTest, LeavingAFailingFieldKeepsTheFocusUntilCorrected) {
    frame->xacInsert->Execute();
    ASSERT_EQ(QApplication::focusWidget(), desc);
    QTest::keyClick(desc, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(messages->Texts(), QStringList{kRequired});
    EXPECT_EQ(QApplication::focusWidget(), desc);
    EXPECT_TRUE(desc->MarkedInvalid());
    EXPECT_EQ(desc->toolTip(), kRequired.trimmed());

    QTest::keyClicks(desc, QStringLiteral("Nuovo"));
    QTest::keyClick(desc, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), type);
    EXPECT_FALSE(desc->MarkedInvalid());
    EXPECT_EQ(qc.FieldByName(QStringLiteral("SFACDESC"))->AsString(), QStringLiteral("Nuovo"));

    // A click elsewhere while the type is refused does not reach what was clicked.
    messages->Clear();
    QTest::mouseClick(vat, Qt::LeftButton, {}, QPoint(6, vat->height() / 2));
    QApplication::processEvents();
    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"tipo di Velisto\". ")});
    EXPECT_EQ(QApplication::focusWidget(), type);
    EXPECT_FALSE(vat->isChecked());
    EXPECT_TRUE(qc.FieldByName(QStringLiteral("IFACIVAINCLUSA"))->IsNull());
    EXPECT_EQ(qc.State(), dsInsert);

    // The window putting the focus on the field to type first is not the user leaving the type.
    messages->Clear();
    desc->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(QApplication::focusWidget(), desc);
}

TEST_F(VoDBFramesTest, CancellingNeverRunsTheValidators) {
    auto *other = new QPushButton(QStringLiteral("Altro"), &window);
    other->show();
    const auto annulla = [this] {
        QTest::mouseClick(frame->tbControl->widgetForAction(frame->xacCancel), Qt::LeftButton);
    };
    // What was typed is dropped only when the user says so.
    const auto escape = [this] {
        messages->Push(mrNo);
        VoPress(Qt::Key_Escape);
    };
    const auto start = [this](bool insert) {
        ASSERT_TRUE(insert ? frame->xacInsert->Execute() : frame->xacEdit->Execute());
        desc->selectAll();
        VoPress(Qt::Key_Delete);
        // The empty description refused once, then the user gives up.
        EXPECT_FALSE(frame->xdsMain->Post());
        QApplication::processEvents();
        messages->Clear();
    };
    const struct {
        const char *name;
        bool insert;
        std::function<void()> cancel;
        bool asks;
    } cases[] = {
        {"Annulla on a new row", true, annulla, false},
        {"Escape on a new row", true, escape, false},
        {"Annulla on an edited row", false, annulla, false},
        {"Escape on an edited row", false, escape, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        start(c.insert);
        c.cancel();
        QApplication::processEvents();
        EXPECT_EQ(messages->Texts(), c.asks ? QStringList{KVoCDoc_SalvaChiudi} : QStringList())
            << messages->LastText().toStdString();
        EXPECT_EQ(qc.State(), dsBrowse);
        EXPECT_EQ(qc.RecordCount(), 1);
        EXPECT_EQ(Registers(QStringLiteral("Facile consumo")), 1);
    }

    // Leaving a refused field for something that is no data field checks nothing: the post does.
    start(true);
    other->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(QApplication::focusWidget(), other);
    EXPECT_FALSE(frame->xdsMain->Post());
    EXPECT_EQ(messages->Texts(), QStringList{kRequired});
    frame->xacCancel->Execute();

    // The Annulla of a dialog whose field is refused closes it.
    TfmVoOkCancDlg dialog;
    auto *field = new TVoDBEdit(dialog.pnClient);
    (new QVBoxLayout(dialog.pnClient))->addWidget(field);
    field->Bind(frame->xdsMain, QStringLiteral("sFacDesc"));
    field->OnValidate.Add([](QWidget *, bool &ok, QString &) { ok = false; });
    ASSERT_TRUE(VoShowActive(&dialog));
    frame->xdsMain->Edit();
    field->setFocus(Qt::MouseFocusReason);
    messages->Clear();
    QTest::mouseClick(dialog.buCancel, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(VoDBFramesTest, ClosingAWindowWithAPendingRowAsksWhetherToSave) {
    const QString question = QStringLiteral("Salvare le modifiche prima di chiudere?");
    const struct {
        const char *name;
        int answer;
        QString typed;
        bool closed;
        QStringList texts;
        int saved;
        int state;
    } cases[] = {
        {"Yes saves", mrYes, QStringLiteral("Salvato"), true, {question}, 1, dsBrowse},
        {"Yes with a refused field stays", mrYes, QString(), false, {question, kRequired}, 0, dsInsert},
        {"No discards unchecked", mrNo, QString(), true, {question}, 0, dsBrowse},
        {"Cancel keeps the typing", mrCancel, QStringLiteral("Tenuto"), false, {question}, 0, dsInsert},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QPointer<TfmVoChildDB> child = new TfmVoChildDB;
        child->setWindowTitle(QStringLiteral("Registri"));
        // Two data sources on one data set: one question.
        (new TfrVoDBRWGrid(child))->SetDataSet(&qc);
        (new TVoDataSource(child))->SetDataSet(&qc);
        ASSERT_TRUE(frame->xacInsert->Execute());
        QTest::keyClicks(desc, c.typed);
        type->SetKeyValue(2);
        messages->Push(c.answer);
        child->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(child.isNull(), c.closed);
        EXPECT_EQ(messages->Texts(), c.texts);
        const TVoShownMessage asked = messages->Shown().value(0);
        EXPECT_EQ(asked.caption, QStringLiteral("Registri"));
        EXPECT_EQ(asked.type, mtConfirmation);
        EXPECT_EQ(asked.buttons, mbYesNoCancel);
        EXPECT_EQ(asked.defaultButton, mbYes);
        EXPECT_EQ(qc.State(), c.state);
        if (c.state == dsInsert) {
            EXPECT_EQ(desc->text(), c.typed);
        }
        EXPECT_EQ(Registers(c.typed), c.saved);
        delete child;
        frame->xacCancel->Execute();
        messages->Clear();
    }

    // A frame whose save the window replaced saves through it.
    {
        QPointer<TfmVoChildDB> child = new TfmVoChildDB;
        auto *own = new TfrVoDBRWGrid(child);
        own->SetDataSet(&qc);
        int ownSaves = 0;
        own->xacPost->OnExecute.Add([&](TVoDataAction *action) {
            ++ownSaves;
            action->ExecuteDefault();
        });
        ASSERT_TRUE(frame->xacInsert->Execute());
        QTest::keyClicks(desc, QStringLiteral("Dal riquadro"));
        type->SetKeyValue(2);
        messages->Push(mrYes);
        child->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(child.isNull());
        EXPECT_EQ(ownSaves, 1);
        EXPECT_EQ(Registers(QStringLiteral("Dal riquadro")), 1);
        messages->Clear();
    }

    // Closing the main window closes its windows first, with the same question.
    TfmVoMDIMain main;
    auto *child = new TfmVoChildDB;
    (new TVoDataSource(child))->SetDataSet(&qc);
    main.AddMDIChild(child);
    main.show();
    frame->xacInsert->Execute();
    messages->Push(mrCancel);
    EXPECT_FALSE(main.close());
    EXPECT_EQ(messages->Texts(), QStringList{question});
    EXPECT_EQ(main.MDIChildCount(), 1);
    EXPECT_EQ(qc.State(), dsInsert);
    frame->xacCancel->Execute();
}

TEST_F(VoDBFramesTest, KeyboardOfTheDetailPage) {
    // Typing into a browsed row starts editing it; Escape takes the change back.
    frame->grFrame->setFocus();
    QTest::keyClick(frame->grFrame, Qt::Key_Return);
    EXPECT_TRUE(frame->DetailShown());
    ASSERT_EQ(QApplication::focusWidget(), desc);
    const QString before = desc->text();
    QTest::keyClicks(desc, QStringLiteral("X"));
    EXPECT_EQ(qc.State(), dsEdit);
    messages->Clear();
    messages->Push(mrNo);
    QTest::keyClick(desc, Qt::Key_Escape);
    EXPECT_EQ(messages->Texts(), QStringList{KVoCDoc_SalvaChiudi});
    EXPECT_EQ(qc.State(), dsBrowse);
    EXPECT_EQ(desc->text(), before);
    // Escape while browsing goes back to the list.
    QTest::keyClick(desc, Qt::Key_Escape);
    EXPECT_FALSE(frame->DetailShown());

    // Enter walks the fields and posts on the last one.
    QTest::keyClick(frame->grFrame, Qt::Key_Insert);
    ASSERT_EQ(qc.State(), dsInsert);
    QTest::keyClicks(desc, QStringLiteral("Da tastiera"));
    QTest::keyClick(desc, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), type);
    // The first Enter chooses from the drop-down, the second moves on.
    VoType(QStringLiteral("Biblio"));
    ASSERT_TRUE(type->DropDown()->isVisible());
    VoPress(Qt::Key_Return);
    EXPECT_FALSE(type->DropDown()->isVisible());
    EXPECT_EQ(type->text(), QStringLiteral("Biblioteca"));
    EXPECT_EQ(QApplication::focusWidget(), type);
    VoPress(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), vat);
    QTest::keyClick(vat, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), yearly);
    QTest::keyClick(yearly, Qt::Key_Space);
    EXPECT_EQ(qc.State(), dsInsert);
    QTest::keyClick(yearly, Qt::Key_Return);
    EXPECT_EQ(qc.State(), dsBrowse) << messages->LastText().toStdString();
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT ITFCID || '/' || IFACNUMERAZ FROM TFAC_VELISTO WHERE "
                                           "SFACDESC = 'Da tastiera'"))
                  .toString(),
              QStringLiteral("2/1"));
}

// A list that Tab reaches shows that it has the keyboard, rows or none.
TEST(VoDBGridFocus, AListReachedByTabShowsItHasTheKeyboardEvenEmpty) {
    QWidget window;
    auto *edit = new QLineEdit;
    auto *grid = new TVoDBGrid;
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    layout->addWidget(grid);
    ASSERT_TRUE(VoShowActive(&window));
    edit->setFocus();
    const QImage idle = grid->grab().toImage();
    VoPress(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), grid);
    EXPECT_NE(grid->grab().toImage(), idle);
    VoPress(Qt::Key_Backtab);
    EXPECT_EQ(grid->grab().toImage(), idle);
}

TEST_F(VoDBFramesTest, ActionsFollowStateLocksRightsAndReplacements) {
    const auto enabled = [this] {
        QString s;
        for (TVoDataAction *a : {frame->xacInsert, frame->xacEdit, frame->xacDelete, frame->xacPost,
                                 frame->xacCancel, frame->xacNext})
            s += a->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    };
    EXPECT_EQ(enabled(), QStringLiteral("111001"));
    frame->xacEdit->Execute();
    EXPECT_EQ(enabled(), QStringLiteral("000110"));
    frame->xacCancel->Execute();

    // A locked action stays disabled across state changes until unlocked.
    frame->xacEdit->SetLocked(true);
    frame->xacEdit->setVisible(false);
    frame->xacInsert->Execute();
    frame->xacCancel->Execute();
    EXPECT_EQ(enabled(), QStringLiteral("101001"));
    EXPECT_FALSE(frame->xacEdit->Execute());
    frame->xacEdit->SetLocked(false);
    frame->xacEdit->setVisible(true);
    EXPECT_TRUE(frame->xacEdit->isEnabled());

    // Without the write rights nothing writes, not even typing.
    conn->F = 0x1C0;
    frame->ApplyWriteRights();
    EXPECT_EQ(enabled(), QStringLiteral("000001"));
    EXPECT_FALSE(frame->tsDetail->isEnabled());
    conn->F = 0x3FF;
    frame->ApplyWriteRights();
    EXPECT_EQ(enabled(), QStringLiteral("111001"));

    // A replacement runs instead of the standard insert, which it may still call.
    QStringList ran;
    frame->xacInsert->OnExecute.Add([&](TVoDataAction *action) {
        ran << QStringLiteral("replacement");
        yearly->setChecked(false);
        action->ExecuteDefault();
    });
    frame->xacInsert->Execute();
    EXPECT_EQ(ran, QStringList{QStringLiteral("replacement")});
    EXPECT_EQ(qc.State(), dsInsert);
}

TEST_F(VoDBFramesTest, WindowStateRulesRunAfterDataChangeRules) {
    QStringList order;
    frame->xdsMain->OnDataChange.Add([&](TVoDataSource *, TVoField *field) {
        if (!field)
            order << QStringLiteral("data");
    });
    frame->xdsMain->AfterStateChange.Add(
        [&](TVoDataSource *ds) { order << QStringLiteral("state %1").arg(ds->State()); });
    int detailShown = 0;
    frame->OnDetailShow.Add([&](TfrVoDBRWGrid *) { ++detailShown; });
    frame->xacInsert->Execute();
    frame->xacCancel->Execute();
    frame->xacEdit->Execute();
    EXPECT_EQ(order, (QStringList{QStringLiteral("data"), QStringLiteral("state 1"), QStringLiteral("data"),
                                  QStringLiteral("state 0"), QStringLiteral("state 2")}));
    EXPECT_EQ(detailShown, 1);
}

TEST_F(VoDBFramesTest, GridFollowsTheCursorAndSortsByReopening) {
    for (const char *name : {"Bravo", "Alfa", "Charlie"})
        VoExecSQL(QStringLiteral("INSERT INTO TFAC_VELISTO (IFACID, SFACDESC, ITFCID) VALUES "
                                 "((SELECT L_ICNTID FROM PYSETGETID('TFAC_VELISTO', 1)), :d, 3)"),
                  {{QStringLiteral("d"), QString::fromLatin1(name)}});
    qc.Refresh();
    qc.First();
    TVoDBGrid *grid = frame->grFrame;
    ASSERT_EQ(grid->Model()->rowCount(), 4);
    EXPECT_EQ(grid->currentIndex().row(), 0);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(qc.RecNo(), 2);
    qc.Last();
    EXPECT_EQ(grid->currentIndex().row(), 3);
    const QString current = qc.FieldByName(QStringLiteral("SFACDESC"))->AsString();

    QStringList titles;
    grid->OnTitleClick.Add([&](TVoDBGrid *g, int column) { titles << g->ColumnTitle(column); });
    QHeaderView *header = grid->horizontalHeader();
    const QPoint firstTitle(header->sectionViewportPosition(0) + 5, 5);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, firstTitle);
    EXPECT_EQ(titles, QStringList{QStringLiteral("Descrizione")});
    EXPECT_EQ(grid->SortedColumn(), 0);
    EXPECT_FALSE(grid->SortedDescending());
    EXPECT_TRUE(qc.CommandText().endsWith(QStringLiteral("ORDER BY 2")));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, firstTitle);
    EXPECT_TRUE(grid->SortedDescending());
    EXPECT_TRUE(qc.CommandText().endsWith(QStringLiteral("ORDER BY 2 DESC")));
    // The cursor stayed on its row, and the grid with it.
    EXPECT_EQ(qc.FieldByName(QStringLiteral("SFACDESC"))->AsString(), current);
    EXPECT_EQ(grid->currentIndex().row(), qc.RecNo() - 1);
    qc.First();
    EXPECT_EQ(qc.FieldByName(QStringLiteral("SFACDESC"))->AsString(), QStringLiteral("Facile consumo"));

    // A row being edited is posted before sorting; a refused post keeps the order.
    qc.Edit();
    qc.FieldByName(QStringLiteral("SFACDESC"))->SetValue(QString());
    desc->setText(QString());
    EXPECT_FALSE(grid->SortByColumn(1));
    EXPECT_EQ(grid->SortedColumn(), 0);
    frame->xacCancel->Execute();
    EXPECT_TRUE(grid->SortByColumn(1));
    EXPECT_TRUE(qc.CommandText().endsWith(QStringLiteral("ORDER BY 4")));
}

TEST(VoReplaceOrderBy, ReplacesOnlyTheOuterClause) {
    EXPECT_EQ(VoReplaceOrderBy(QStringLiteral("SELECT A FROM T ORDER BY A;"), QStringLiteral("1 DESC")),
              QStringLiteral("SELECT A FROM T ORDER BY 1 DESC"));
    EXPECT_EQ(VoReplaceOrderBy(QStringLiteral("SELECT A FROM T WHERE X = 'ORDER BY' "), QStringLiteral("2")),
              QStringLiteral("SELECT A FROM T WHERE X = 'ORDER BY' ORDER BY 2"));
    EXPECT_EQ(VoReplaceOrderBy(QStringLiteral("SELECT A, (SELECT FIRST 1 B FROM U ORDER BY B) FROM T\n"
                                              "order by A -- newest\nROWS 10"),
                               QStringLiteral("2")),
              QStringLiteral("SELECT A, (SELECT FIRST 1 B FROM U ORDER BY B) FROM T ORDER BY 2 ROWS 10"));
}

// Lookups and the search form over the demo registers and their types: the text of a key, the
// drop-down narrowed as the user types, the search form narrowing its list and setting the key,
// typed text that is no value, the search form on its own, and typed wildcards that match themselves.
#include "VoDBLookupEdit.h"
#include "VoQuery.h"
#include "VoSearchDialog.h"
#include "VoTestDb.h"
#include "VoWidgetTest.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kTypes = QStringLiteral("SELECT ITFCID, STFCLDESC, STFCSDESC FROM TTfc_TipoVelist WHERE "
                                      "##WHERE## AND ((ITFCID<>5) AND (ITFCID<>7)) ");

// Runs a step inside the modal loop of the search form that the next call opens.
void WhenSearchFormOpens(std::function<void(TVoSearchDialog *)> step) {
    QTimer::singleShot(0, [step] {
        auto *form = qobject_cast<TVoSearchDialog *>(QApplication::activeModalWidget());
        if (!form) {
            ADD_FAILURE() << "no search form open";
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
            return;
        }
        step(form);
    });
}

class VoDBLookupTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        qc.SetCommandText(
            QStringLiteral("SELECT IFACID, SFACDESC, ITFCID FROM TFAC_VELISTO ORDER BY IFACID"));
        qc.SetAutoBuildSQL(true);
        ds.SetDataSet(&qc);
        lookup = new TVoDBLookupEdit;
        lookup->SetListSQL(kTypes);
        lookup->SetKeyField(QStringLiteral("iTfcId"));
        lookup->SetListField(QStringLiteral("sTfcLDesc"));
        lookup->Bind(&ds, QStringLiteral("iTfcId"));
        lookup->OnChangeFKValue.Add([this](TVoDBLookupEdit *l) { changes << l->KeyValue().toString(); });
        next = new QLineEdit;
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(lookup);
        layout->addWidget(next);
        qc.Open();
        VoShowActive(&window);
    }

    TVoQueryCollection qc;
    TVoDataSource ds;
    QWidget window;
    TVoDBLookupEdit *lookup = nullptr;
    QLineEdit *next = nullptr;
    QStringList changes;
};

} // namespace

TEST_F(VoDBLookupTest, ShowsTheTextOfTheKey) {
    EXPECT_EQ(lookup->text(), QStringLiteral("Materiale di facile consumo"));
    EXPECT_EQ(lookup->KeyValue().toInt(), 1);
    EXPECT_EQ(lookup->ListValue(QStringLiteral("tfc.STFCSDESC")).toString(), QStringLiteral("Consumo"));
    lookup->clearFocus();
    EXPECT_TRUE(lookup->SeekByID(6));
    EXPECT_EQ(lookup->text(), QStringLiteral("Cancelleria e stampati"));
    // Shown from its beginning: in an edit narrower than the text, "...e stampati" hid what it was.
    EXPECT_EQ(lookup->cursorPosition(), 0);
    // A key the list leaves out shows nothing.
    EXPECT_FALSE(lookup->SeekByID(5));
    EXPECT_TRUE(lookup->text().isEmpty());

    // A new row has no key: the default value stands for it; the field stays NULL.
    lookup->SetDefaultValue(0);
    qc.Insert();
    EXPECT_TRUE(lookup->text().isEmpty());
    EXPECT_EQ(lookup->KeyValue(), QVariant(0));
    EXPECT_TRUE(qc.FieldByName(QStringLiteral("ITFCID"))->IsNull());
    qc.Cancel();

    // A list restricted later (a parameter of its own) shows the key again through RefreshList.
    lookup->SetListSQL(kTypes + QStringLiteral(" AND ITFCID <> :iNot"));
    lookup->ListDataSet()->SetParam(QStringLiteral("iNot"), 1);
    lookup->RefreshList();
    EXPECT_TRUE(lookup->text().isEmpty());
    lookup->ListDataSet()->SetParam(QStringLiteral("iNot"), 2);
    lookup->RefreshList();
    EXPECT_EQ(lookup->text(), QStringLiteral("Materiale di facile consumo"));
    EXPECT_TRUE(changes.isEmpty()) << "showing a row is no change of the key";
}

// A text longer than its field shows its beginning whenever the user is not in it: when a new row
// brings as a default the text the row before showed, when the user leaves it, and when the same text
// is put again.
TEST_F(VoDBLookupTest, ALongTextShowsItsBeginningWheneverTheUserIsNotInIt) {
    lookup->setFixedWidth(lookup->fontMetrics().horizontalAdvance(QStringLiteral("Materiale")));
    ASSERT_EQ(lookup->text(), QStringLiteral("Materiale di facile consumo"));
    qc.AfterInsert.Add(
        [](TVoQueryCollection *rows) { rows->FieldByName(QStringLiteral("ITFCID"))->SetValue(1); });
    next->setFocus();
    qc.Insert();
    EXPECT_EQ(lookup->text(), QStringLiteral("Materiale di facile consumo"));
    EXPECT_EQ(lookup->cursorPosition(), 0);

    lookup->setFocus();
    lookup->end(false);
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next);
    EXPECT_EQ(lookup->cursorPosition(), 0);
    // The row shown again brings the same text: put again, it still shows its beginning.
    lookup->end(false);
    qc.Cancel();
    EXPECT_EQ(lookup->text(), QStringLiteral("Materiale di facile consumo"));
    EXPECT_EQ(lookup->cursorPosition(), 0);
}

TEST_F(VoDBLookupTest, SearchFormNarrowsAsTypedAndSetsTheKey) {
    int shown = 0;
    lookup->OnShowSearchForm.Add([&](TVoDBLookupEdit *, TVoSearchDialog *form) {
        ++shown;
        form->SetCaption(QStringLiteral("Tipi"));
        TVoSearchColumn &column = form->Columns(1);
        column.Caption = QStringLiteral("Tabella tipo Velisto");
        column.Width = 450;
    });
    QList<int> counts;
    QString caption, title;
    WhenSearchFormOpens([&](TVoSearchDialog *form) {
        caption = form->windowTitle();
        title = form->Grid()->model()->headerData(1, Qt::Horizontal).toString();
        counts << form->RowCount();
        QTest::keyClicks(form->SearchEdit(), QStringLiteral("p"));
        counts << form->RowCount();
        QTest::keyClicks(form->SearchEdit(), QStringLiteral("ul"));
        counts << form->RowCount();
        QTest::keyClick(form->SearchEdit(), Qt::Key_Return);
    });
    lookup->setFocus();
    QTest::keyClick(lookup, Qt::Key_F8);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(caption, QStringLiteral("Tipi"));
    EXPECT_EQ(title, QStringLiteral("Tabella tipo Velisto"));
    // All five types, then those holding "p" (pulizia, stampati), then only "pul".
    EXPECT_EQ(counts, (QList<int>{5, 2, 1}));
    EXPECT_EQ(qc.State(), dsEdit);
    EXPECT_EQ(qc.FieldByName(QStringLiteral("ITFCID"))->AsInteger(), 4);
    EXPECT_EQ(lookup->text(), QStringLiteral("Materiale di pulizia"));
    EXPECT_EQ(changes, QStringList{QStringLiteral("4")});
    EXPECT_EQ(window.focusWidget(), lookup);

    // What the user types is a value, never SQL: quotes and wildcards match themselves.
    WhenSearchFormOpens([&](TVoSearchDialog *form) {
        QTest::keyClicks(form->SearchEdit(), QStringLiteral("e' %"));
        counts << form->RowCount();
        form->SearchEdit()->clear();
        QTest::keyClicks(form->SearchEdit(), QStringLiteral("_"));
        counts << form->RowCount();
        QTest::keyClick(form->SearchEdit(), Qt::Key_Escape);
    });
    EXPECT_FALSE(lookup->ShowSearchForm());
    EXPECT_EQ(counts.mid(3), (QList<int>{0, 0}));
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(qc.FieldByName(QStringLiteral("ITFCID"))->AsInteger(), 4);
}

TEST_F(VoDBLookupTest, TypingNarrowsTheDropDownAndLeavingResolves) {
    lookup->setFocus();
    lookup->selectAll();
    VoType(QStringLiteral("mat"));
    ASSERT_TRUE(lookup->DropDown()->isVisible());
    EXPECT_EQ(lookup->DropDown()->model()->rowCount(), 3);
    VoType(QStringLiteral("eriale di p"));
    EXPECT_EQ(lookup->DropDown()->model()->rowCount(), 1);
    VoPress(Qt::Key_Return);
    EXPECT_EQ(qc.FieldByName(QStringLiteral("ITFCID"))->AsInteger(), 4);
    EXPECT_EQ(lookup->text(), QStringLiteral("Materiale di pulizia"));

    // A text that is no row is taken back; an empty one is NULL.
    lookup->selectAll();
    VoType(QStringLiteral("zzz"));
    EXPECT_FALSE(lookup->DropDown()->isVisible());
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next);
    EXPECT_EQ(lookup->text(), QStringLiteral("Materiale di pulizia"));
    EXPECT_EQ(qc.FieldByName(QStringLiteral("ITFCID"))->AsInteger(), 4);
    lookup->setFocus();
    lookup->selectAll();
    VoPress(Qt::Key_Delete);
    VoPress(Qt::Key_Tab);
    EXPECT_TRUE(qc.FieldByName(QStringLiteral("ITFCID"))->IsNull());
    EXPECT_EQ(changes, (QStringList{QStringLiteral("4"), QString()}));

    // With AutoSeek, leaving takes the first row the text begins (the drop-down closed).
    lookup->SetAutoSeek(true);
    lookup->setFocus();
    VoType(QStringLiteral("canc"));
    VoPress(Qt::Key_Escape);
    EXPECT_FALSE(lookup->DropDown()->isVisible());
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(qc.FieldByName(QStringLiteral("ITFCID"))->AsInteger(), 6);
    ASSERT_TRUE(ds.Post());
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT ITFCID FROM TFAC_VELISTO")).toInt(), 6);
}

TEST_F(VoDBLookupTest, TheDropDownShowsEightRowsOrAllOfThem) {
    lookup->setFocus();
    VoPress(Qt::Key_Down, Qt::AltModifier);
    QTableView *list = lookup->DropDown();
    ASSERT_TRUE(list->isVisible());
    const int rows = qMin(8, list->model()->rowCount());
    ASSERT_GT(rows, 1);
    EXPECT_GE(list->viewport()->height(), rows * list->rowHeight(0));
    EXPECT_GE(list->width(), lookup->width());
    VoPress(Qt::Key_Escape);
}

TEST_F(VoDBLookupTest, AChooseOnlyLookupTakesNoTypingAndDropsItsCodeWhole) {
    lookup->SetChooseOnly(true);
    lookup->setFocus();
    lookup->end(false);
    VoType(QStringLiteral("x"));
    VoPress(Qt::Key_Down, Qt::AltModifier);
    EXPECT_FALSE(lookup->DropDown()->isVisible());
    EXPECT_EQ(lookup->text(), QStringLiteral("Materiale di facile consumo"));
    EXPECT_EQ(qc.State(), dsBrowse);
    VoPress(Qt::Key_Backspace);
    EXPECT_TRUE(lookup->text().isEmpty());
    VoPress(Qt::Key_Tab);
    EXPECT_TRUE(qc.FieldByName(QStringLiteral("ITFCID"))->IsNull());

    // The search form still chooses.
    WhenSearchFormOpens([](TVoSearchDialog *form) {
        QTest::keyClicks(form->SearchEdit(), QStringLiteral("pul"));
        QTest::keyClick(form->SearchEdit(), Qt::Key_Return);
    });
    lookup->setFocus();
    QTest::keyClick(lookup, Qt::Key_F8);
    EXPECT_EQ(qc.FieldByName(QStringLiteral("ITFCID"))->AsInteger(), 4);
}

TEST_F(VoDBLookupTest, SearchFormOnItsOwn) {
    TVoSearchDialog form;
    form.SetSQL(
        QStringLiteral("SELECT ITFCID, STFCSDESC, STFCLDESC FROM TTFC_TIPOVELIST ORDER BY ##ORDERBY##"));
    form.Columns(1).Caption = QStringLiteral("Codice");
    form.Columns(1).Indexed = true;
    form.Columns(2).Caption = QStringLiteral("Descrizione");
    form.SetSelectedID(6);
    ASSERT_TRUE(form.Open());
    EXPECT_EQ(form.ColumnNames(), (QStringList{QStringLiteral("ITFCID"), QStringLiteral("STFCSDESC"),
                                               QStringLiteral("STFCLDESC")}));
    EXPECT_TRUE(form.Grid()->isColumnHidden(0));
    EXPECT_FALSE(form.Grid()->isColumnHidden(2));
    EXPECT_EQ(form.SelectedID().toInt(), 6);
    EXPECT_EQ(form.SelectedValue(QStringLiteral("stfcldesc")).toString(),
              QStringLiteral("Cancelleria e stampati"));
    // Only the indexed column is searched: "durevoli" is in both descriptions of two rows.
    form.SetSearchText(QStringLiteral("durevoli"));
    EXPECT_EQ(form.RowCount(), 2);
    form.SetSearchText(QStringLiteral("beni"));
    EXPECT_EQ(form.RowCount(), 0);
    form.SetSearchText(QString());
    form.SortByColumn(1, true);
    EXPECT_EQ(form.SelectedValue(1).toString(), QStringLiteral("Pulizia"));
}

// The rows a list shows, by the texts of one of its columns.
QStringList ListedTexts(const QAbstractItemModel *model, int column) {
    QStringList texts;
    for (int r = 0; r < model->rowCount(); ++r)
        texts << model->index(r, column).data().toString();
    return texts;
}

// Typed text is bound as a value with an escape, so "%", "_", "\" and quotes match themselves: in
// the search form (anywhere in a text) and in the lookup's drop-down (at its start).
TEST_F(VoDBLookupTest, TypedWildcardsMatchThemselves) {
    VoExecSQL(QStringLiteral("CREATE TABLE TVOCI (IVOCEID INTEGER NOT NULL PRIMARY KEY, SVOCE VARCHAR(40))"));
    const QStringList rows{QStringLiteral("50% sconto"), QStringLiteral("500 lotto"),
                           QStringLiteral("a_b codice"), QStringLiteral("axb codice"),
                           QStringLiteral("l'anno"),     QStringLiteral("a\\b cartella")};
    for (int i = 0; i < rows.size(); ++i)
        VoExecSQL(QStringLiteral("INSERT INTO TVOCI (IVOCEID, SVOCE) VALUES (:id, :text)"),
                  {{QStringLiteral("id"), i + 1}, {QStringLiteral("text"), rows[i]}});
    const QString list = QStringLiteral("SELECT IVOCEID, SVOCE FROM TVOCI WHERE ##WHERE##");
    TVoSearchDialog form;
    form.SetSQL(list);
    ASSERT_TRUE(form.Open());
    lookup->SetListSQL(list);
    lookup->SetKeyField(QStringLiteral("IVOCEID"));
    lookup->SetListField(QStringLiteral("SVOCE"));

    const struct {
        QString typed;
        QString found;
    } cases[] = {
        {QStringLiteral("50%"), QStringLiteral("50% sconto")},
        {QStringLiteral("a_b"), QStringLiteral("a_b codice")},
        {QStringLiteral("a\\b"), QStringLiteral("a\\b cartella")},
        {QStringLiteral("l'a"), QStringLiteral("l'anno")},
    };
    for (const auto &c : cases) {
        form.SearchEdit()->clear();
        QTest::keyClicks(form.SearchEdit(), c.typed);
        EXPECT_EQ(ListedTexts(form.Grid()->model(), 1), QStringList{c.found}) << c.typed.toStdString();

        lookup->setFocus();
        lookup->selectAll();
        VoType(c.typed);
        EXPECT_EQ(ListedTexts(lookup->DropDown()->model(), 0), QStringList{c.found}) << c.typed.toStdString();
        VoPress(Qt::Key_Escape);
    }
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
}

// Enter takes the row whose text is the one typed, else one that begins with it, before a row that
// merely holds it and sorts earlier.
TEST_F(VoDBLookupTest, TheSearchFormTakesTheTextTypedBeforeOneThatHoldsIt) {
    VoExecSQL(QStringLiteral("CREATE TABLE TVOCI (IVOCEID INTEGER NOT NULL PRIMARY KEY, SVOCE VARCHAR(40))"));
    const QStringList rows{QStringLiteral("Automezzi e altri beni mobili"), QStringLiteral("Mobili e arredi"),
                           QStringLiteral("Altri arredi"), QStringLiteral("Arredi")};
    for (int i = 0; i < rows.size(); ++i)
        VoExecSQL(QStringLiteral("INSERT INTO TVOCI (IVOCEID, SVOCE) VALUES (:id, :text)"),
                  {{QStringLiteral("id"), i + 1}, {QStringLiteral("text"), rows[i]}});
    const struct {
        const char *typed;
        const char *chosen;
    } cases[] = {{"Mobili", "Mobili e arredi"}, {"ARREDI", "Arredi"}, {"altri", "Altri arredi"}};
    for (const auto &c : cases) {
        TVoSearchDialog form;
        form.SetSQL(QStringLiteral("SELECT IVOCEID, SVOCE FROM TVOCI WHERE ##WHERE## ORDER BY ##ORDERBY##"));
        ASSERT_TRUE(form.Open());
        QTest::keyClicks(form.SearchEdit(), QString::fromUtf8(c.typed));
        QTest::keyClick(form.SearchEdit(), Qt::Key_Return);
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(form.SelectedValue(1).toString(), QString::fromUtf8(c.chosen)) << c.typed;
    }
}

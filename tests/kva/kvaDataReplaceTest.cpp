// The bulk data replacement as the office uses it: a data item from the stored definition, the articles
// picked in the double list narrowed by the filter form, the old and the new value, and every picked
// article rewritten in one transaction; a faulty definition or a failing statement writes nothing.
#include "VoDBDateEdit.h"
#include "VoIdComboBox.h"
#include "VoLookupComboBox.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestWindows.h"
#include "VoWait.h"
#include "VoWindowDrive.h"
#include "kvaFDataReplace.h"
#include "kvaRDblLstArtSelect.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class kvaDataReplaceTest : public kvaWindowTest {
protected:
    void OpenWizard() {
        fm = Open<TfmKvaDataReplace>(QStringLiteral("TfmKvaDataReplace"));
        ASSERT_TRUE(fm);
        picker = fm->frKvaDblLstArtSelect1;
    }
    // Replaces the stored definition's fields.
    static void Define(const QString &fields) {
        VoExecSQL(
            QStringLiteral("UPDATE TYXAR_XMLARCHIVIO SET BYXARXMLFILE = :x WHERE SYXARCODICE = 'KVAREPLACE'"),
            {{QStringLiteral("x"), QStringLiteral("<Fields>%1</Fields>").arg(fields)}});
    }
    static QString Field(const QString &caption, const QString &type, const QString &update,
                         const QString &more = QString()) {
        return QStringLiteral("<Field Caption=\"%1\" Type=\"%2\" UpdateScript=\"%3\" %4/>")
            .arg(caption, type, update.toHtmlEscaped(), more);
    }
    static int Article(const QString &code) {
        return VoSelectValue(QStringLiteral("SELECT IFARID FROM TFAR_FACARTICOLI WHERE SFARSDESC = :c"),
                             {{QStringLiteral("c"), code}})
            .toInt();
    }
    static QString Code(int article) {
        return VoSelectValue(QStringLiteral("SELECT SFARSDESC FROM TFAR_FACARTICOLI WHERE IFARID = :i"),
                             {{QStringLiteral("i"), article}})
            .toString();
    }
    static QStringList Column(const QTreeWidget *list, int column) {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts << list->topLevelItem(i)->text(column);
        return texts;
    }
    // Chooses a line of the field list and goes to the articles page.
    void ChooseField(int row) {
        while (fm->ActivePageIndex() > 0)
            VoClick(fm->buPrior);
        fm->lbFieldList->setCurrentRow(row);
        VoClick(fm->buNext);
    }
    // Picks articles by their codes and goes to the values page.
    void Pick(const QStringList &codes) {
        picker->lvLeft->clearSelection();
        for (int i = 0; i < picker->lvLeft->topLevelItemCount(); ++i)
            if (codes.contains(picker->lvLeft->topLevelItem(i)->text(0)))
                picker->lvLeft->topLevelItem(i)->setSelected(true);
        VoClick(picker->buMoveRight);
        VoClick(fm->buNext);
    }
    void Confirm() {
        messages->Push({mrYes, mrOk});
        VoClick(fm->buOk);
    }
    void ClickColumn(QTreeWidget *list, int column) {
        QHeaderView *header = list->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }
    // Runs the filter form with conditions and answers OK.
    void Filter(const std::function<void(TfrVoFiltro *)> &compose) {
        VoWhenModalOpens<TfmVoRptFiltro>([compose](TfmVoRptFiltro *form) {
            compose(form->frVoFiltro);
            form->buOk->click();
        });
        picker->acFilter->trigger();
    }
    bool FilterImageOn() const {
        return picker->acApplyFilter->icon().cacheKey() == picker->ilToolBarImages.Icon(2).cacheKey();
    }

    TfmKvaDataReplace *fm = nullptr;
    TfrKvaDblLstArtSelect *picker = nullptr;
};

const QString kTitleUpdate = QStringLiteral(
    "UPDATE TFAR_FACARTICOLI SET SFARLIBTITOLO = :NEWVALUE WHERE IFARID = :SELECTEDID AND (:ANY = 1 OR "
    "SFARLIBTITOLO = :OLDVALUE)");

TEST_F(kvaDataReplaceTest, ThePickerListsInCodeOrderAndSortsByTheClickedColumn) {
    const int late = VoTestArticle(QStringLiteral("Zaino"));
    const int early = VoTestArticle(QStringLiteral("Zaino"));
    VoExecSQL(
        QStringLiteral("UPDATE TFAR_FACARTICOLI SET SFARSDESC = 'Z000001', ICAFID = 1 WHERE IFARID = :i"),
        {{QStringLiteral("i"), late}});
    VoExecSQL(
        QStringLiteral("UPDATE TFAR_FACARTICOLI SET SFARSDESC = 'A000001', ICAFID = 2 WHERE IFARID = :i"),
        {{QStringLiteral("i"), early}});
    OpenWizard();
    ChooseField(0);
    EXPECT_EQ(picker->laLeftTitle->text(), QStringLiteral("Articoli disponibili"));
    EXPECT_EQ(picker->laRightTitle->text(), QStringLiteral("Articoli selezionati"));
    QStringList codes = Column(picker->lvLeft, 0);
    ASSERT_EQ(codes.size(), 14);
    EXPECT_EQ(codes.first(), QStringLiteral("0000101"));
    EXPECT_EQ(codes.last(), QStringLiteral("Z000001"));
    EXPECT_EQ(picker->lvLeft->topLevelItem(0)->text(2), QStringLiteral("Cancelleria"));
    EXPECT_EQ(TfrVoDoubleListView::ItemData(picker->lvLeft->topLevelItem(0)),
              Article(QStringLiteral("0000101")));

    // By category the two bags swap; by description they come back in code order.
    ClickColumn(picker->lvLeft, 2);
    ClickColumn(picker->lvLeft, 1);
    codes = Column(picker->lvLeft, 0);
    EXPECT_EQ(codes.mid(codes.size() - 2),
              (QStringList{QStringLiteral("A000001"), QStringLiteral("Z000001")}));
    EXPECT_EQ(Column(picker->lvLeft, 1).first(), QStringLiteral("CARTA A3 80 GR RISMA DA 500 FOGLI"));
    ClickColumn(picker->lvLeft, 3);
    EXPECT_EQ(Column(picker->lvLeft, 0), codes);

    Pick({QStringLiteral("0000103")});
    VoClick(fm->buPrior);
    picker->ReloadLists();
    EXPECT_EQ(picker->RightCount(), 0);
    EXPECT_EQ(picker->LeftCount(), 14);
    EXPECT_EQ(picker->SortColumn(), 0);
    EXPECT_EQ(Column(picker->lvLeft, 0).first(), QStringLiteral("0000101"));
}

TEST_F(kvaDataReplaceTest, TheFilterFindsAnApostropheAndSwitchesOffAndOnEmptyingTheSelection) {
    VoTestArticle(QStringLiteral("Carta d'imballo"));
    VoTestArticle(QStringLiteral("Carta da imballo"));
    OpenWizard();
    ChooseField(0);
    EXPECT_FALSE(picker->acApplyFilter->isChecked());
    Filter([](TfrVoFiltro *f) {
        f->AddCondition(QStringLiteral("Descrizione"), QStringLiteral("contiene"), QStringLiteral("d'imb"));
    });
    EXPECT_EQ(Column(picker->lvLeft, 1), QStringList{QStringLiteral("CARTA D'IMBALLO")});
    EXPECT_TRUE(picker->acApplyFilter->isChecked());
    EXPECT_TRUE(FilterImageOn());

    VoClick(picker->buMoveAllRight);
    picker->acApplyFilter->trigger();
    EXPECT_FALSE(picker->acApplyFilter->isChecked());
    EXPECT_FALSE(FilterImageOn());
    EXPECT_EQ(picker->LeftCount(), 14);
    EXPECT_EQ(picker->RightCount(), 0);
    picker->acApplyFilter->trigger();
    EXPECT_TRUE(picker->acApplyFilter->isChecked());
    EXPECT_EQ(picker->LeftCount(), 1);

    // The same form again, its conditions cleared: no filter at all.
    Filter([](TfrVoFiltro *f) { f->ClearConditions(); });
    EXPECT_FALSE(picker->acApplyFilter->isChecked());
    EXPECT_EQ(picker->LeftCount(), 14);
    picker->acApplyFilter->trigger();
    EXPECT_FALSE(picker->acApplyFilter->isChecked());
    EXPECT_EQ(picker->LeftCount(), 14);
}

TEST_F(kvaDataReplaceTest, AFilterIsSavedInTheUsersConfigurationNotInTheProgramsFolder) {
    // The programs' folder, which every user shares, with a filter an earlier release saved there.
    QTemporaryDir programs;
    qputenv("VELISTO_HOME", QFile::encodeName(programs.path()));
    const QString earlier = programs.filePath(QStringLiteral("kva/filter"));
    QDir().mkpath(earlier);
    QFile old(earlier + QStringLiteral("/Vecchio.xml"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("<FilterConditions Join=\"AND\"/>");
    old.close();
    const QString mine = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/velisto/filter/kva/");
    QDir(mine).removeRecursively();
    OpenWizard();
    ChooseField(0);
    QStringList offered;
    Filter([&offered](TfrVoFiltro *f) {
        offered = f->SavedFilters();
        f->AddCondition(QStringLiteral("Categoria"), QStringLiteral("uguale a"),
                        QStringLiteral("Materiale di pulizia"));
        f->SaveFilter(QStringLiteral("Pulizia"));
        f->ClearConditions();
        f->LoadFilter(QStringLiteral("Pulizia"));
    });
    qunsetenv("VELISTO_HOME");
    EXPECT_EQ(offered, QStringList{QStringLiteral("Vecchio")});
    EXPECT_TRUE(QFile::exists(mine + QStringLiteral("Pulizia.xml")));
    EXPECT_EQ(QDir(earlier).entryList(QDir::Files), QStringList{QStringLiteral("Vecchio.xml")});
    EXPECT_EQ(Column(picker->lvLeft, 0), (QStringList{QStringLiteral("0000107"), QStringLiteral("0000108")}));
}

TEST_F(kvaDataReplaceTest, ACategoryIsReplacedOnThePickedArticlesHavingTheOldOne) {
    OpenWizard();
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("Sostituzione dati"));
    ASSERT_EQ(fm->lbFieldList->count(), 3);
    EXPECT_EQ(fm->lbFieldList->item(0)->text(), QStringLiteral("Categoria"));
    EXPECT_FALSE(fm->buNext->isEnabled());
    ChooseField(0);
    Pick({QStringLiteral("0000101"), QStringLiteral("0000107"), QStringLiteral("0000109")});
    EXPECT_TRUE(fm->ckAnyValue->isChecked());
    EXPECT_FALSE(fm->OldValueEditor()->isEnabled());
    VoClick(fm->ckAnyValue);
    EXPECT_TRUE(fm->OldValueEditor()->isEnabled());
    auto *oldList = qobject_cast<TVoIdComboBox *>(fm->OldValueEditor());
    auto *newList = qobject_cast<TVoIdComboBox *>(fm->NewValueEditor());
    ASSERT_TRUE(oldList && newList);
    EXPECT_EQ(oldList->itemText(0), QStringLiteral("<Vuoto>"));
    oldList->setCurrentIndex(oldList->findText(QStringLiteral("Cancelleria")));
    newList->setCurrentIndex(newList->findText(QStringLiteral("Materiale didattico")));
    Confirm();
    EXPECT_EQ(messages->Texts(),
              (QStringList{QStringLiteral("Confermi la sostituzione del dato ?"),
                           QStringLiteral("Rimpiazzato il dato Categoria a 1 articolo/i")}));
    EXPECT_EQ(
        VoRowTexts(QStringLiteral("SELECT SFARSDESC || ':' || ICAFID FROM TFAR_FACARTICOLI WHERE SFARSDESC "
                                  "IN ('0000101', '0000102', '0000107', '0000109') ORDER BY 1")),
        (QStringList{QStringLiteral("0000101:4"), QStringLiteral("0000102:1"), QStringLiteral("0000107:2"),
                     QStringLiteral("0000109:3")}));
    EXPECT_EQ(fm->ActivePageIndex(), 0);
    EXPECT_TRUE(fm->isVisible());
}

TEST_F(kvaDataReplaceTest, EachEditorGivesItsValueTypedAndTheValuesPageStartsAnew) {
    const QString all = QStringLiteral("SELECT IFARID, SFARLDESC FROM TFAR_FACARTICOLI ORDER BY SFARSDESC");
    Define(Field(QStringLiteral("Lista"), QStringLiteral("enum"), kTitleUpdate,
                 QStringLiteral("ValuesQuery=\"%1\"").arg(all)) +
           QStringLiteral("<Field Caption=\"Scelta\" Type=\"cxenum\" UpdateScript=\"x\" ValuesQuery=\"%1\" "
                          "KeyFieldNames=\"IFARID\" ListFieldNames=\"SFARLDESC\"><ListColumns>"
                          "<ListColumn FieldName=\"SFARLDESC\" Caption=\"Descrizione\" MinWidth=\"200\"/>"
                          "</ListColumns></Field>")
               .arg(all) +
           Field(QStringLiteral("Data"), QStringLiteral("date"), kTitleUpdate) +
           Field(QStringLiteral("Sì/no"), QStringLiteral("boolean"), kTitleUpdate) +
           Field(QStringLiteral("Numero"), QStringLiteral("integer"), kTitleUpdate) +
           Field(QStringLiteral("Testo"), QString(), kTitleUpdate));
    OpenWizard();
    const int first = Article(QStringLiteral("0000101"));
    struct Case {
        std::function<void(QWidget *)> set; // the new editor set as the user sets it
        QVariant newValue;
    };
    const QList<Case> cases{
        {[](QWidget *w) { qobject_cast<TVoIdComboBox *>(w)->setCurrentIndex(0); }, first},
        {[first](QWidget *w) { qobject_cast<TVoLookupComboBox *>(w)->SetEditValue(first); }, first},
        {[](QWidget *w) { qobject_cast<TVoDBDateEdit *>(w)->SetDate(QDate(2026, 3, 2)); }, QDate(2026, 3, 2)},
        {[](QWidget *w) { VoClick(qobject_cast<QCheckBox *>(w)); }, QStringLiteral("1")},
        {[](QWidget *w) { qobject_cast<QSpinBox *>(w)->setValue(42); }, 42},
        {[](QWidget *w) { VoTypeInto(qobject_cast<QLineEdit *>(w), QStringLiteral("Nuovo")); },
         QStringLiteral("Nuovo")},
    };
    // What the old editors give untouched: "<Vuoto>", nothing chosen and no date are NULL; an empty text
    // stays a text.
    const QList<QVariant> untouched{
        VoNull(QMetaType::Int),    VoNull(QMetaType::Int), VoNull(QMetaType::QDate), QStringLiteral("0"), 0,
        QString(QLatin1String(""))};
    for (int i = 0; i < cases.size(); ++i) {
        ChooseField(i);
        VoClick(fm->buNext);
        SCOPED_TRACE(fm->lbFieldList->item(i)->text().toStdString());
        EXPECT_TRUE(fm->ckAnyValue->isChecked());
        EXPECT_FALSE(fm->OldValueEditor()->isEnabled());
        const QVariant old = fm->EditorValue(fm->OldValueEditor());
        EXPECT_EQ(old.isNull(), untouched[i].isNull());
        EXPECT_EQ(old.typeId(), untouched[i].typeId());
        EXPECT_EQ(old, untouched[i]);
        cases[i].set(fm->NewValueEditor());
        const QVariant value = fm->EditorValue(fm->NewValueEditor());
        EXPECT_EQ(value.typeId(), cases[i].newValue.typeId());
        EXPECT_EQ(value, cases[i].newValue);
        // Unticked here, ticked again when the page is next built.
        VoClick(fm->ckAnyValue);
    }
}

TEST_F(kvaDataReplaceTest, NoOldValueTurnsTheFirstComparisonIntoIsNullAndTheCountAddsUpRows) {
    // Each run touches the articles of the chosen one's category that have the old category; the
    // second comparison stays one with a NULL, which no row meets (as "IS NULL" every row would).
    Define(
        Field(QStringLiteral("Categoria"), QStringLiteral("enum"),
              QStringLiteral("UPDATE TFAR_FACARTICOLI SET ICAFID = :NEWVALUE WHERE COALESCE(ICAFID, 0) = "
                             "(SELECT COALESCE(ICAFID, 0) FROM TFAR_FACARTICOLI WHERE IFARID = :SELECTEDID) "
                             "AND (:ANY = 1 OR ICAFID = :OLDVALUE) AND (IUNMID = :OLDVALUE) IS NOT TRUE"),
              QStringLiteral("ValuesQuery=\"SELECT ICAFID, SCAFDESC FROM TCAF_CATEGORIEFAC ORDER BY 1\"")));
    const int a = VoTestArticle(QStringLiteral("Senza categoria uno"));
    VoTestArticle(QStringLiteral("Senza categoria due"));
    VoTestArticle(QStringLiteral("Senza categoria tre"));
    OpenWizard();
    ChooseField(0);
    Pick({Code(a)});
    VoClick(fm->ckAnyValue);
    qobject_cast<TVoIdComboBox *>(fm->NewValueEditor())->setCurrentIndex(3); // Materiale didattico
    Confirm();
    EXPECT_EQ(messages->Texts().value(1), QStringLiteral("Rimpiazzato il dato Categoria a 3 articolo/i"));
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TFAR_FACARTICOLI WHERE ICAFID = 4")), 3);

    messages->Clear();
    ChooseField(0);
    VoClick(fm->buNext);
    VoClick(picker->buMoveAllLeft);
    VoClick(fm->buNext);
    Confirm();
    EXPECT_EQ(messages->Texts().value(1), QStringLiteral("Rimpiazzato il dato Categoria a 0 articolo/i"));
}

TEST_F(kvaDataReplaceTest, TheSecondStatementRunsForEveryArticleAfterAllUpdates) {
    Define(Field(QStringLiteral("Titolo"), QString(), kTitleUpdate,
                 QStringLiteral("InsertScript=\"%1\"")
                     .arg(QStringLiteral("UPDATE TFAR_FACARTICOLI SET SFARLIBAUTORE = (SELECT COUNT(*) FROM "
                                         "TFAR_FACARTICOLI WHERE SFARLIBTITOLO = :NEWVALUE) WHERE IFARID = "
                                         ":SELECTEDID AND (:ANY = 1 OR SFARLIBTITOLO = :OLDVALUE)")
                              .toHtmlEscaped())));
    OpenWizard();
    ChooseField(0);
    Pick({QStringLiteral("0000101"), QStringLiteral("0000102"), QStringLiteral("0000103")});
    VoTypeInto(qobject_cast<QLineEdit *>(fm->NewValueEditor()), QStringLiteral("Nuovo"));
    Confirm();
    EXPECT_EQ(messages->Texts().value(1), QStringLiteral("Rimpiazzato il dato Titolo a 3 articolo/i"));
    EXPECT_EQ(VoRowTexts(
                  QStringLiteral("SELECT SFARLIBAUTORE FROM TFAR_FACARTICOLI WHERE SFARLIBTITOLO = 'Nuovo'")),
              (QStringList{QStringLiteral("3"), QStringLiteral("3"), QStringLiteral("3")}));
}

TEST_F(kvaDataReplaceTest, AStatementLackingAParameterWritesNothing) {
    struct Case {
        QString update;
        QString insert;
        QString missing;
    };
    const QString set = QStringLiteral("UPDATE TFAR_FACARTICOLI SET ");
    const QList<Case> cases{
        {set +
             QStringLiteral("SFARLIBTITOLO = 'x' WHERE IFARID = :SELECTEDID AND (:ANY = 1 OR SFARLIBTITOLO = "
                            ":OLDVALUE)"),
         QString(), QStringLiteral("NEWVALUE")},
        {set + QStringLiteral(
                   "SFARLIBTITOLO = :NEWVALUE WHERE IFARID = :SELECTEDID AND SFARLIBTITOLO <> :OLDVALUE"),
         QString(), QStringLiteral("ANY")},
        {set + QStringLiteral("SFARLIBTITOLO = :NEWVALUE WHERE (:ANY = 1 OR SFARLIBTITOLO = :OLDVALUE)"),
         QString(), QStringLiteral("SELECTEDID")},
        {set + QStringLiteral("SFARLIBTITOLO = :NEWVALUE WHERE IFARID = :SELECTEDID AND :ANY = 1"), QString(),
         QStringLiteral("OLDVALUE")},
        // An empty text is an old value, so the first parameter found missing is that one.
        {QString(), QString(), QStringLiteral("OLDVALUE")},
        {kTitleUpdate,
         set + QStringLiteral("SFARLIBAUTORE = :NEWVALUE WHERE :ANY = 1 AND SFARLIBAUTORE <> :OLDVALUE"),
         QStringLiteral("SELECTEDID")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.missing.toStdString());
        Define(Field(QStringLiteral("Titolo"), QString(), c.update,
                     c.insert.isEmpty()
                         ? QString()
                         : QStringLiteral("InsertScript=\"%1\"").arg(c.insert.toHtmlEscaped())));
        OpenWizard();
        ChooseField(0);
        Pick({QStringLiteral("0000101")});
        VoTypeInto(qobject_cast<QLineEdit *>(fm->NewValueEditor()), QStringLiteral("Nuovo"));
        messages->Clear();
        Confirm();
        EXPECT_EQ(messages->LastText(), QStringLiteral("Parametro %1 non definito").arg(c.missing));
        EXPECT_EQ(
            VoCountRows(QStringLiteral("SELECT * FROM TFAR_FACARTICOLI WHERE SFARLIBTITOLO IN ('Nuovo', 'x') "
                                       "OR SFARLIBAUTORE = 'Nuovo'")),
            0);
        EXPECT_EQ(fm->ActivePageIndex(), 2);
        VoCloseWindow(fm);
    }
}

TEST_F(kvaDataReplaceTest, AFailureOnALaterArticleUndoesTheEarlierOnesAndKeepsTheChoices) {
    const int second = Article(QStringLiteral("0000102"));
    // The second article's row divides by zero.
    Define(
        Field(QStringLiteral("Numero"), QStringLiteral("integer"),
              QStringLiteral("UPDATE TFAR_FACARTICOLI SET SFARLIBTITOLO = CAST(1 / (IFARID - :NEWVALUE) AS "
                             "VARCHAR(20)) WHERE IFARID = :SELECTEDID AND (:ANY = 1 OR 0 = :OLDVALUE)")));
    OpenWizard();
    ChooseField(0);
    Pick({QStringLiteral("0000101"), QStringLiteral("0000102"), QStringLiteral("0000103")});
    qobject_cast<QSpinBox *>(fm->NewValueEditor())->setValue(second);
    Confirm();
    ASSERT_EQ(messages->Texts().size(), 2);
    EXPECT_FALSE(messages->Texts()[1].startsWith(QStringLiteral("Rimpiazzato")));
    EXPECT_EQ(messages->Shown()[1].type, mtError);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TFAR_FACARTICOLI WHERE SFARLIBTITOLO <> ''")), 1);
    EXPECT_EQ(fm->ActivePageIndex(), 2);
    EXPECT_EQ(picker->RightCount(), 3);
    EXPECT_EQ(qobject_cast<QSpinBox *>(fm->NewValueEditor())->value(), second);
}

TEST_F(kvaDataReplaceTest, AnnullaHalfWayWritesNothingAndKeepsTheChoices) {
    Define(Field(
        QStringLiteral("Numero"), QStringLiteral("integer"),
        QStringLiteral("UPDATE TFAR_FACARTICOLI SET SFARLIBTITOLO = CAST(:NEWVALUE AS VARCHAR(20)) WHERE "
                       "IFARID = :SELECTEDID AND (:ANY = 1 OR 0 = :OLDVALUE)")));
    const QString titles =
        QStringLiteral("SELECT IFARID, SFARLIBTITOLO FROM TFAR_FACARTICOLI ORDER BY IFARID");
    const QStringList before = VoRowTexts(titles);
    OpenWizard();
    ChooseField(0);
    Pick({QStringLiteral("0000101"), QStringLiteral("0000102"), QStringLiteral("0000103")});
    qobject_cast<QSpinBox *>(fm->NewValueEditor())->setValue(7);
    {
        // "Annulla" once two of the three articles are written.
        TVoPressAnnulla annulla(2);
        Confirm();
    }
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Confermi la sostituzione del dato ?")});
    EXPECT_EQ(VoRowTexts(titles), before);
    EXPECT_FALSE(fmVoWait()->isVisible());
    EXPECT_EQ(fm->ActivePageIndex(), 2);
    EXPECT_EQ(picker->RightCount(), 3);
}

} // namespace

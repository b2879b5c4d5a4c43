// The double list moving items both ways, and the filter form composing conditions with their values
// as parameters, saving them under a name and loading them back.
#include "VoDoubleListView.h"
#include "VoDBDateEdit.h"
#include "VoFiltro.h"
#include "VoMessages.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

QStringList Captions(const QTreeWidget *list) {
    QStringList captions;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        captions << list->topLevelItem(i)->text(0);
    return captions;
}

TEST(VoDoubleListViewTest, MovesTheSelectedOrAllItemsEitherWayKeepingTheirDataAndOrder) {
    TfrVoDoubleListView view;
    view.SetColumns({QStringLiteral("Codice"), QStringLiteral("Nome")}, {60, 0});
    view.AddItems(view.lvLeft,
                  {TfrVoDoubleListView::NewItem(QStringLiteral("c"), {QStringLiteral("tre")}, 3),
                   TfrVoDoubleListView::NewItem(QStringLiteral("a"), {QStringLiteral("uno")}, 1),
                   TfrVoDoubleListView::NewItem(QStringLiteral("B"), {QStringLiteral("due")}, 2)});
    view.show();
    EXPECT_FALSE(view.buMoveRight->isEnabled());
    view.lvLeft->topLevelItem(0)->setSelected(true);
    view.lvLeft->topLevelItem(1)->setSelected(true);
    EXPECT_EQ(view.LeftSelCount(), 2);
    QTest::mouseClick(view.buMoveRight, Qt::LeftButton);
    EXPECT_EQ(Captions(view.lvLeft), QStringList{QStringLiteral("B")});
    // The target sorts by the first column, ignoring case.
    EXPECT_EQ(Captions(view.lvRight), (QStringList{QStringLiteral("a"), QStringLiteral("c")}));
    EXPECT_EQ(view.ItemsData(view.lvRight), (QList<int>{1, 3}));
    EXPECT_EQ(view.RightSelCount(), 0);
    QTest::mouseClick(view.buMoveAllRight, Qt::LeftButton);
    EXPECT_EQ(view.LeftCount(), 0);
    ASSERT_EQ(view.ItemsData(view.lvRight), (QList<int>{1, 2, 3}));
    view.lvRight->topLevelItem(2)->setSelected(true);
    QTest::mouseClick(view.buMoveLeft, Qt::LeftButton);
    EXPECT_EQ(view.ItemsData(view.lvLeft), QList<int>{3});
    QTest::mouseClick(view.buMoveAllLeft, Qt::LeftButton);
    EXPECT_EQ(view.RightCount(), 0);
    EXPECT_EQ(Captions(view.lvLeft),
              (QStringList{QStringLiteral("a"), QStringLiteral("B"), QStringLiteral("c")}));
}

class VoFiltroTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        filter.SetXMLFilter(QStringLiteral("<Filter>"
                                           "<Field Caption=\"Descrizione\" Column=\"a.sDesc\"/>"
                                           "<Field Caption=\"Quantità\" Column=\"a.iQta\" Type=\"integer\"/>"
                                           "<Field Caption=\"Data\" Column=\"a.dData\" Type=\"date\"/>"
                                           "</Filter>"));
        filter.SetFilterDir(dir.path() + QStringLiteral("/filtri/"));
    }
    static QStringList Names(const TVoFilterCondition &c) {
        QStringList names;
        for (const TVoFilterParam &p : c.params)
            names << QStringLiteral("%1=%2").arg(p.name, p.value.toString());
        return names;
    }

    QTemporaryDir dir;
    TVoScriptedMessages messages;
    TfrVoFiltro filter;
};

TEST_F(VoFiltroTest, ConditionsComeOutAsParametersJoinedAsChosen) {
    EXPECT_TRUE(filter.GetCondition().IsEmpty());
    ASSERT_TRUE(filter.AddCondition(QStringLiteral("Descrizione"), QStringLiteral("contiene"),
                                    QStringLiteral("l'arte")));
    TVoFilterCondition one = filter.GetCondition();
    // "contiene" as in the search box: anywhere, ignoring case, "%", "_" and "\" as typed.
    EXPECT_EQ(one.text, QStringLiteral("UPPER(a.sDesc) LIKE CAST(:VOFILTRO1 AS VARCHAR(400)) ESCAPE '\\'"));
    EXPECT_EQ(Names(one), QStringList{QStringLiteral("VOFILTRO1=%L'ARTE%")});

    ASSERT_TRUE(
        filter.AddCondition(QStringLiteral("Quantità"), QStringLiteral("maggiore di"), QStringLiteral("5")));
    ASSERT_TRUE(filter.AddCondition(QStringLiteral("Data"), QStringLiteral("uguale a"),
                                    QStringLiteral("02/03/2026")));
    filter.SetMatchAll(false);
    const TVoFilterCondition three = filter.GetCondition();
    EXPECT_EQ(
        three.text,
        QStringLiteral("(UPPER(a.sDesc) LIKE CAST(:VOFILTRO1 AS VARCHAR(400)) ESCAPE '\\') OR (a.iQta > "
                       ":VOFILTRO2) OR (a.dData = :VOFILTRO3)"));
    EXPECT_EQ(three.params[2].value, QVariant(QDate(2026, 3, 2)));
    EXPECT_EQ(filter.ConditionTexts(), (QStringList{QStringLiteral("Descrizione contiene l'arte"),
                                                    QStringLiteral("Quantità maggiore di 5"),
                                                    QStringLiteral("Data uguale a 02/03/2026")}));

    EXPECT_FALSE(
        filter.AddCondition(QStringLiteral("Quantità"), QStringLiteral("uguale a"), QStringLiteral("molti")));
    EXPECT_EQ(messages->LastText(), QStringLiteral("Valore non valido per il campo Quantità"));
    EXPECT_EQ(filter.GetCondition().params.size(), 3);

    // A date condition typed as people write it, then one that does not exist.
    filter.show();
    filter.cbField->setCurrentIndex(2);
    for (const QString &typed : {QStringLiteral("1/4/2026"), QStringLiteral("31/02/2026")}) {
        filter.deValue->setFocus(Qt::MouseFocusReason);
        filter.deValue->selectAll();
        QTest::keyClicks(filter.deValue, typed);
        QTest::mouseClick(filter.buAdd, Qt::LeftButton);
    }
    EXPECT_EQ(filter.ConditionTexts().value(3), QStringLiteral("Data uguale a 01/04/2026"));
    EXPECT_EQ(messages->LastText(), QStringLiteral("Valore non valido per il campo Data"));
    EXPECT_EQ(filter.GetCondition().params.size(), 4);
}

TEST_F(VoFiltroTest, ASavedFilterLoadsBackAndReplacingOneAsksFirst) {
    filter.AddCondition(QStringLiteral("Descrizione"), QStringLiteral("contiene"), QStringLiteral("l'arte"));
    filter.AddCondition(QStringLiteral("Data"), QStringLiteral("minore di"), QStringLiteral("31/12/2025"));
    filter.SetMatchAll(false);
    const TVoFilterCondition saved = filter.GetCondition();
    ASSERT_TRUE(filter.SaveFilter(QStringLiteral("Arte vecchia")));
    EXPECT_EQ(filter.SavedFilters(), QStringList{QStringLiteral("Arte vecchia")});

    filter.ClearConditions();
    filter.SetMatchAll(true);
    ASSERT_TRUE(filter.LoadFilter(QStringLiteral("Arte vecchia")));
    EXPECT_EQ(filter.GetCondition().text, saved.text);
    EXPECT_EQ(Names(filter.GetCondition()), Names(saved));
    EXPECT_EQ(filter.GetCondition().params[1].value, QVariant(QDate(2025, 12, 31)));

    messages->Push(mrNo);
    EXPECT_FALSE(filter.SaveFilter(QStringLiteral("Arte vecchia")));
    EXPECT_EQ(messages->LastText(), QStringLiteral("Il filtro Arte vecchia esiste già. Sostituirlo?"));
    EXPECT_FALSE(filter.SaveFilter(QStringLiteral("a/b")));
    EXPECT_EQ(filter.SavedFilters().size(), 1);
}

} // namespace

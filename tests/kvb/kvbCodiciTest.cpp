// The code registries of the durable-goods program as a user meets them: the fixed inventory
// categories, the goods codes allowed in each, the goods codes both programs share, the causal code
// rule, the states that are never added, and codes still named by goods or vouchers kept whichever
// program's window deletes them.
#include "AbcURoutines.h"
#include "VoClassRegistry.h"
#include "VoDBEdits.h"
#include "VoDBFrames.h"
#include "VoDBLookupEdit.h"
#include "VoForms.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestGoods.h"
#include "VoWidgetTest.h"
#include "VoWindowDrive.h"
#include "kvbFCodici.h"

#include <QApplication>
#include <QDate>
#include <QPointer>
#include <functional>
#include <gtest/gtest.h>

namespace {

QString Warning(const QString &text) {
    return QStringLiteral("Attenzione ! \r\n%1. ").arg(text);
}

class kvbCodiciTest : public VoGoodsTest {
protected:
    void TearDown() override {
        VoCloseWindow(window);
        VoGoodsTest::TearDown();
    }
    template <class T> T *Open(const QString &className) {
        auto *opened = VoOpenWindow<T>(className);
        window = opened;
        return opened;
    }
    QPointer<QWidget> window;
};

} // namespace

TEST_F(kvbCodiciTest, OnlyTheEightCategoriesShowAndNoneCanBeChanged) {
    VoExecSQL(QStringLiteral(
        "INSERT INTO TCAM_CATEGORIEINV (ICAMID, SCAMCODICE, SCAMDESC) VALUES (9, 'IX', 'Altro')"));
    auto *fm = Open<TfmkvbCategorie>(QStringLiteral("TfmkvbCategorie"));
    ASSERT_TRUE(fm);
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("Categorie inventariali"));
    EXPECT_EQ(fm->xqcMain->RecordCount(), 8);
    EXPECT_FALSE(fm->xqcMain->Locate(QStringLiteral("ICAMID"), 9));
    for (TVoDataAction *action : {fm->frDetail->xacInsert, fm->frDetail->xacEdit, fm->frDetail->xacDelete}) {
        EXPECT_FALSE(action->isVisible()) << action->text().toStdString();
        EXPECT_FALSE(action->Execute()) << action->text().toStdString();
    }
    EXPECT_EQ(fm->xqcMain->State(), dsBrowse);
}

TEST_F(kvbCodiciTest, ACategoryTakesAnyGoodsCodeOnce) {
    VoExecSQL(QStringLiteral(
        "INSERT INTO TCAM_CATEGORIEINV (ICAMID, SCAMCODICE, SCAMDESC) VALUES (9, 'IX', 'Altro')"));
    auto *fm = Open<TfmCategMerce>(QStringLiteral("TfmCategMerce"));
    ASSERT_TRUE(fm);
    TfrCategMerce *fr = fm->frDetail;
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(fm->xqcMain->RecordCount(), 8);
    ASSERT_TRUE(fm->xqcMain->Locate(QStringLiteral("ICAMID"), 8));
    EXPECT_TRUE(fm->xqcDetail->IsEmpty());

    // A code already allowed in another category is offered too, among every code of both programs.
    ASSERT_TRUE(fr->xacInsert->Execute());
    ASSERT_EQ(QApplication::focusWidget(), fr->xelMerceologia);
    TVoSearchSeen seen;
    VoSearchAndChoose(QStringLiteral("CAR"), &seen);
    EXPECT_EQ(seen.titles, (QStringList{QStringLiteral("Codice"), QStringLiteral("Descrizione")}));
    EXPECT_EQ(seen.rows, VoCountRows(QStringLiteral("SELECT * FROM TMER_CODICIMERCEOL")));
    ASSERT_TRUE(fr->xacPost->Execute()) << messages->LastText().toStdString();
    const QString links =
        QStringLiteral("SELECT * FROM TCAE_CATEGMERCE cae JOIN TMER_CODICIMERCEOL mer ON "
                       "mer.IMERID = cae.IMERID WHERE mer.SMERCODICE = 'CAR' AND cae.ICAMID = 8");
    EXPECT_EQ(VoCountRows(links + QStringLiteral(" AND cae.FCAEIMPMINIMO IS NULL")), 1);

    ASSERT_TRUE(fr->xacInsert->Execute());
    VoSearchAndChoose(QStringLiteral("CAR"));
    messages->Clear();
    EXPECT_FALSE(fr->xacPost->Execute() && fm->xqcDetail->State() == dsBrowse);
    EXPECT_EQ(messages->Texts(),
              QStringList{Warning(QStringLiteral("Codice merceologico già presente nella categoria"))});
    EXPECT_EQ(fm->xqcDetail->State(), dsInsert);
    fr->xacCancel->Execute();
    EXPECT_EQ(VoCountRows(links), 1);
}

class kvbCodiciEmptyTest : public VoDbTest {
protected:
    bool WithDemoData() const override { return false; }
};

TEST_F(kvbCodiciEmptyTest, WithoutCategoriesTheGoodsCodesWindowAsksForOne) {
    VoExecSQL(QStringLiteral("DELETE FROM TCAM_CATEGORIEINV"));
    auto *fm = VoOpenWindow<TfmCategMerce>(QStringLiteral("TfmCategMerce"));
    ASSERT_TRUE(fm);
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Caricare una categoria inventariale")});
    EXPECT_FALSE(fm->frDetail->xacInsert->isEnabled());
    VoCloseWindow(fm);
}

TEST_F(kvbCodiciTest, ANewGoodsCodeIsThisProgramsAndAnEditKeepsTheOwner) {
    auto *fm = Open<TfmkvbCodMerce>(QStringLiteral("TfmkvbCodMerce"));
    ASSERT_TRUE(fm);
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("Tabella codici merceologici"));
    EXPECT_EQ(fm->frDetail, nullptr) << "no details of the codes here";
    ASSERT_TRUE(fm->frMaster->xacInsert->Execute());
    VoTypeInto(fm->frMaster->xedCodice, QStringLiteral("MOB"));
    VoTypeInto(fm->frMaster->xedDesc, QStringLiteral("Mobili"));
    ASSERT_TRUE(fm->frMaster->xacPost->Execute()) << messages->LastText().toStdString();

    ASSERT_TRUE(fm->xqcMain->Locate(QStringLiteral("SMERCODICE"), QStringLiteral("CAR")));
    ASSERT_TRUE(fm->frMaster->xacEdit->Execute());
    VoTypeInto(fm->frMaster->xedDesc, QStringLiteral("Carta"));
    ASSERT_TRUE(fm->frMaster->xacPost->Execute()) << messages->LastText().toStdString();
    EXPECT_EQ(VoRowTexts(QStringLiteral("SELECT SMERCODICE || '/' || SMERDESC || '/' || LMERPRG FROM "
                                        "TMER_CODICIMERCEOL WHERE SMERCODICE IN ('MOB', 'CAR') ORDER BY 1")),
              (QStringList{QStringLiteral("CAR/Carta/F"), QStringLiteral("MOB/Mobili/I")}));
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
}

// The demo holds the causal "DON"; a code differing only in letter case is another code.
TEST_F(kvbCodiciTest, ACausalCodeIsLookedUpOnInsertAndWhenChanged) {
    auto *fm = Open<TfmkvbCausali>(QStringLiteral("TfmkvbCausali"));
    ASSERT_TRUE(fm);
    TfrkvaCausali *fr = fm->frMaster;
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("Causali inventariali"));
    const QStringList taken{Warning(QStringLiteral("Codice già presente"))};

    ASSERT_TRUE(fr->xacInsert->Execute());
    VoTypeInto(fr->VoDBEdit1, QStringLiteral("DON"));
    EXPECT_EQ(messages->Texts(), taken);
    messages->Clear();
    VoTypeInto(fr->VoDBEdit1, QStringLiteral("don"));
    VoTypeInto(fr->VoDBEdit2, QStringLiteral("Dono di privati"));
    VoClick(fr->xckScarico);
    ASSERT_TRUE(fr->xacPost->Execute()) << messages->LastText().toStdString();
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();

    ASSERT_TRUE(fr->xacEdit->Execute());
    VoTypeInto(fr->VoDBEdit1, QStringLiteral("don"));
    VoTypeInto(fr->VoDBEdit2, QStringLiteral("Dono"));
    ASSERT_TRUE(fr->xacPost->Execute()) << messages->LastText().toStdString();
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();

    ASSERT_TRUE(fr->xacEdit->Execute());
    VoTypeInto(fr->VoDBEdit1, QStringLiteral("DON"));
    EXPECT_EQ(messages->Texts(), taken);
    fr->xacCancel->Execute();
    EXPECT_EQ(VoRowTexts(QStringLiteral("SELECT SCAVCODICE || '/' || SCAVDESC || '/' || ICAVTIPO FROM "
                                        "TCAV_CAUSALIINV WHERE UPPER(SCAVCODICE) = 'DON' ORDER BY 1")),
              (QStringList{QStringLiteral("DON/Donazione/0"), QStringLiteral("don/Dono/1")}));
}

TEST_F(kvbCodiciTest, StatesAreNeverAdded) {
    auto *fm = Open<TfmkvbAva>(QStringLiteral("TfmkvbAva"));
    ASSERT_TRUE(fm);
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("Stati di avanzamento"));
    EXPECT_FALSE(fm->frMaster->xacInsert->Execute());
    EXPECT_EQ(fm->xqcMain->State(), dsBrowse);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TAVA_STATIAVANZA")), 4);
}

// Goods and vouchers name these codes; the delete is refused before it runs, from this program's window
// and from the consumables register's, and the row stays.
TEST_F(kvbCodiciTest, ACodeThatGoodsOrVouchersNameIsKeptByEitherProgram) {
    const int voucher = VoTestGoodsVoucher(year2026, 0, QDate(2026, 2, 1), 1);
    const int good = VoTestGood(voucher, 1);
    const QString goods = QStringLiteral("UPDATE TBINB_BENI SET %2 = :id WHERE IBINBID = %1").arg(good);
    const QString link =
        QStringLiteral("INSERT INTO TCAE_CATEGMERCE (ICAEID, ICAMID, IMERID) VALUES ((SELECT L_ICNTID FROM "
                       "PYSETGETID('TCAE_CATEGMERCE', 1)), 1, :id)");
    struct Case {
        const char *window, *table, *key;
        QString use;
        std::function<QWidget *()> open;
    };
    auto byName = [](const char *name) {
        return [name] { return CreateVoClass(QString::fromLatin1(name)); };
    };
    const Case cases[] = {
        {"TfmkvbCausali", "TCAV_CAUSALIINV", "ICAVID", goods.arg("ICAVID"), byName("TfmkvbCausali")},
        {"TfmkvaCausali", "TCAV_CAUSALIINV", "ICAVID", goods.arg("ICAVIDSCARICO"),
         [] { return VoNewForm<TfmkvaCausali>(); }},
        {"TfmkvbCond", "TCOND_CONDIZIONI", "ICONDID", goods.arg("ICONDID"), byName("TfmkvbCond")},
        {"TfmkvaCond", "TCOND_CONDIZIONI", "ICONDID", goods.arg("ICONDID"),
         [] { return VoNewForm<TfmkvaCond>(); }},
        {"TfmkvbCollocazioni", "TCLC_COLLOCAZIONI", "ICLCID", goods.arg("ICLCID"),
         byName("TfmkvbCollocazioni")},
        {"TfmkvaCollocazioni", "TCLC_COLLOCAZIONI", "ICLCID", goods.arg("ICLCID"),
         [] { return VoNewForm<TfmkvaCollocazioni>(); }},
        {"TfmkvbCodMerce", "TMER_CODICIMERCEOL", "IMERID", link, byName("TfmkvbCodMerce")},
        {"TfmkvaCodMerce", "TMER_CODICIMERCEOL", "IMERID", link, [] { return VoNewForm<TfmkvaCodMerce>(); }},
        {"TfmCategMerce", "TCAE_CATEGMERCE", "ICAEID", goods.arg("ICAEID"), byName("TfmCategMerce")},
        {"TfmkvbAva", "TAVA_STATIAVANZA", "IAVAID", goods.arg("IAVAID"), byName("TfmkvbAva")},
        {"TfmkvbDelibere", "TDEL_DELIBERE", "IDELID",
         QStringLiteral("UPDATE TBBUO_BUONI SET IDELID = :id WHERE IBBUOID = %1").arg(voucher),
         byName("TfmkvbDelibere")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.window);
        const QString table = QString::fromLatin1(c.table), key = QString::fromLatin1(c.key);
        const int id = VoTestNewKey(table);
        if (key == QLatin1String("ICAEID"))
            VoExecSQL(QStringLiteral("INSERT INTO TCAE_CATEGMERCE (ICAEID, ICAMID) VALUES (:id, 1)"),
                      {{QStringLiteral("id"), id}});
        else
            VoExecSQL(QStringLiteral("INSERT INTO %1 (%2) VALUES (:id)").arg(table, key),
                      {{QStringLiteral("id"), id}});
        VoExecSQL(c.use, {{QStringLiteral("id"), id}});

        window = c.open();
        ASSERT_TRUE(VoShowActive(window));
        if (auto *categories = qobject_cast<TfmCategMerce *>(window)) {
            ASSERT_TRUE(categories->xqcMain->Locate(QStringLiteral("ICAMID"), 1));
        }
        TfrVoDBRWGrid *frame = VoDeleteRow(window, key, id, messages);
        ASSERT_TRUE(frame);
        EXPECT_EQ(messages->Texts(),
                  (QStringList{QStringLiteral("Cancellare il record?"), CodeInUseMessage}));
        EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM %1 WHERE %2 = %3").arg(table, key).arg(id)), 1);
        EXPECT_TRUE(frame->DataSet()->Locate(key, id)) << "the row stays on the list";
        VoCloseWindow(window);
    }
}

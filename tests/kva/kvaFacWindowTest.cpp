// The registers window as a user meets it: a new register with its type from the search form, the
// registers of the durable-goods program left out, the option rules of an existing register, the
// working context following an edit of the current register, and a linked register kept.
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestDb.h"
#include "VoTestRegisters.h"
#include "VoTestWindows.h"
#include "kvaFFac.h"
#include "kvaMAtt.h"
#include "kvaRFac.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

class kvaFacWindowTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        kva::ResetWorkingContext();
    }
    void TearDown() override {
        VoCloseWindow(window);
        kva::ResetWorkingContext();
        VoDbTest::TearDown();
    }

    TfrkvaTFac *Open() {
        window = VoOpenWindow<TfmkvaFac>(QStringLiteral("TfmkvaFac"));
        return window ? window->frkvaFac : nullptr;
    }
    // Stands on a register of the list and starts editing it.
    void EditRegister(const QString &desc) {
        ASSERT_TRUE(window->xqcMain->Locate(QStringLiteral("sFacDesc"), desc));
        ASSERT_TRUE(window->frkvaFac->xacEdit->Execute());
    }
    static QString Stored(const QString &desc) {
        return VoSelectValue(QStringLiteral("SELECT COALESCE(ITFCID, 'null') || '/' || COALESCE(IFACNUMERAZ, "
                                            "'null') || '/' || COALESCE(IFACIVAINCLUSA, 'null') FROM "
                                            "TFAC_VELISTO WHERE SFACDESC = :d"),
                             {{QStringLiteral("d"), desc}})
            .toString();
    }
    static QString Listed(TVoQueryCollection *c) {
        QStringList out;
        for (c->First(); !c->Eof(); c->Next())
            out << c->FieldByName(QStringLiteral("sFacDesc"))->AsString();
        return out.join(QLatin1Char('|'));
    }

    QPointer<TfmkvaFac> window;
};

} // namespace

TEST_F(kvaFacWindowTest, NewRegisterWithItsTypeFromTheSearchForm) {
    MakeRegister(QStringLiteral("Beni durevoli"), 5);
    MakeRegister(QStringLiteral("Biblioteca durevoli"), 7);
    VoExecSQL(QStringLiteral("INSERT INTO TFAC_VELISTO (IFACID, SFACDESC) VALUES (900, 'Senza tipo')"));
    TfrkvaTFac *fr = Open();
    ASSERT_TRUE(fr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Velisto"));
    EXPECT_TRUE(window->OpenMaximized);
    // Neither the durable-goods registers nor one without its type are listed.
    EXPECT_EQ(Listed(window->xqcMain), QStringLiteral("Facile consumo"));
    EXPECT_FALSE(fr->xelTipoFac->isEnabled());

    ASSERT_TRUE(fr->xacInsert->Execute());
    EXPECT_EQ(QApplication::focusWidget(), fr->xdeDesc);
    EXPECT_TRUE(fr->xelTipoFac->isEnabled());
    EXPECT_TRUE(fr->xckIva->isEnabled());
    EXPECT_TRUE(fr->xckNumAnnuale->isEnabled());
    EXPECT_FALSE(fr->xdsMain->Post());
    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"descrizione\". ")});

    // 34 characters typed, 32 kept.
    VoType(QStringLiteral("Cancelleria della sede principale"));
    EXPECT_EQ(fr->xdeDesc->text(), QStringLiteral("Cancelleria della sede principal"));
    VoPress(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), fr->xelTipoFac);
    messages->Clear();
    EXPECT_FALSE(fr->xacPost->Execute() && window->xqcMain->State() == dsBrowse);
    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"tipo di Velisto\". ")});

    TVoSearchSeen seen;
    VoSearchAndChoose(QStringLiteral("stamp"), &seen);
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.titles, QStringList{QStringLiteral("Tabella tipo Velisto")});
    EXPECT_EQ(seen.rows, 5) << "types 5 and 7 are never offered";
    EXPECT_EQ(fr->xelTipoFac->text(), QStringLiteral("Cancelleria e stampati"));
    VoClick(fr->xckIva);
    VoClick(fr->xckNumAnnuale);
    messages->Clear();
    ASSERT_TRUE(fr->xacPost->Execute());
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(window->xqcMain->State(), dsBrowse);
    EXPECT_EQ(Stored(QStringLiteral("Cancelleria della sede principal")), QStringLiteral("6/1/1"));

    // Options left as the boxes show them are saved unticked, not left unchosen.
    fr->xacInsert->Execute();
    VoType(QStringLiteral("Pulizie"));
    VoPress(Qt::Key_Tab);
    VoType(QStringLiteral("Materiale di pulizia"));
    VoPress(Qt::Key_Tab);
    ASSERT_TRUE(fr->xacPost->Execute());
    EXPECT_EQ(Stored(QStringLiteral("Pulizie")), QStringLiteral("4/0/0"));
    EXPECT_FALSE(fr->xelTipoFac->isEnabled()) << "the type is chosen once";
}

TEST_F(kvaFacWindowTest, AnOptionSetCanBeClearedAndOneNeverChosenCanBeSet) {
    MakeRegister(QStringLiteral("Annuale"), 1, 1, 0);
    MakeRegister(QStringLiteral("Mai impostato"), 1);
    VoExecSQL(
        QStringLiteral("UPDATE TFAC_VELISTO SET IFACNUMERAZ = NULL, IFACIVAINCLUSA = NULL WHERE SFACDESC "
                       "= 'Mai impostato'"));
    ASSERT_TRUE(kvaRegisterOptionsMissing());
    TfrkvaTFac *fr = Open();
    ASSERT_TRUE(fr);

    EditRegister(QStringLiteral("Annuale"));
    EXPECT_FALSE(fr->xelTipoFac->isEnabled());
    EXPECT_TRUE(fr->xckNumAnnuale->isEnabled());
    EXPECT_FALSE(fr->xckIva->isEnabled());
    VoClick(fr->xckIva);
    EXPECT_FALSE(fr->xckIva->isChecked());
    // Cleared by mistake, set again in the same edit: the rule looks at what is stored.
    VoClick(fr->xckNumAnnuale);
    VoClick(fr->xckNumAnnuale);
    EXPECT_TRUE(fr->xckNumAnnuale->isChecked());
    VoClick(fr->xckNumAnnuale);
    ASSERT_TRUE(fr->xacPost->Execute());
    EXPECT_EQ(Stored(QStringLiteral("Annuale")), QStringLiteral("1/0/0"));
    EXPECT_FALSE(fr->xckNumAnnuale->isEnabled());
    EditRegister(QStringLiteral("Annuale"));
    EXPECT_FALSE(fr->xckNumAnnuale->isEnabled()) << "a cleared option cannot be set again";
    fr->xacCancel->Execute();

    // The register the start-up check complains about can be put right here.
    EditRegister(QStringLiteral("Mai impostato"));
    EXPECT_TRUE(fr->xckNumAnnuale->isEnabled());
    EXPECT_TRUE(fr->xckIva->isEnabled());
    VoClick(fr->xckIva);
    ASSERT_TRUE(fr->xacPost->Execute());
    EXPECT_EQ(Stored(QStringLiteral("Mai impostato")), QStringLiteral("1/0/1"));
    EXPECT_FALSE(kvaRegisterOptionsMissing());
}

TEST_F(kvaFacWindowTest, EditingTheCurrentRegisterChangesTheNumberingScopeAtOnce) {
    ChooseRegisterYear(VoTestRegisterYear(2026));
    VoTestVoucher(kvaLoading, QDate(2025, 3, 1), VoTestRegisterYear(2025), 7);
    VoTestVoucher(kvaLoading, QDate(2026, 2, 1), VoTestRegisterYear(2026), 2);
    MakeRegister(QStringLiteral("Altro"), 1, 1, 1);
    ASSERT_EQ(NextVoucherNumber(kvaLoading), 3);
    TfrkvaTFac *fr = Open();
    ASSERT_TRUE(fr);

    // Another register's options are not the context's.
    EditRegister(QStringLiteral("Altro"));
    VoClick(fr->xckNumAnnuale);
    ASSERT_TRUE(fr->xacPost->Execute());
    EXPECT_EQ(CurrentNumbering, 1);
    EXPECT_EQ(CurrentVatIncluded, 0);
    EXPECT_EQ(NextVoucherNumber(kvaLoading), 3);

    EditRegister(QStringLiteral("Facile consumo"));
    VoClick(fr->xckNumAnnuale);
    ASSERT_TRUE(fr->xacPost->Execute());
    EXPECT_EQ(CurrentNumbering, 0);
    EXPECT_EQ(CurrentVatIncluded, 0);
    EXPECT_EQ(NextVoucherNumber(kvaLoading), 8) << "numbers run on across the register's years";
}

TEST_F(kvaFacWindowTest, ARegisterLinkedToASchoolIsKept) {
    MakeRegister(QStringLiteral("Da cancellare"));
    VoExecSQL(QStringLiteral("DELETE FROM TDWGFAC WHERE IFACID = (SELECT IFACID FROM TFAC_VELISTO WHERE "
                             "SFACDESC = 'Da cancellare')"));
    TfrkvaTFac *fr = Open();
    ASSERT_TRUE(fr);
    ASSERT_TRUE(window->xqcMain->Locate(QStringLiteral("sFacDesc"), QStringLiteral("Facile consumo")));
    messages->Push(mrYes);
    fr->xacDelete->Execute();
    EXPECT_EQ(messages->Texts(),
              (QStringList{QStringLiteral("Cancellare il record?"),
                           QStringLiteral("Attenzione ! \r\nIl Velisto è collegato ad un istituto: per "
                                          "cancellarlo bisogna prima cancellarne il collegamento in \"Nuovo "
                                          "Anno\". ")}));
    EXPECT_EQ(messages->Shown().last().type, mtError);
    EXPECT_EQ(
        VoCountRows(QStringLiteral("SELECT IFACID FROM TFAC_VELISTO WHERE SFACDESC = 'Facile consumo'")), 1);
    EXPECT_EQ(Listed(window->xqcMain), QStringLiteral("Da cancellare|Facile consumo"));

    ASSERT_TRUE(window->xqcMain->Locate(QStringLiteral("sFacDesc"), QStringLiteral("Da cancellare")));
    messages->Push(mrYes);
    fr->xacDelete->Execute();
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IFACID FROM TFAC_VELISTO WHERE SFACDESC = 'Da cancellare'")),
              0);
}

// The durable-goods registers and school register-years, on the windows the consumables register
// shares: what this program's profile changes (its register types, the years with default dates,
// registers shared by schools, the working context, the vouchers that keep a register-year).
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoTestDb.h"
#include "VoTestGoods.h"
#include "VoTestSchool.h"
#include "VoWindowDrive.h"
#include "kvbFFac.h"
#include "kvbFNuovoAnno.h"
#include "kvbUUtil.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <gtest/gtest.h>

namespace {

const QString P = QStringLiteral("Attenzione ! \r\n");

class kvbRegistersTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        kvb::ResetWorkingContext();
    }
    void TearDown() override {
        VoCloseWindow(window);
        kvb::ResetWorkingContext();
        VoDbTest::TearDown();
    }

    TfmNuovoAnno *OpenNuovoAnno() {
        auto *fm = VoOpenWindow<TfmNuovoAnno>(QStringLiteral("TfmNuovoAnno"));
        window = fm;
        return fm;
    }
    static QString Listed(TVoQueryCollection *c, const QString &field) {
        QStringList out;
        for (c->First(); !c->Eof(); c->Next())
            out << c->FieldByName(field)->AsString();
        return out.join(QLatin1Char('|'));
    }
    // The rows the drop-down of a lookup offers, in alphabetical order.
    static QString Offered(TVoDBLookupEdit *lookup) {
        lookup->setFocus(Qt::TabFocusReason);
        VoPress(Qt::Key_Down, Qt::AltModifier);
        const QAbstractItemModel *model = lookup->DropDown()->model();
        QStringList out;
        for (int r = 0; r < model->rowCount(); ++r)
            out << model->index(r, 0).data().toString();
        VoPress(Qt::Key_Escape);
        out.sort();
        return out.join(QLatin1Char('|'));
    }
    static int Links(int facId) {
        return VoCountRows(QStringLiteral("SELECT IDWGFACID FROM TDWGFAC WHERE IFACID = :f"),
                           {{QStringLiteral("f"), facId}});
    }

    QPointer<QWidget> window;
};

} // namespace

TEST_F(kvbRegistersTest, RegistersOfTypesFiveAndSevenWithTheirTypeChosenOnce) {
    const int inventory = MakeRegister(QStringLiteral("Inventario"), 5, 1, 1).facId;
    MakeRegister(QStringLiteral("Biblioteca"), 7);
    MakeRegister(QStringLiteral("Didattica"), 3);
    auto *fm = VoOpenWindow<TfmkvbFac>(QStringLiteral("TfmkvbFac"));
    window = fm;
    ASSERT_TRUE(fm);
    TfrkvbTFac *fr = fm->frkvbFac;
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("Velisto"));
    EXPECT_EQ(Listed(fm->xqcMain, QStringLiteral("sFacDesc")),
              QStringLiteral("Beni durevoli|Beni durevoli di biblioteca|Biblioteca|Inventario"));
    EXPECT_EQ(fr->grFrame->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Tipo Velisto"));

    ASSERT_TRUE(fr->xacInsert->Execute());
    VoType(QStringLiteral("Arredi"));
    VoPress(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), fr->xelTipoFac);
    EXPECT_FALSE(fr->xacPost->Execute() && fm->xqcMain->State() == dsBrowse);
    EXPECT_EQ(messages->Texts(), QStringList{P + QStringLiteral("Campo obbligatorio \"tipo di Velisto\". ")});
    TVoSearchSeen seen;
    VoSearchAndChoose(QStringLiteral("biblioteca"), &seen);
    EXPECT_EQ(seen.titles, QStringList{QStringLiteral("Tabella tipo Velisto")});
    EXPECT_EQ(seen.rows, 2) << "only types 5 and 7 are offered";
    messages->Clear();
    ASSERT_TRUE(fr->xacPost->Execute());
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(
        VoSelectValue(QStringLiteral("SELECT ITFCID FROM TFAC_VELISTO WHERE SFACDESC = 'Arredi'")).toInt(),
        7);

    // The consumables register's options of a register are neither shown nor written here.
    ASSERT_TRUE(fm->xqcMain->Locate(QStringLiteral("sFacDesc"), QStringLiteral("Inventario")));
    ASSERT_TRUE(fr->xacEdit->Execute());
    EXPECT_FALSE(fr->xelTipoFac->isEnabled());
    VoTypeInto(fr->xdeDesc, QStringLiteral("Inventario beni"));
    ASSERT_TRUE(fr->xacPost->Execute());
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT SFACDESC || '/' || ITFCID || '/' || IFACNUMERAZ || '/' || "
                                           "IFACIVAINCLUSA FROM TFAC_VELISTO WHERE IFACID = :f"),
                            {{QStringLiteral("f"), inventory}})
                  .toString(),
              QStringLiteral("Inventario beni/5/1/1"));
}

TEST_F(kvbRegistersTest, ARegisterServesSeveralSchoolsButEachOnce) {
    const TVoTestRegister inventory = MakeRegister(QStringLiteral("Inventario"), 5);
    MakeRegister(QStringLiteral("Didattica"), 3);
    VoExecSQL(
        QStringLiteral("INSERT INTO TDOW_DATAOWNER (IDWGID, SDOWSDESC, SDOWLDESC) VALUES (500, 'Verdi', "
                       "'Scuola Verdi')"));
    TfmNuovoAnno *fm = OpenNuovoAnno();
    ASSERT_TRUE(fm);
    TfrIstituti *up = fm->frFIstituti;
    EXPECT_FALSE(Listed(fm->xqcDataOwner, QStringLiteral("sFacDesc")).contains(QStringLiteral("Didattica")));

    const auto link = [&](int school) {
        messages->Clear();
        EXPECT_TRUE(up->xacInsert->Execute());
        fm->xqcDataOwner->FieldByName(QStringLiteral("iDwgId"))->SetAsInteger(school);
        fm->xqcDataOwner->FieldByName(QStringLiteral("iFacId"))->SetAsInteger(inventory.facId);
        EXPECT_EQ(Offered(up->xelVelist),
                  QStringLiteral("Beni durevoli|Beni durevoli di biblioteca|Inventario"))
            << "a linked register is offered too";
        return up->xdsMain->Post();
    };
    EXPECT_TRUE(link(500)) << messages->LastText().toStdString();
    EXPECT_EQ(Links(inventory.facId), 2);
    EXPECT_FALSE(link(DemoSchoolId()));
    EXPECT_EQ(messages->Texts(),
              QStringList{P + QStringLiteral("Il Velisto è già collegato a questo istituto. ")});
    EXPECT_EQ(Links(inventory.facId), 2);
    // Nor can another copy of a program write the pair twice.
    EXPECT_THROW(
        VoExecSQL(QStringLiteral("INSERT INTO TDWGFAC (IDWGFACID, IDWGID, IFACID) VALUES (900, 500, :f)"),
                  {{QStringLiteral("f"), inventory.facId}}),
        EVoDatabaseError);
}

TEST_F(kvbRegistersTest, DefaultDatesOfTheYearsFrom1900To2050) {
    const TVoTestRegister inventory = MakeRegister(QStringLiteral("Inventario"), 5);
    OpenRegisterYear(inventory.schoolRegId, 2026);
    const struct {
        int year;
        QString shown;
    } cases[] = {{1899, QString()},
                 {1900, QStringLiteral("01/01/1900")},
                 {2050, QStringLiteral("01/01/2050")},
                 {2051, QString()}};
    for (const auto &c : cases)
        MakeFinancialYear(c.year, DateToDays(QDate(c.year, 1, 1)), DateToDays(QDate(c.year, 12, 31)));
    TfmNuovoAnno *fm = OpenNuovoAnno();
    ASSERT_TRUE(fm);
    TfrAnniFinanziari *years = fm->frFAnniFinanziari;
    ASSERT_TRUE(years->xacInsert->Execute());
    for (const auto &c : cases) {
        years->xdlAnnoFin->setFocus(Qt::TabFocusReason);
        years->xdlAnnoFin->selectAll();
        VoType(QString::number(c.year));
        VoPress(Qt::Key_Tab);
        EXPECT_EQ(years->laDataInizio->text(), c.shown) << c.year;
    }
}

TEST_F(kvbRegistersTest, TheContextFollowsTheSchoolRegisterAndTheRegisterYearSaved) {
    const TVoTestRegister inventory = MakeRegister(QStringLiteral("Inventario"), 5);
    const TVoTestRegister library = MakeRegister(QStringLiteral("Biblioteca"), 7);
    const int y2026 = OpenRegisterYear(inventory.schoolRegId, 2026);
    TfmNuovoAnno *fm = OpenNuovoAnno();
    ASSERT_TRUE(fm);
    TfrAnniFinanziari *years = fm->frFAnniFinanziari;
    ASSERT_TRUE(fm->xqcDataOwner->Locate(QStringLiteral("sFacDesc"), QStringLiteral("Biblioteca")));
    EXPECT_EQ(CurrentSchoolRegisterId, library.schoolRegId);
    ASSERT_TRUE(fm->xqcDataOwner->Locate(QStringLiteral("sFacDesc"), QStringLiteral("Inventario")));
    EXPECT_EQ(CurrentSchoolRegisterId, inventory.schoolRegId);

    ASSERT_TRUE(years->xacInsert->Execute());
    EXPECT_FALSE(years->xacPost->Execute() && fm->xqcAnniFinanziari->State() == dsBrowse);
    EXPECT_EQ(CurrentRegisterYearId, -1);
    years->xacCancel->Execute();
    ASSERT_TRUE(fm->xqcAnniFinanziari->Locate(QStringLiteral("IANFVALORE"), 2026));
    ASSERT_TRUE(years->xacEdit->Execute());
    messages->Clear();
    ASSERT_TRUE(years->xacPost->Execute());
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(CurrentRegisterYearId, y2026);
}

TEST_F(kvbRegistersTest, ARegisterYearHoldingAVoucherIsKept) {
    const TVoTestRegister inventory = MakeRegister(QStringLiteral("Inventario"), 5);
    const int y2026 = OpenRegisterYear(inventory.schoolRegId, 2026);
    VoTestGoodsVoucher(y2026, 0, QDate(2026, 2, 1), 1);
    TfmNuovoAnno *fm = OpenNuovoAnno();
    ASSERT_TRUE(fm);
    ASSERT_TRUE(fm->xqcAnniFinanziari->Locate(QStringLiteral("IANFVALORE"), 2026));
    messages->Push(mrYes);
    fm->frFAnniFinanziari->xacDelete->Execute();
    EXPECT_EQ(messages->LastText(),
              P + QStringLiteral("Nell'anno finanziario ci sono dei buoni di carico o di "
                                 "scarico: non può essere cancellato. "));
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IDWGFACANFID FROM TDWGFACANF WHERE IDWGFACANFID = :id"),
                          {{QStringLiteral("id"), y2026}}),
              1);
}

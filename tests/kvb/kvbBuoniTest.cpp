// The loading-voucher window driven as a user drives it: vouchers numbered and dated in order, goods
// numbered over the register with their defaults and rules, documents and minutes, the copies of a
// good, the picker, and the making of a voucher definitive.
#include "VoClassRegistry.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoGlobals.h"
#include "VoLayoutAudit.h"
#include "VoQuery.h"
#include "VoSearchDialog.h"
#include "VoTestData.h"
#include "VoTestGoods.h"
#include "VoTestRegistries.h"
#include "VoWidgetTest.h"
#include "VoWindowDrive.h"
#include "kvaRBuoIdc.h"
#include "kvbFBeniSel.h"
#include "kvbFBuoni.h"
#include "kvbFDuplBene.h"
#include "kvbFMessDefCar.h"
#include "kvbRBeniCarico.h"
#include "kvbRBuoniCarico.h"
#include "kvbRInbVer.h"
#include "kvbUBuoni.h"
#include "kvbUUtil.h"

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

QVariant Day(int y, int m, int d) {
    return QDate(y, m, d);
}

// The test's register of 2025 and 2026, the 2026 register-year chosen, the window open on it.
class kvbBuoniTest : public VoGoodsTest {
protected:
    void SetUp() override {
        VoGoodsTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        WorkIn2026();
    }
    void TearDown() override {
        if (fm) {
            fm->xqcMain->Cancel();
            fm->xqcDetail->Cancel();
            fm->close();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        VoGoodsTest::TearDown();
    }
    TfmkvbBuoni *Open() {
        fm = qobject_cast<TfmkvbBuoni *>(CreateVoClass(QStringLiteral("TfmkvbBuoni")));
        EXPECT_TRUE(fm && VoShowActive(fm));
        return fm;
    }
    void SetVoucher(const char *field, const QVariant &value) {
        fm->xqcMain->FieldByName(QString::fromLatin1(field))->SetValue(value);
    }
    void SetGood(const char *field, const QVariant &value) {
        fm->xqcDetail->FieldByName(QString::fromLatin1(field))->SetValue(value);
    }
    // A new voucher through the header frame; whether it was saved.
    bool NewVoucher(int number, const QDate &date) {
        EXPECT_TRUE(fm->frMaster->xacInsert->Execute());
        SetVoucher("iBBuoNUMERO", number);
        SetVoucher("dBBuoDATA", date);
        return fm->frMaster->xdsMain->Post();
    }
    // A new good on the current voucher with what a good needs; whether it was saved.
    bool NewGood(const QString &description, qint64 value = 10000) {
        if (!fm->frDetail->xacInsert->Execute())
            return false;
        FillGood(description, value);
        return fm->frDetail->xdsMain->Post();
    }
    void FillGood(const QString &description, qint64 value = 10000) {
        fm->frDetail->xelCategoria->SetKeyValue(1);
        fm->frDetail->xelCondizione->SetKeyValue(Condition());
        fm->frDetail->xelSettore->SetKeyValue(VoTestSector(QStringLiteral("SEG")));
        fm->frDetail->xelSede->SetKeyValue(Site());
        SetGood("sBInbDESC", description);
        SetGood("iBInbIMPORTO", value);
    }
    static int Condition() {
        return VoSelectValue(QStringLiteral("SELECT MIN(ICONDID) FROM TCOND_CONDIZIONI")).toInt();
    }
    static int Site() {
        return VoSelectValue(QStringLiteral("SELECT MIN(ISEDINFID) FROM TSEDINF_SEDEINFO")).toInt();
    }
    QString GoodRow(int number) {
        return VoRowTexts(
                   QStringLiteral(
                       "SELECT inb.SBINBDESC || '|' || inb.IAVAID || '|' || COALESCE(inb.IBINBANNOASSUNZ, 0) "
                       "FROM TBINB_BENI inb INNER JOIN TBBUO_BUONI buo ON buo.IBBUOID = inb.IBBUOID "
                       "WHERE buo.IDWGFACANFID IN (:a, :b) AND inb.IBINBNUMERO = :n"),
                   {{QStringLiteral("a"), year2025},
                    {QStringLiteral("b"), year2026},
                    {QStringLiteral("n"), number}})
            .join(QLatin1Char(';'));
    }
    // The search form of the acceptance documents as the header's lookup dresses it, its rows read.
    bool OpenAcceptanceSearch(TVoSearchDialog &form) {
        TVoDBLookupEdit *lookup = fm->frMaster->xelDelibera;
        form.SetSQL(lookup->ListSQL());
        for (const char *name : {"dDa", "dA"})
            form.SetParam(QString::fromLatin1(name),
                          lookup->ListDataSet()->Params().ParamByName(QString::fromLatin1(name)).Value());
        form.SetDefaultColumnsVisible(false);
        // The lookup shows its own text's column before its handler dresses the form.
        form.Columns(4).Visible = true;
        lookup->OnShowSearchForm(lookup, &form);
        return form.Open();
    }
    // Cases the server tests run too.
    void ANewGoodIsNumberedOverTheRegisterWithItsDefaults();
    void TwoCopiesSavingTheSameNewGoodNumberNeverShareIt();

    QPointer<TfmkvbBuoni> fm;
};

} // namespace

// --- The header --------------------------------------------------------------------------------------------

TEST_F(kvbBuoniTest, ANewVoucherTakesTheNextNumberOfTheRegisterAndToday) {
    VoTestGoodsVoucher(year2025, kvbLoading, QDate(2025, 5, 1), 7);
    VoTestGoodsVoucher(year2026, kvbUnloading, QDate(2026, 5, 1), 20);
    Open();
    ASSERT_TRUE(fm->frMaster->xacInsert->Execute());
    EXPECT_EQ(fm->frMaster->xneNumero->Value().toInt(), 8);
    EXPECT_EQ(fm->frMaster->xdeData->Date(), QDate::currentDate());
    // The proposal is kept without looking for it.
    SetVoucher("dBBuoDATA", Day(2026, 2, 1));
    EXPECT_TRUE(fm->frMaster->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(VoRowTexts(QStringLiteral(
                  "SELECT IBBUONUMERO || ' ' || IBBUOTIPO || ' ' || ILOCKED || ' ' || IDWGFACANFID "
                  "FROM TBBUO_BUONI WHERE IBBUONUMERO = 8")),
              QStringList{QStringLiteral("8 0 0 %1").arg(year2026)});
}

TEST_F(kvbBuoniTest, ANewVoucherOfEitherKindProposesTheEarliestDateItsRuleAcceptsAfterToday) {
    // Imports date their vouchers at the year's end, after today.
    VoFixToday(QDate(2026, 12, 9));
    const auto restore = qScopeGuard([] { VoFixToday(QDate()); });
    for (const int kind : {kvbLoading, kvbUnloading}) {
        VoTestGoodsVoucher(year2026, kind, QDate(2026, 12, 31), 1);
        std::unique_ptr<TfmkvbBuoniBase> window(qobject_cast<TfmkvbBuoniBase *>(CreateVoClass(
            kind == kvbLoading ? QStringLiteral("TfmkvbBuoni") : QStringLiteral("TfmkvbBuoniSca"))));
        ASSERT_TRUE(window && VoShowActive(window.get()));
        messages->Clear();
        ASSERT_TRUE(window->frMaster->xacInsert->Execute());
        EXPECT_EQ(window->frMaster->xdeData->Date(), QDate(2026, 12, 31)) << kind;
        EXPECT_TRUE(window->frMaster->xdsMain->Post()) << messages->LastText().toStdString();
        EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
        window->close();
    }
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IBBUOID FROM TBBUO_BUONI WHERE IBBUONUMERO = 2 AND "
                                         "DBBUODATA = DATE '2026-12-31'")),
              2);
}

TEST_F(kvbBuoniTest, AVoucherNumberInUseIsRefusedOnlyWhenChanged) {
    VoTestGoodsVoucher(year2025, kvbLoading, QDate(2025, 5, 1), 3);
    const int own = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 5, 1), 4);
    Open();
    EXPECT_FALSE(NewVoucher(3, QDate(2026, 6, 1)));
    EXPECT_EQ(messages->LastText(), QStringLiteral("Attenzione ! \r\nNumero del buono già presente. "));
    fm->xqcMain->Cancel();
    messages->Clear();
    ASSERT_TRUE(fm->xqcMain->Locate(QStringLiteral("iBBuoID"), own));
    ASSERT_TRUE(fm->frMaster->xdsMain->Edit());
    SetVoucher("sBBuoDESC", QStringLiteral("Arredi"));
    EXPECT_TRUE(fm->frMaster->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_TRUE(messages->Texts().isEmpty());
    ASSERT_TRUE(fm->frMaster->xdsMain->Edit());
    SetVoucher("iBBuoNUMERO", 0);
    EXPECT_FALSE(fm->frMaster->xdsMain->Post());
    EXPECT_EQ(messages->LastText(), QStringLiteral("Attenzione ! \r\nNumero del buono. "));
}

TEST_F(kvbBuoniTest, VoucherDatesKeepTheOrderOfTheNumbersBoundsIncluded) {
    VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 3, 10), 1);
    VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 3, 20), 5);
    VoExecSQL(QStringLiteral("INSERT INTO TCHA_CHIUSURAANNO (ICHAID, DCHADATACHIUSURA, IFACID) VALUES "
                             "((SELECT L_ICNTID FROM PYSETGETID('TCHA_CHIUSURAANNO', 1)), :d, :f)"),
              {{QStringLiteral("d"), QDate(2026, 3, 12)}, {QStringLiteral("f"), facId}});
    Open();
    const struct {
        QDate date;
        const char *message;
    } cases[] = {
        {QDate(2025, 12, 31), "Data del buono non valida per l'anno finanziario in corso"},
        {QDate(2026, 3, 11), "Data del buono minore della data del buono precedente o dell'ultima chiusura"},
        {QDate(2026, 3, 21), "Data del buono maggiore della data del buono successivo"},
        {QDate(2026, 3, 12), nullptr},
        {QDate(2026, 3, 20), nullptr},
    };
    for (const auto &c : cases) {
        messages->Clear();
        const bool saved = NewVoucher(3, c.date);
        EXPECT_EQ(saved, c.message == nullptr) << c.date.toString().toStdString();
        if (c.message)
            EXPECT_EQ(messages->LastText(),
                      QStringLiteral("Attenzione ! \r\n%1. ").arg(QString::fromUtf8(c.message)));
        else
            VoExecSQL(QStringLiteral("DELETE FROM TBBUO_BUONI WHERE IBBUONUMERO = 3"));
        fm->xqcMain->Cancel();
        fm->xqcMain->Refresh();
    }
}

// --- Goods -------------------------------------------------------------------------------------------------

void kvbBuoniTest::ANewGoodIsNumberedOverTheRegisterWithItsDefaults() {
    const int old = VoTestGoodsVoucher(year2025, kvbLoading, QDate(2025, 4, 1), 1);
    VoTestGood(old, 41);
    VoTestGood(old, kvbNumberLimit);
    Open();
    ASSERT_TRUE(NewVoucher(2, QDate(2026, 4, 2)));
    ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
    EXPECT_EQ(fm->frDetail->xneNumero->Value().toInt(), 42);
    EXPECT_EQ(fm->frDetail->xneAnnoAssunz->Value().toInt(), 2026);
    // The demo school has one site: a new good stands on it.
    EXPECT_EQ(fm->frDetail->xelSede->KeyValue().toInt(), Site());
    FillGood(QStringLiteral("Armadio"));
    ASSERT_TRUE(fm->frDetail->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(GoodRow(42), QStringLiteral("Armadio|1|2026"));
}

TEST_F(kvbBuoniTest, ANewGoodIsNumberedOverTheRegisterWithItsDefaults) {
    ANewGoodIsNumberedOverTheRegisterWithItsDefaults();
}

TEST_F(kvbBuoniTest, AGoodNeedsItsCodesAndADescriptionOrATitle) {
    Open();
    ASSERT_TRUE(NewVoucher(1, QDate(2026, 4, 2)));
    const struct {
        const char *clear;
        const char *word;
    } cases[] = {{"ICAMID", "Categoria"},
                 {"ICONDID", "Condizione"},
                 {"ISEDINFID", "Sede di ubicazione"},
                 {"ISECID", "Settore di consegna"},
                 {"sBInbDESC", "Descrizione"}};
    for (const auto &c : cases) {
        ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
        FillGood(QStringLiteral("Sedia"));
        SetGood(c.clear, QVariant());
        messages->Clear();
        EXPECT_FALSE(fm->frDetail->xdsMain->Post()) << c.clear;
        EXPECT_EQ(
            messages->LastText(),
            QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"%1\". ").arg(QString::fromUtf8(c.word)));
        fm->xqcDetail->Cancel();
    }
    // A book passes with a title and no description; without a title it is refused.
    ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
    FillGood(QString());
    fm->frDetail->xelCategoria->SetKeyValue(kvbCategoriaLibri);
    EXPECT_TRUE(fm->frDetail->paBeneLibro->isVisibleTo(fm->frDetail));
    messages->Clear();
    EXPECT_FALSE(fm->frDetail->xdsMain->Post());
    EXPECT_EQ(messages->LastText(), QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"Titolo libro\". "));
    SetGood("sBInbLIBTITOLO", QStringLiteral("Promessi sposi"));
    EXPECT_TRUE(fm->frDetail->xdsMain->Post()) << messages->LastText().toStdString();
}

// A good's value and the voucher's amount are zero or more and within what a year's totals hold; a
// refusal names the field and writes nothing.
TEST_F(kvbBuoniTest, AmountsBeyondTheirBoundsAreRefusedByName) {
    Open();
    ASSERT_TRUE(NewVoucher(1, QDate(2026, 4, 2)));
    const QVariant voucher = fm->xqcMain->FieldByName(QStringLiteral("IBBUOID"))->Value();
    const struct {
        QString typed;
        QString refusal;
    } cases[] = {
        {QStringLiteral("-5"), QStringLiteral("Il campo \"Importo\" non può essere minore di 0")},
        {QString(20, QLatin1Char('9')),
         QStringLiteral("Il campo \"Importo\" non può superare 999.999.999,99")},
        {QStringLiteral("1e20"),
         QStringLiteral("Nel campo \"Importo\" si scrivono solo cifre, la virgola dei "
                        "decimali e i punti delle migliaia")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
        FillGood(QStringLiteral("Sedia"));
        fm->frDetail->xceImporto->setFocus(Qt::OtherFocusReason);
        fm->frDetail->xceImporto->selectAll();
        VoType(c.typed);
        messages->Clear();
        fm->frDetail->xacPost->Execute();
        EXPECT_EQ(fm->xqcDetail->State(), dsInsert);
        EXPECT_EQ(messages->LastText(), QStringLiteral("Attenzione ! \r\n%1. ").arg(c.refusal));
        fm->xqcDetail->Cancel();
    }
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IBINBID FROM TBINB_BENI WHERE IBBUOID = :v"),
                          {{QStringLiteral("v"), voucher}}),
              0);

    const auto stored = [&] {
        return VoSelectValue(QStringLiteral("SELECT IBBUOIMPORTO FROM TBBUO_BUONI WHERE IBBUOID = :v"),
                             {{QStringLiteral("v"), voucher}});
    };
    const QVariant before = stored();
    ASSERT_TRUE(fm->frMaster->xacEdit->Execute());
    fm->frMaster->xceImporto->setFocus(Qt::OtherFocusReason);
    fm->frMaster->xceImporto->selectAll();
    VoType(QStringLiteral("-1"));
    messages->Clear();
    fm->frMaster->xacPost->Execute();
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Attenzione ! \r\nIl campo \"Importo buono\" non può essere minore di 0. "));
    EXPECT_EQ(stored(), before);
}

// Answers every message, noting the page of the goods frame that the user sees behind it.
class TPageBehindMessage : public IVoMessageResponder {
public:
    explicit TPageBehindMessage(QTabWidget *pages) : m_pages(pages) {}
    int Answer(const TVoShownMessage &) override {
        seen << m_pages->currentIndex();
        return mrOk;
    }
    QList<int> seen;

private:
    QTabWidget *m_pages;
};

// A field refused at the save is shown: its page comes forward before the message names it, and the
// field takes the focus.
TEST_F(kvbBuoniTest, AGoodRefusedAtTheSaveShowsThePageAndFieldNamed) {
    Open();
    const auto behind = std::make_shared<TPageBehindMessage>(fm->frDetail->pcPagine);
    const auto previous = SetVoMessageResponder(behind);
    ASSERT_TRUE(NewVoucher(1, QDate(2026, 4, 2)));
    TfrkvbBeniCarico *goods = fm->frDetail;
    const struct {
        const char *clear;
        QWidget *field;
        int page;
    } cases[] = {{"ICONDID", goods->xelCondizione, 1}, {"ICAMID", goods->xelCategoria, 0}};
    for (const auto &c : cases) {
        ASSERT_TRUE(goods->xacInsert->Execute());
        FillGood(QStringLiteral("Sedia"));
        SetGood(c.clear, QVariant());
        goods->pcPagine->setCurrentIndex(c.page == 0 ? 2 : 0);
        goods->xedMatricola->setFocus();
        behind->seen.clear();
        EXPECT_FALSE(goods->xdsMain->Post()) << c.clear;
        QApplication::processEvents();
        EXPECT_EQ(behind->seen, QList<int>{c.page}) << c.clear;
        EXPECT_EQ(goods->pcPagine->currentIndex(), c.page) << c.clear;
        EXPECT_TRUE(c.field->hasFocus() || c.field->isAncestorOf(QApplication::focusWidget())) << c.clear;
        fm->xqcDetail->Cancel();
    }
    SetVoMessageResponder(previous);
}

// The acceptance documents are searched by number, date and description, each in its column.
TEST_F(kvbBuoniTest, TheAcceptanceDocumentSearchShowsNumberDateAndDescription) {
    VoExecSQL(QStringLiteral("UPDATE TDEL_DELIBERE SET SDELNUMERO = '7', DDELDATA = '2026-01-20', SDELDESC = "
                             "'Programma annuale'"));
    Open();
    TVoSearchDialog form;
    ASSERT_TRUE(OpenAcceptanceSearch(form));
    QStringList shown;
    for (int c = 0; c < form.ColumnNames().size(); ++c)
        if (!form.Grid()->isColumnHidden(c))
            shown << form.Grid()->model()->headerData(c, Qt::Horizontal).toString() + QLatin1Char('=') +
                         form.Grid()->model()->index(0, c).data().toString();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Num accett=7"), QStringLiteral("data=20/01/2026"),
                                  QStringLiteral("descrizione=Programma annuale")}));
}

// A long description is read whole in the search form, which opens as wide as it needs on the screen.
TEST_F(kvbBuoniTest, TheAcceptanceDocumentSearchShowsALongDescriptionWhole) {
    VoExecSQL(QStringLiteral("UPDATE TDEL_DELIBERE SET SDELNUMERO = '7', DDELDATA = '2026-01-20', SDELDESC = "
                             "'Consiglio d''Istituto - programma annuale 2026: acquisto di arredi e "
                             "attrezzature per i laboratori'"));
    Open();
    TVoSearchDialog form;
    ASSERT_TRUE(OpenAcceptanceSearch(form));
    ASSERT_TRUE(VoShowActive(&form));
    EXPECT_EQ(VoLayoutFaults(QStringLiteral("TfmVoSearch"), &form), QStringList());
}

TEST_F(kvbBuoniTest, ABookOfABooksRegisterIsDescribedByTitleAuthorAndPublisher) {
    CurrentRegisterType = 7;
    Open();
    ASSERT_TRUE(NewVoucher(1, QDate(2026, 4, 2)));
    ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
    EXPECT_EQ(fm->frDetail->Categoria(), kvbCategoriaLibri);
    EXPECT_TRUE(fm->frDetail->paBeneLibro->isVisibleTo(fm->frDetail));
    FillGood(QStringLiteral("scritto a mano"));
    fm->frDetail->xelCategoria->SetKeyValue(kvbCategoriaLibri);
    SetGood("sBInbLIBTITOLO", QStringLiteral("I Malavoglia"));
    SetGood("sBInbLIBAUTORE", QStringLiteral("Verga"));
    SetGood("sBInbLIBEDITORE", QStringLiteral("Treves"));
    ASSERT_TRUE(fm->frDetail->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(GoodRow(1), QStringLiteral("I Malavoglia - Verga - Treves|1|2026"));
    ASSERT_TRUE(fm->frDetail->xdsMain->Edit());
    SetGood("sBInbLIBEDITORE", QStringLiteral("Mondadori"));
    SetGood("sBInbDESC", QStringLiteral("altro"));
    ASSERT_TRUE(fm->frDetail->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(GoodRow(1), QStringLiteral("I Malavoglia - Verga - Mondadori|1|2026"));
}

// A good's page is walked from top to bottom, its pages' tabs before their fields; the category comes
// before the description, or the book's title, author and publisher, that it brings, and Tab goes
// from it to them and then on through the page.
TEST_F(kvbBuoniTest, ADescriptionOrABooksTitleAuthorAndPublisherFollowTheCategoryInTheTabOrder) {
    Open();
    ASSERT_TRUE(NewVoucher(1, QDate(2026, 4, 2)));
    ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
    TfrkvbBeniCarico *good = fm->frDetail;
    good->xedMatricola->setFocus(Qt::TabFocusReason);
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), good->pcPagine->tabBar());
    VoPress(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), good->xelCategoria);
    good->xelCategoria->SetKeyValue(kvbCategoriaLibri);
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), good->xedTitolo);
    VoType(QStringLiteral("I Malavoglia"));
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), good->xedAutore);
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), good->xedEditore);
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), good->xelCodMerce);

    good->xelCategoria->setFocus(Qt::BacktabFocusReason);
    good->xelCategoria->SetKeyValue(1);
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), good->xedDescr);
    VoType(QStringLiteral("Sedia"));
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), good->xelCodMerce);
}

// Tab from the header's last field goes to the voucher's goods, and back; Ins there adds a good to the
// voucher, not a voucher.
TEST_F(kvbBuoniTest, TabLeadsFromTheHeadersLastFieldToItsGoodsWhereInsAddsAGood) {
    Open();
    ASSERT_TRUE(NewVoucher(1, QDate(2026, 4, 2)));
    ASSERT_TRUE(NewGood(QStringLiteral("Sedia")));
    fm->frDetail->ShowList();
    fm->frMaster->ShowDetail();
    fm->frMaster->xdcRicogniz->setFocus(Qt::TabFocusReason);
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), fm->frDetail->grFrame);
    VoPress(Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), fm->frMaster->xdcRicogniz);
    VoPress(Qt::Key_Tab);
    VoPress(Qt::Key_Insert);
    EXPECT_EQ(fm->xqcDetail->State(), dsInsert);
    EXPECT_EQ(fm->xqcMain->State(), dsBrowse);
}

// The minutes' list stands inside the good's page, whose frame answers the same keys: in the list
// they act on the minutes.
TEST_F(kvbBuoniTest, TheKeysOfTheMinutesListActOnTheMinutes) {
    Open();
    ASSERT_TRUE(NewVoucher(1, QDate(2026, 4, 2)));
    ASSERT_TRUE(NewGood(QStringLiteral("Sedia")));
    fm->frDetail->ShowDetail();
    fm->frDetail->pcPagine->setCurrentIndex(3);
    fm->frDetail->frVerbali->grFrame->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), fm->frDetail->frVerbali->grFrame);
    VoPress(Qt::Key_Insert);
    EXPECT_EQ(fm->xqcVerbali->State(), dsInsert);
    EXPECT_EQ(fm->xqcDetail->State(), dsBrowse);
}

// Every tool of the voucher windows and of the goods list has a key of its own, named in its tool tip.
TEST_F(kvbBuoniTest, EveryToolOfTheVoucherWindowsAndTheGoodsListHasItsOwnKeyInItsTip) {
    for (const char *name : {"TfmkvbBuoni", "TfmkvbBuoniSca", "TfmBeni"}) {
        QPointer<QWidget> window = CreateVoClass(QString::fromLatin1(name));
        ASSERT_TRUE(window && VoShowActive(window)) << name;
        EXPECT_EQ(VoToolKeyFaults(window), QStringList()) << name;
        VoCloseWindow(window);
    }
}

TEST_F(kvbBuoniTest, AGoodBeingTypedIsOfferedOnlyTheSectorsInUseAtTheVouchersDate) {
    const int ended = VoTestSector(QStringLiteral("LAB"));
    VoExecSQL(QStringLiteral("UPDATE TSEC_SETTCONS SET DEND = '2026-03-31' WHERE ISECID = :s"),
              {{QStringLiteral("s"), ended}});
    const int voucher = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 1), 1);
    VoTestGood(voucher, 1, 0, 1, ended);
    Open();
    EXPECT_TRUE(fm->frDetail->xelSettore->SeekByID(ended));
    ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
    EXPECT_FALSE(fm->frDetail->xelSettore->SeekByID(ended));
    EXPECT_TRUE(fm->frDetail->xelSettore->SeekByID(VoTestSector(QStringLiteral("SEG"))));
}

TEST_F(kvbBuoniTest, AGoodNumberInUseWithoutSubCodeIsRefused) {
    const int old = VoTestGoodsVoucher(year2025, kvbLoading, QDate(2025, 4, 1), 1);
    VoTestGood(old, 5);
    VoTestGood(old, 6, 0, 1, 0, 0, QStringLiteral("A"));
    Open();
    ASSERT_TRUE(NewVoucher(2, QDate(2026, 4, 2)));
    ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
    FillGood(QStringLiteral("Banco"));
    SetGood("iBInbNUMERO", 5);
    EXPECT_FALSE(fm->frDetail->xdsMain->Post());
    EXPECT_EQ(messages->LastText(), QStringLiteral("Attenzione ! \r\nNumero del bene già presente. "));
    // Number 6 is held only with a sub-code: without one it is free.
    SetGood("iBInbNUMERO", 6);
    EXPECT_TRUE(fm->frDetail->xdsMain->Post()) << messages->LastText().toStdString();
}

void kvbBuoniTest::TwoCopiesSavingTheSameNewGoodNumberNeverShareIt() {
    Open();
    ASSERT_TRUE(NewVoucher(1, QDate(2026, 4, 2)));
    const int voucher = fm->xqcMain->FieldByName(QStringLiteral("iBBuoID"))->AsInteger();
    ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
    FillGood(QStringLiteral("Lavagna"));
    ASSERT_EQ(fm->frDetail->xneNumero->Value().toInt(), 1);
    // The other copy holds the register while it saves its good 1.
    QProcess peer;
    peer.start(QStringLiteral(VO_DBPEER),
               {dbPath, QStringLiteral("--good"), QStringLiteral("TFAC_VELISTO"), QStringLiteral("IFACID"),
                QString::number(facId), QString::number(voucher), QStringLiteral("1")});
    ASSERT_TRUE(peer.waitForReadyRead(30000));
    ASSERT_EQ(peer.readLine().trimmed(), QByteArray("locked")) << peer.readAllStandardOutput().toStdString();
    EXPECT_FALSE(fm->frDetail->xdsMain->Post());
    ASSERT_TRUE(peer.waitForFinished(30000));
    EXPECT_EQ(peer.exitCode(), 0) << peer.readAllStandardOutput().toStdString();
    EXPECT_EQ(messages->LastText(), QStringLiteral("Numero del bene già presente"));
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT 1 FROM TBINB_BENI WHERE IBINBNUMERO = 1 AND IBBUOID = :v"),
                          {{QStringLiteral("v"), voucher}}),
              1);
    // The good is given the next free number, with which it is saved.
    EXPECT_EQ(fm->frDetail->xneNumero->Value().toInt(), 2);
    EXPECT_TRUE(fm->frDetail->xdsMain->Post()) << messages->LastText().toStdString();
}

TEST_F(kvbBuoniTest, TwoCopiesSavingTheSameNewGoodNumberNeverShareIt) {
    TwoCopiesSavingTheSameNewGoodNumberNeverShareIt();
}

TEST_F(kvbBuoniTest, ADefinitiveVoucherKeepsItsGoodsAsTheyAre) {
    const int voucher = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 1), 1, 10000);
    VoTestGood(voucher, 1, 10000);
    VoTestMakeDefinitive(voucher, kvbLoading);
    Open();
    EXPECT_TRUE(fm->frDetail->xacInsert->Locked());
    EXPECT_TRUE(fm->frBuoDoc->xacInsert->Locked());
    EXPECT_TRUE(fm->frMaster->xacDelete->Locked());
    EXPECT_TRUE(fm->frDetail->xacDelete->Locked());
    EXPECT_FALSE(fm->xacCopiaBene->isEnabled());
    EXPECT_FALSE(fm->xacCopiaAltroBene->isEnabled());
    EXPECT_TRUE(fm->frDetail->xceImporto->ReadOnly());
    EXPECT_TRUE(fm->frDetail->xelCategoria->ReadOnly());
    EXPECT_FALSE(fm->frDetail->xelCondizione->ReadOnly());
}

// Made definitive by another user or by the closing while the window shows it as provisional.
TEST_F(kvbBuoniTest, AVoucherMadeDefinitiveMeanwhileTakesAndLosesNoGood) {
    const int voucher = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 1), 1, 10000);
    const int good = VoTestGood(voucher, 1, 10000);
    Open();
    ASSERT_TRUE(fm->xqcMain->Locate(QStringLiteral("iBBuoID"), voucher));
    VoTestMakeDefinitive(voucher, kvbLoading);
    const QString goods = QStringLiteral("SELECT IBINBID FROM TBINB_BENI WHERE IBBUOID = :v");

    const QString changed =
        QStringLiteral("Il buono è stato reso definitivo nel frattempo: non si può più modificare.");

    EXPECT_FALSE(NewGood(QStringLiteral("Sedia")));
    EXPECT_EQ(messages->LastText(), changed);
    EXPECT_EQ(VoRowTexts(goods, {{QStringLiteral("v"), voucher}}), QStringList{QString::number(good)});

    // A second window of the office, read before, deletes its good.
    VoExecSQL(QStringLiteral("UPDATE TBBUO_BUONI SET ILOCKED = 0 WHERE IBBUOID = :v"),
              {{QStringLiteral("v"), voucher}});
    fm->xqcMain->Refresh();
    ASSERT_TRUE(fm->xqcDetail->Locate(QStringLiteral("iBInbID"), good));
    VoTestMakeDefinitive(voucher, kvbLoading);
    messages->Clear();
    messages->Push(mrYes);
    EXPECT_FALSE(fm->xqcDetail->Delete());
    EXPECT_EQ(messages->LastText(), changed);
    EXPECT_EQ(VoRowTexts(goods, {{QStringLiteral("v"), voucher}}), QStringList{QString::number(good)});
}

// A definitive voucher, closed since, is refused as definitive, not for its date before the closing.
TEST_F(kvbBuoniTest, AChangeOfADefinitiveVoucherIsRefusedAsDefinitive) {
    const int voucher = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 1), 3, 10000);
    VoTestGood(voucher, 1, 10000);
    VoTestMakeDefinitive(voucher, kvbLoading);
    VoExecSQL(QStringLiteral("INSERT INTO TCHA_CHIUSURAANNO (ICHAID, DCHADATACHIUSURA, IFACID) VALUES "
                             "((SELECT L_ICNTID FROM PYSETGETID('TCHA_CHIUSURAANNO', 1)), :d, :f)"),
              {{QStringLiteral("d"), QDate(2026, 6, 30)}, {QStringLiteral("f"), facId}});
    Open();
    ASSERT_TRUE(fm->xqcMain->Locate(QStringLiteral("iBBuoID"), voucher));
    fm->frMaster->ShowDetail();
    fm->frMaster->xceImporto->setFocus(Qt::MouseFocusReason);
    fm->frMaster->xceImporto->selectAll();
    VoType(QStringLiteral("1100"));
    VoPress(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(messages->LastText(), QStringLiteral("Il buono è definitivo: non si può più modificare."));
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT IBBUOIMPORTO FROM TBBUO_BUONI WHERE IBBUOID = :v"),
                            {{QStringLiteral("v"), voucher}})
                  .toLongLong(),
              10000);
}

TEST_F(kvbBuoniTest, NothingIsAddedToAVoucherBeingInserted) {
    VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 1), 1);
    Open();
    EXPECT_FALSE(fm->frDetail->xacInsert->Locked());
    ASSERT_TRUE(fm->frMaster->xacInsert->Execute());
    EXPECT_TRUE(fm->frDetail->xacInsert->Locked());
    EXPECT_TRUE(fm->frBuoDoc->xacInsert->Locked());
    EXPECT_TRUE(fm->frDetail->frVerbali->xacInsert->Locked());
}

TEST_F(kvbBuoniTest, WithSeveralSitesANewGoodProposesNone) {
    VoExecSQL(QStringLiteral("INSERT INTO TSEDINF_SEDEINFO (ISEDINFID, SSEDINFLDESC) VALUES "
                             "((SELECT L_ICNTID FROM PYSETGETID('TSEDINF_SEDEINFO', 1)), 'Succursale')"));
    kvb::LoadWorkingContext(true);
    VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 1), 1);
    Open();
    ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
    EXPECT_TRUE(fm->frDetail->xelSede->KeyValue().isNull() || fm->frDetail->xelSede->KeyValue().toInt() <= 0);
}

// --- Documents and minutes
// -----------------------------------------------------------------------------------

TEST_F(kvbBuoniTest, ALinkedDocumentGivesItsSupplierOnlyToAVoucherWithoutOne) {
    const int supplier = VoTestBeneficiary(QStringLiteral("Arredi Srl"));
    const int other = VoTestBeneficiary(QStringLiteral("Altro Srl"));
    const int document = VoTestDocument(QStringLiteral("F1"), QDate(2026, 3, 1));
    VoExecSQL(QStringLiteral("UPDATE TIDC_INVDOC SET IBENID = :b WHERE IIDCID = :d"),
              {{QStringLiteral("b"), supplier}, {QStringLiteral("d"), document}});
    const int without = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 1), 1);
    const int with = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 2), 2);
    VoExecSQL(QStringLiteral("UPDATE TBBUO_BUONI SET IBENID = :b WHERE IBBUOID = :v"),
              {{QStringLiteral("b"), other}, {QStringLiteral("v"), with}});
    Open();
    for (int voucher : {without, with}) {
        ASSERT_TRUE(fm->xqcMain->Locate(QStringLiteral("iBBuoID"), voucher));
        ASSERT_TRUE(fm->frBuoDoc->xacInsert->Execute());
        fm->frBuoDoc->xelDocumento->SetKeyValue(document);
        EXPECT_TRUE(fm->frBuoDoc->xdsMain->Post()) << messages->LastText().toStdString();
    }
    EXPECT_EQ(VoRowTexts(QStringLiteral(
                             "SELECT IBENID FROM TBBUO_BUONI WHERE IBBUOID IN (:a, :b) ORDER BY IBBUONUMERO"),
                         {{QStringLiteral("a"), without}, {QStringLiteral("b"), with}}),
              (QStringList{QString::number(supplier), QString::number(other)}));
    // The same document twice on one voucher is refused.
    ASSERT_TRUE(fm->frBuoDoc->xacInsert->Execute());
    fm->frBuoDoc->xelDocumento->SetKeyValue(document);
    EXPECT_FALSE(fm->frBuoDoc->xdsMain->Post());
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Attenzione ! \r\nDocumento già associato a questo buono. "));
}

TEST_F(kvbBuoniTest, AMinuteIsLinkedToTheCurrentGood) {
    const int voucher = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 1), 1);
    const int good = VoTestGood(voucher, 1);
    const int minute = VoTestNewKey(QStringLiteral("TVER_VERBALI"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TVER_VERBALI (IVERID, SVERNUMERO, DVERDATA, SVERDESC) VALUES (:v, '12', "
                       "'2026-04-03', 'Collaudo arredi')"),
        {{QStringLiteral("v"), minute}});
    Open();
    TfrkvbInbVer *minutes = fm->frDetail->frVerbali;
    ASSERT_TRUE(minutes->xacInsert->Execute());
    minutes->xelVerbale->SetKeyValue(minute);
    EXPECT_EQ(minutes->xelNumero->text(), QStringLiteral("12"));
    EXPECT_TRUE(minutes->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT 1 FROM TBINBVER WHERE IBINBID = :g AND IVERID = :v"),
                          {{QStringLiteral("g"), good}, {QStringLiteral("v"), minute}}),
              1);
    ASSERT_TRUE(minutes->xacInsert->Execute());
    EXPECT_FALSE(minutes->xdsMain->Post());
    EXPECT_EQ(messages->LastText(), QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"verbale\". "));
}

// --- Copies of a good -------------------------------------------------------------------------------------

TEST_F(kvbBuoniTest, CopiesOfAGoodAreNumberedAfterTheRegistersLastGood) {
    const int old = VoTestGoodsVoucher(year2025, kvbLoading, QDate(2025, 4, 1), 1);
    VoTestGood(old, 1);
    VoTestGood(old, 3);
    const int voucher = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 1), 2);
    const int model = VoTestGood(voucher, 4, 25000);
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET SBINBMATRICOLA = 'SN-12345' WHERE IBINBID = :id"),
              {{QStringLiteral("id"), model}});
    Open();
    // Number 1 below the next free one is in use: refused, nothing written.
    VoWhenModalOpens<TfmkvbDuplBene>([](TfmkvbDuplBene *dialog) {
        dialog->udNumPartenza->setMinimum(1);
        dialog->udNumPartenza->setValue(1);
        dialog->buOk->click();
        dialog->buCancel->click();
    });
    fm->xacCopiaBene->trigger();
    EXPECT_EQ(messages->LastText(), QStringLiteral("Numero del bene già inserito"));
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT 1 FROM TBINB_BENI WHERE IBBUOID IN (:a, :b)"),
                          {{QStringLiteral("a"), old}, {QStringLiteral("b"), voucher}}),
              3);
    // The proposed start is the next free number, taken without a test; three copies follow it.
    VoWhenModalOpens<TfmkvbDuplBene>([](TfmkvbDuplBene *dialog) {
        EXPECT_EQ(dialog->udNumPartenza->value(), 5);
        dialog->udNumAnni->setValue(3);
        dialog->buOk->click();
    });
    fm->xacCopiaBene->trigger();
    // A serial number names one object: the copies have none.
    EXPECT_EQ(VoRowTexts(QStringLiteral("SELECT IBINBNUMERO || ' ' || IBINBIMPORTO || ' ' || "
                                        "COALESCE(SBINBMATRICOLA, '-') FROM TBINB_BENI WHERE IBBUOID = :v "
                                        "ORDER BY IBINBNUMERO"),
                         {{QStringLiteral("v"), voucher}}),
              (QStringList{QStringLiteral("4 25000 SN-12345"), QStringLiteral("5 25000 -"),
                           QStringLiteral("6 25000 -"), QStringLiteral("7 25000 -")}));
    EXPECT_EQ(fm->xqcDetail->RecordCount(), 4);
}

TEST_F(kvbBuoniTest, TheDuplicationStartsBeyondTheSixteenBitRange) {
    const int voucher = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 1), 1);
    VoTestGood(voucher, 40000);
    Open();
    VoWhenModalOpens<TfmkvbDuplBene>([](TfmkvbDuplBene *dialog) {
        EXPECT_EQ(dialog->udNumPartenza->value(), 40001);
        dialog->buOk->click();
    });
    fm->xacCopiaBene->trigger();
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT 1 FROM TBINB_BENI WHERE IBINBNUMERO = 40001")), 1);
}

TEST_F(kvbBuoniTest, ThePickerOffersTheRegistersGoodsInChargeOfEveryYear) {
    const int old = VoTestGoodsVoucher(year2025, kvbLoading, QDate(2025, 4, 1), 1);
    VoTestGood(old, 1);
    const int gone = VoTestGood(old, 2);
    const int unloading = VoTestGoodsVoucher(year2025, kvbUnloading, QDate(2025, 6, 1), 1);
    VoTestDischarge(gone, unloading, VoTestCausal(1));
    VoTestGood(VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 1), 2), 3, 12345);
    QStringList shown;
    VoWhenModalOpens<TfmkvbBeniSel>([&shown](TfmkvbBeniSel *picker) {
        for (int i = 0; i < picker->xqcBeni->RecordCount(); ++i)
            shown << picker->RowText(i, 0) + QLatin1Char(' ') + picker->RowText(i, 2);
        picker->buOk->click();
        picker->buCancel->click();
    });
    std::unique_ptr<TfmkvbBeniSel> picker(VoNewForm<TfmkvbBeniSel>());
    picker->exec();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("0000001 0,00"), QStringLiteral("0000003 1,23")}));
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Selezionare un bene prima di continuare.")});
    EXPECT_EQ(picker->Result(), -1);
}

TEST_F(kvbBuoniTest, AGoodOfAnotherVoucherIsCopiedIntoANewGood) {
    const int old = VoTestGoodsVoucher(year2025, kvbLoading, QDate(2025, 4, 1), 1);
    const int model =
        VoTestGood(old, 7, 50000, 2, VoTestSector(QStringLiteral("LAB")), Site(), QStringLiteral("X"));
    VoExecSQL(
        QStringLiteral("UPDATE TBINB_BENI SET SBINBMATRICOLA = 'M-1', IBINBANNOASSUNZ = 2024, ICONDID = :c "
                       "WHERE IBINBID = :g"),
        {{QStringLiteral("c"), Condition()}, {QStringLiteral("g"), model}});
    const int voucher = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 1), 2);
    Open();
    ASSERT_TRUE(fm->xqcMain->Locate(QStringLiteral("iBBuoID"), voucher));
    VoWhenModalOpens<TfmkvbBeniSel>([](TfmkvbBeniSel *picker) {
        picker->lwBeni->setCurrentIndex(picker->lwBeni->model()->index(0, 0));
        picker->buOk->click();
    });
    fm->xacCopiaAltroBene->trigger();
    ASSERT_EQ(fm->xqcDetail->State(), dsInsert);
    EXPECT_EQ(fm->frDetail->xneNumero->Value().toInt(), 8);
    EXPECT_TRUE(fm->frDetail->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(VoRowTexts(QStringLiteral(
                             "SELECT IBINBNUMERO || ' ' || COALESCE(SBINBCODNUMERO, '-') || ' ' || SBINBDESC "
                             "|| ' ' || IBINBIMPORTO || ' ' || ICAMID || ' ' || SBINBMATRICOLA || ' ' || "
                             "IBINBANNOASSUNZ FROM TBINB_BENI WHERE IBBUOID = :v"),
                         {{QStringLiteral("v"), voucher}}),
              QStringList{QStringLiteral("8 - Bene 7 50000 2 M-1 2024")});
}

TEST_F(kvbBuoniTest, CopyingAGoodDeletedMeanwhileLeavesTheNewGoodEmpty) {
    const int old = VoTestGoodsVoucher(year2025, kvbLoading, QDate(2025, 4, 1), 1);
    const int model = VoTestGood(old, 7);
    VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 1), 2);
    Open();
    VoWhenModalOpens<TfmkvbBeniSel>([model](TfmkvbBeniSel *picker) {
        picker->lwBeni->setCurrentIndex(picker->lwBeni->model()->index(0, 0));
        for (const char *sql : kvbSQLInbDelete)
            VoExecSQL(QString::fromLatin1(sql), {{QStringLiteral("VOCURRID"), model}});
        picker->buOk->click();
    });
    fm->xacCopiaAltroBene->trigger();
    EXPECT_EQ(messages->LastText(), QStringLiteral("E' stato cancellato il bene che vuoi copiare."));
    EXPECT_EQ(fm->xqcDetail->State(), dsInsert);
    EXPECT_TRUE(fm->xqcDetail->FieldByName(QStringLiteral("sBInbDESC"))->IsNull());
}

// --- Amounts and the definitive voucher
// ------------------------------------------------------------------------

TEST_F(kvbBuoniTest, OnlyVouchersWhoseAmountDiffersFromTheirGoodsAreListedOnRequest) {
    const int right = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 1), 1, 10000);
    VoTestGood(right, 1, 10000);
    const int wrong = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 2), 2, 10000);
    VoTestGood(wrong, 2, 20000);
    VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 3), 3, 10000);
    Open();
    fm->xacFiltraImporti->trigger();
    ASSERT_EQ(fm->xqcMain->RecordCount(), 1);
    EXPECT_EQ(fm->xqcMain->FieldByName(QStringLiteral("iBBuoID"))->AsInteger(), wrong);
    fm->xacImpostaImporto->trigger();
    EXPECT_TRUE(fm->frMaster->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT IBBUOIMPORTO FROM TBBUO_BUONI WHERE IBBUOID = :v"),
                            {{QStringLiteral("v"), wrong}})
                  .toLongLong(),
              20000);
    fm->xacFiltraImporti->trigger();
    EXPECT_EQ(fm->xqcMain->RecordCount(), 3);
}

TEST_F(kvbBuoniTest, AVoucherBecomesDefinitiveAfterItsChecksInOrder) {
    const int voucher = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 1), 1, 4000);
    Open();
    fm->xacDefBuonoExecute();
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Al buono non e' associato alcun bene. Impossibile renderlo definitivo."));
    const int good = VoTestGood(voucher, 1, 4001);
    fm->xqcMain->Refresh();
    messages->Clear();
    fm->xacDefBuonoExecute();
    EXPECT_EQ(messages->LastText(), QStringLiteral("L'importo dei beni è diverso da quello del buono"));
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET IBINBIMPORTO = 4000 WHERE IBINBID = :g"),
              {{QStringLiteral("g"), good}});
    fm->xqcMain->Refresh();
    messages->Clear();
    messages->Push(mrNo);
    fm->xacDefBuonoExecute();
    EXPECT_EQ(messages->LastText(), QStringLiteral("L'importo del buono è 0 vuoi continuare lo stesso?"));
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT ILOCKED FROM TBBUO_BUONI WHERE IBBUOID = :v"),
                            {{QStringLiteral("v"), voucher}})
                  .toInt(),
              0);
    messages->Push(mrYes);
    QString text;
    VoWhenModalOpens<TfmMessDefCar>([&text](TfmMessDefCar *dialog) {
        text = dialog->meMessage->toPlainText();
        dialog->buOk->click();
    });
    fm->xacDefBuonoExecute();
    EXPECT_TRUE(text.endsWith(QStringLiteral("dati non associati alla stampa del registro. ")));
    EXPECT_EQ(
        VoRowTexts(QStringLiteral(
                       "SELECT buo.ILOCKED || ' ' || inb.IAVAID FROM TBBUO_BUONI buo INNER JOIN TBINB_BENI "
                       "inb ON inb.IBBUOID = buo.IBBUOID WHERE buo.IBBUOID = :v"),
                   {{QStringLiteral("v"), voucher}}),
        QStringList{QStringLiteral("1 2")});
    EXPECT_TRUE(fm->frDetail->xacInsert->Locked());
}

TEST_F(kvbBuoniTest, MissingNumbersAreThoseOfTheRegisterInTheVouchersSpan) {
    const int other = VoTestGoodsVoucher(year2025, kvbLoading, QDate(2025, 4, 1), 1);
    VoTestGood(other, 11);
    VoTestGood(other, 13);
    VoTestGood(other, 13, 0, 1, 0, 0, QStringLiteral("B"));
    const int voucher = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 1), 2);
    VoTestGood(voucher, 10);
    VoTestGood(voucher, 14);
    VoTestGood(voucher, 16);
    const int empty = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 4, 2), 3);
    std::unique_ptr<TfmMessDefCar> dialog(VoNewForm<TfmMessDefCar>());
    dialog->SetIdBuono(voucher);
    QString missing;
    EXPECT_FALSE(dialog->CheckNumeriMancanti(false, &missing));
    EXPECT_EQ(missing, QStringLiteral(" 12 15"));
    EXPECT_TRUE(messages->Texts().isEmpty());
    EXPECT_FALSE(dialog->CheckNumeriMancanti(true));
    EXPECT_EQ(messages->LastText(), QStringLiteral("Numero dei beni mancanti: 12 15"));
    dialog->SetIdBuono(empty);
    EXPECT_TRUE(dialog->CheckNumeriMancanti(true));
}

// --- On a server
// --------------------------------------------------------------------------------------------

// The same window on a database of a Firebird server, as an office with several computers uses it; the
// other copy is a process of its own connected over the network.
class kvbBuoniServerTest : public kvbBuoniTest {
protected:
    bool OnServer() const override { return true; }
};

TEST_F(kvbBuoniServerTest, ANewGoodIsNumberedOverTheRegisterWithItsDefaults) {
    ANewGoodIsNumberedOverTheRegisterWithItsDefaults();
}

TEST_F(kvbBuoniServerTest, TwoCopiesSavingTheSameNewGoodNumberNeverShareIt) {
    TwoCopiesSavingTheSameNewGoodNumberNeverShareIt();
}

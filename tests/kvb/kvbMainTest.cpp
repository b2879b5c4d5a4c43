// The durable-goods program as a user starts it: the first activation (connection, menu, context,
// status bar), the release notes, the parameters dialog and the guards of the menu.
#include "AbiMBen.h"
#include "VoAttivazioni.h"
#include "VoClassRegistry.h"
#include "VoDBFrames.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoGlobals.h"
#include "VoIdComboBox.h"
#include "VoImpWizard.h"
#include "VoLayoutAudit.h"
#include "VoMultiSelect.h"
#include "VoOutlookBar.h"
#include "VoParams.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoShellTest.h"
#include "VoTestData.h"
#include "VoTestGoods.h"
#include "VoTestSchool.h"
#include "VoWidgetTest.h"
#include "kvbFBuoni.h"
#include "kvbFMain.h"
#include "kvbMAtt.h"
#include "kvbMConn.h"
#include "kvbMParams.h"
#include "kvbRBeniCarico.h"
#include "kvbURegistries.h"
#include "kvbUUtil.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QString kParamsFirst =
    QStringLiteral("Prima di eseguire questa operazione bisogna impostare i parametri");

QString NotAvailable(const char *className) {
    return QStringLiteral("La finestra \"%1\" non è disponibile in questa versione del programma.")
        .arg(QString::fromLatin1(className));
}

// The demo register-year of a durable-goods register by its description.
int DurableYear(const QString &description, int year) {
    return VoSelectValue(
               QStringLiteral("SELECT dfa.IDWGFACANFID FROM TDWGFACANF dfa INNER JOIN TDWGFAC df ON "
                              "df.IDWGFACID = dfa.IDWGFACID INNER JOIN TFAC_VELISTO f ON f.IFACID = "
                              "df.IFACID WHERE f.SFACDESC = :d AND dfa.IANFID = :y"),
               {{QStringLiteral("d"), description}, {QStringLiteral("y"), YearId(year)}})
        .toInt();
}

int DemoYear(int year) {
    return DurableYear(QStringLiteral("Beni durevoli"), year);
}

class kvbMainTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        xgvmGlobalVar.Clear();
        QFile::remove(TVoParamManager::SettingsFileName());
        qputenv("VELISTO_HOME", home.path().toLocal8Bit());
        qqoVoGlobConn = nullptr; // the program opens its own connection
    }
    void TearDown() override {
        kvbDestroyModules();
        qunsetenv("VELISTO_HOME");
        xgvmGlobalVar.Clear();
        kvb::ResetWorkingContext();
        VoDbTest::TearDown();
    }

    // Starts the program with the seven values another program gives it, on a database.
    TfmkvbMain *Start(const QString &database = QString()) {
        const QString path = database.isEmpty() ? dbPath : database;
        TfmkvbMain *main = kvbCreateModules(qApp, [&path](TdmkvbConn *connection) {
            connection->SetStartupArguments({QStringLiteral("SC01"), QStringLiteral("segreteria"), QString(),
                                             QStringLiteral("960"), path, QStringLiteral("SYSDBA"),
                                             QString()});
        });
        VoShowAndActivate(main);
        return main;
    }

    bool Choose(int registerYearId, int schoolId = -1) {
        return VoChooseParameters(dmkvbAtt->xacParam, dmkvbParams->xpmVouParams,
                                  schoolId == -1 ? DemoSchoolId() : schoolId, registerYearId);
    }

    // Runs an item whose window does not exist yet: true when its guards let it through to say so.
    // An import window that exists opens, and is closed again at once.
    bool PassesGuards(TVoAttForm *item) {
        messages->Clear();
        bool opened = false;
        QTimer::singleShot(0, [&opened] {
            QWidget *window = QApplication::activeModalWidget();
            if (qobject_cast<TfmVoImpWizard *>(window) || qobject_cast<TfmVoMultiSelect *>(window)) {
                opened = true;
                window->close();
            }
        });
        item->Execute();
        QApplication::processEvents();
        return opened || messages->LastText() == NotAvailable(item->ClasseForm.toLatin1().constData());
    }

    QTemporaryDir home;
};

QStringList Captions(const QList<TVoCustomAtt *> &items) {
    QStringList captions;
    for (const TVoCustomAtt *item : items)
        captions << item->Caption;
    return captions;
}

} // namespace

TEST_F(kvbMainTest, FirstActivationBuildsTheMenuOfNinePagesAndTheEmptyStatusOnce) {
    TfmkvbMain *main = Start();
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Velisto - Beni durevoli"));
    EXPECT_EQ(qqoVoGlobConn, dmkvbConn->xqoMain);
    QStringList pages;
    for (int i = 0; i < main->mxOLBar()->PageCount(); ++i)
        pages << main->mxOLBar()->PageCaption(i);
    EXPECT_EQ(pages,
              (QStringList{QStringLiteral("Movimentazione"), QStringLiteral("Chiusura \\ Rinumera"),
                           QStringLiteral("Tabelle"), QStringLiteral("Archivi di base"),
                           QStringLiteral("Stampe"), QStringLiteral("Importa"), QStringLiteral("Esporta"),
                           QStringLiteral("Utility"), QStringLiteral("Strumenti")}));
    EXPECT_EQ(Captions(dmkvbAtt->xpgTools->ShownItems()),
              (QStringList{QStringLiteral("Velisto"), QStringLiteral("Nuovo Anno"), QStringLiteral("Firme"),
                           QStringLiteral("Parametri")}));
    EXPECT_EQ(Captions(dmkvbAtt->xpgTabelle->ShownItems()),
              (QStringList{QStringLiteral("Voci"), QStringLiteral("Tipi verbali"),
                           QStringLiteral("Categorie inventariali"), QStringLiteral("Tipi commissione"),
                           QStringLiteral("Causali ")}));
    EXPECT_EQ(main->MenuImages().Count(), 32);
    EXPECT_FALSE(main->MenuImages().Icon(dmkvbAtt->xarkvbStampe->ImageIndex).isNull());
    EXPECT_EQ(main->PanelText(1), QStringLiteral("Istituto: "));
    EXPECT_EQ(main->PanelText(2), QStringLiteral("Velisto: "));
    EXPECT_EQ(CurrentSiteId, VoSelectValue(QStringLiteral("SELECT ISEDINFID FROM TSEDINF_SEDEINFO")).toInt());
    EXPECT_EQ(CurrentRegStart, VoNoDate);
    EXPECT_TRUE(messages->Shown().isEmpty()) << messages->LastText().toStdString();
    // The reports were hooked: the standard layouts are in the database.
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TYXAR_XMLARCHIVIO WHERE SYXARCODICE LIKE 'RPT330%'")),
              29);

    // Switching back to the program repeats nothing: a second site now would leave no current site.
    VoExecSQL(
        QStringLiteral("INSERT INTO TSEDINF_SEDEINFO (ISEDINFID, SSEDINFLDESC) VALUES (999, 'Plesso')"));
    main->FormActivate();
    EXPECT_NE(CurrentSiteId, -1);
    EXPECT_TRUE(messages->Shown().isEmpty());
}

TEST_F(kvbMainTest, SeveralSitesLeaveNoCurrentSite) {
    VoExecSQL(QStringLiteral("INSERT INTO TSEDINF_SEDEINFO (ISEDINFID, SSEDINFLDESC) VALUES (999, 'Plesso')"),
              {}, conn.get());
    Start();
    EXPECT_EQ(CurrentSiteId, -1);
    EXPECT_TRUE(CurrentSiteDesc.isEmpty());
}

TEST_F(kvbMainTest, UnopenableDatabaseClosesTheProgram) {
    TfmkvbMain *main = Start(home.path() + QStringLiteral("/manca.fdb"));
    ASSERT_EQ(messages->Shown().size(), 1);
    EXPECT_TRUE(messages->LastText().startsWith(QStringLiteral("Impossibile aprire il database")));
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(main->mxOLBar()->PageCount(), 0);
}

TEST_F(kvbMainTest, ReleaseNotesOnceAfterAnUpdate) {
    TVoDocumentViewer viewer;
    QDir().mkpath(home.path() + QStringLiteral("/etc/kva"));
    QDir().mkpath(home.path() + QStringLiteral("/etc/kvb"));
    const QString notes = home.path() + QStringLiteral("/etc/kva/kva_Notizie.pdf");
    const QString marker = home.path() + QStringLiteral("/etc/kvb/kvb_Version.txt");
    for (const QString &name : {notes, marker}) {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    Start();
    EXPECT_EQ(viewer.opened, QStringList{notes});
    EXPECT_FALSE(QFile::exists(marker));
    kvbDestroyModules();
    Start();
    EXPECT_EQ(viewer.opened.size(), 1);
}

TEST_F(kvbMainTest, ParametersOfferTheSchoolsDurableRegisterYearsNewestFirst) {
    TfmkvbMain *main = Start();
    const int otherSchool = VoTestNewKey(QStringLiteral("TDOW_DATAOWNER"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TDOW_DATAOWNER (IDWGID, SDOWSDESC, SDOWLDESC) VALUES (:id, 'Liceo', "
                       "'Liceo Galilei')"),
        {{QStringLiteral("id"), otherSchool}});
    const int otherRegister = VoTestNewKey(QStringLiteral("TDWGFAC"));
    VoExecSQL(QStringLiteral("INSERT INTO TDWGFAC (IDWGFACID, IDWGID, IFACID) SELECT :id, :s, IFACID FROM "
                             "TFAC_VELISTO WHERE SFACDESC = 'Beni durevoli'"),
              {{QStringLiteral("id"), otherRegister}, {QStringLiteral("s"), otherSchool}});
    OpenRegisterYear(otherRegister, 2026);

    QStringList seen[2];
    int width = 0;
    dmkvbParams->xpmVouParams->OnDialogShown = [&](TfmVoParamDlg *dlg) {
        auto *years = qobject_cast<TVoIdComboBox *>(dlg->Control(ParRegisterYear));
        width = years->width();
        for (int s = 0; s < 2; ++s) {
            TVoIdComboBox *school = dlg->SchoolCombo();
            school->SelectId(s == 0 ? DemoSchoolId() : otherSchool);
            emit school->activated(school->currentIndex());
            EXPECT_EQ(years->currentIndex(), -1);
            for (int i = 0; i < years->count(); ++i)
                seen[s] << years->itemText(i);
        }
        dlg->Cancel();
    };
    dmkvbAtt->xacParam->Execute();
    EXPECT_EQ(seen[0], (QStringList{QStringLiteral("Beni durevoli Anno: 2027"),
                                    QStringLiteral("Beni durevoli Anno: 2026"),
                                    QStringLiteral("Beni durevoli Anno: 2025"),
                                    QStringLiteral("Beni durevoli di biblioteca Anno: 2027"),
                                    QStringLiteral("Beni durevoli di biblioteca Anno: 2026"),
                                    QStringLiteral("Beni durevoli di biblioteca Anno: 2025")}));
    EXPECT_EQ(seen[1], QStringList{QStringLiteral("Beni durevoli Anno: 2026")});
    EXPECT_EQ(width, 230);

    // A choice loads the whole context before the status bar is refreshed.
    ASSERT_TRUE(Choose(DemoYear(2026)));
    EXPECT_EQ(
        CurrentRegisterId,
        VoSelectValue(QStringLiteral("SELECT IFACID FROM TFAC_VELISTO WHERE SFACDESC = 'Beni durevoli'"))
            .toInt());
    EXPECT_EQ(CurrentYearValue, 2026);
    EXPECT_EQ(CurrentRegYear, 2026);
    EXPECT_EQ(CurrentSchoolId, DemoSchoolId());
    EXPECT_EQ(CurrentRegSchoolId, DemoSchoolId());
    EXPECT_EQ(CurrentRegStart, DateToDays(QDate(2026, 1, 1)));
    EXPECT_EQ(CurrentRegEnd, DateToDays(QDate(2026, 12, 31)));
    EXPECT_EQ(CurrentYearEnd, DateToDays(QDate(2026, 12, 31)));
    EXPECT_EQ(main->PanelText(1), QStringLiteral("Istituto: I.C. Rodari"));
    EXPECT_EQ(main->PanelText(2), QStringLiteral("Velisto: Beni durevoli  Anno: 2026"));
    EXPECT_EQ(CurrentRegisterType, 5);

    // Confirmed without a register-year: "0" is stored and the context stays as it was.
    ASSERT_TRUE(Choose(-1));
    EXPECT_EQ(dmkvbParams->xpmVouParams->GetParams(ParRegisterYear).toString(), QStringLiteral("0"));
    EXPECT_EQ(CurrentYearValue, 2026);
    EXPECT_EQ(CurrentRegEnd, DateToDays(QDate(2026, 12, 31)));
    EXPECT_EQ(main->PanelText(2), QStringLiteral("Velisto: "));
}

TEST_F(kvbMainTest, StaleRegisterYearGivesAnEmptyContextAndTheVouchersWaitForTheParameters) {
    // The parameters of an earlier run name a register-year removed since.
    qqoVoGlobConn = conn.get();
    const int removed = OpenRegisterYear(MakeRegister(QStringLiteral("Dismesso"), 5).schoolRegId, 2026);
    TVoParamManager stored;
    stored.SetApplCodeList({QStringLiteral("KVB=1.0")});
    stored.SetParams(ParSchool, QString::number(DemoSchoolId()));
    stored.SetParams(ParRegisterYear, QString::number(removed));
    VoExecSQL(QStringLiteral("DELETE FROM TDWGFACANF WHERE IDWGFACANFID = :id"),
              {{QStringLiteral("id"), removed}});
    qqoVoGlobConn = nullptr;
    TfmkvbMain *main = Start();
    EXPECT_EQ(CurrentRegisterId, 0);
    EXPECT_EQ(CurrentYearValue, 0);
    EXPECT_EQ(CurrentRegStart, VoNoDate);
    EXPECT_EQ(main->PanelText(1), QStringLiteral("Istituto: I.C. Rodari"));
    EXPECT_EQ(main->PanelText(2), QStringLiteral("Velisto: "));
    dmkvbParams->xpmVouParams->OnDialogShown = [](TfmVoParamDlg *dlg) { dlg->Cancel(); };
    EXPECT_FALSE(PassesGuards(dmkvbAtt->xafCarico));
    EXPECT_EQ(messages->Texts(), QStringList{kParamsFirst});
}

TEST_F(kvbMainTest, VouchersAndTheGoodsListNeedADurableRegisterYear) {
    Start();
    bool dialogOpened = false;
    dmkvbParams->xpmVouParams->OnDialogShown = [&dialogOpened](TfmVoParamDlg *dlg) {
        dialogOpened = true;
        dlg->Cancel();
    };
    // Nothing chosen, "0" (confirmed without a choice) and a consumables register-year are refused
    // alike, each opening the parameters.
    const QVariant refused[] = {QVariant(), QStringLiteral("0"), QString::number(VoTestRegisterYear(2026))};
    for (const QVariant &registerYear : refused)
        for (TVoAttForm *item : {dmkvbAtt->xafCarico, dmkvbAtt->xafScarico, dmkvbAtt->xafVistaBeni}) {
            dmkvbParams->xpmVouParams->SetParams(ParSchool, QString::number(DemoSchoolId()));
            dmkvbParams->xpmVouParams->SetParams(ParRegisterYear, registerYear);
            dialogOpened = false;
            EXPECT_FALSE(PassesGuards(item)) << registerYear.toString().toStdString();
            EXPECT_EQ(messages->Texts(), QStringList{kParamsFirst});
            EXPECT_EQ(messages->Shown().value(0).type, mtWarning);
            EXPECT_TRUE(dialogOpened);
        }
    dmkvbParams->xpmVouParams->OnDialogShown = nullptr;
    ASSERT_TRUE(Choose(DurableYear(QStringLiteral("Beni durevoli di biblioteca"), 2025)));
    for (auto [item, title] : {std::pair{dmkvbAtt->xafCarico, "Gestione movimenti"},
                               std::pair{dmkvbAtt->xafScarico, "Gestione buoni di scarico"},
                               std::pair{dmkvbAtt->xafVistaBeni, "Elenco beni"}}) {
        messages->Clear();
        ASSERT_TRUE(item->Execute());
        EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
        EXPECT_EQ(fmkvbMain->ActiveMDIChildren().value(0)->windowTitle(), QString::fromLatin1(title));
        VoCloseAllChildren(fmkvbMain);
    }

    // With a window open the parameters cannot be changed.
    ASSERT_TRUE(dmkvbAtt->xafCondizioni->Execute());
    EXPECT_EQ(fmkvbMain->MDIChildCount(), 1);
    EXPECT_EQ(fmkvbMain->ActiveMDIChildren().value(0)->windowTitle(), QStringLiteral("Condizioni"));
    messages->Clear();
    EXPECT_FALSE(dmkvbAtt->xacParam->Execute());
    EXPECT_EQ(
        messages->Texts(),
        QStringList{QStringLiteral("Bisogna chiudere tutte le finestre attive per modificare i parametri")});
    VoCloseAllChildren(fmkvbMain);
}

TEST_F(kvbMainTest, RenumberingAsksFirstWithNoAsTheDefault) {
    Start();
    const QString question = QStringLiteral("Prima di procedere con questa funzione assicurarsi di avere le "
                                            "stampe\r\ncon le chiusure relative alle "
                                            "ultime operazioni eseguite nel Velisto in uso,\r\nuna volta "
                                            "fatta la rinumerazione queste stampe non "
                                            "saranno più disponibili.\r\nContinuare?");
    for (int answer : {mrCancel, mrNo}) {
        messages->Clear();
        messages->Push(answer);
        EXPECT_FALSE(dmkvbAtt->xafRinumera->Execute());
        EXPECT_EQ(messages->Texts(), QStringList{question});
        EXPECT_EQ(messages->Shown()[0].defaultButton, mbNo);
        EXPECT_EQ(messages->Shown()[0].buttons, TMsgDlgButtons(mbYesNoCancel));
    }
    messages->Clear();
    messages->Push(mrYes);
    QString opened;
    VoWhenModalOpens<QDialog>([&opened](QDialog *dlg) {
        opened = dlg->windowTitle();
        dlg->reject();
    });
    EXPECT_TRUE(dmkvbAtt->xafRinumera->Execute());
    EXPECT_EQ(opened, QStringLiteral("Rinumera beni"));
}

TEST_F(kvbMainTest, ImportsAndExportsNeedSomethingToTakeAndRoomInTheWorkingYear) {
    Start();
    ASSERT_TRUE(Choose(DemoYear(2026)));
    // Nothing to import yet, once the demo's warehouse issue is imported.
    VoExecSQL(QStringLiteral("UPDATE TBBUO_BUONI SET IMGMID = (SELECT IMGMID FROM TMGM_MOVMAGAZZINO WHERE "
                             "ITBUID = 16) WHERE IBBUOID = (SELECT MIN(IBBUOID) FROM TBBUO_BUONI)"));
    EXPECT_FALSE(PassesGuards(dmkvbAtt->xafImpMag));
    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral(
                  "Nel magazzino non ci sono buoni di scarico da importare nei beni durevoli")});
    EXPECT_FALSE(PassesGuards(dmkvbAtt->xafImpVelist));
    EXPECT_EQ(messages->Texts(),
              QStringList{
                  QStringLiteral("Nel Velisto non ci sono buoni di scarico da importare nei beni durevoli")});

    // A warehouse issue of the year, and a consumables voucher marked for this program.
    const int movement = VoTestNewKey(QStringLiteral("TMGM_MOVMAGAZZINO"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TMGM_MOVMAGAZZINO (IMGMID, ITBUID, SMGMCOD, IMGMESERCIZIOFIN) VALUES "
                       "(:id, 16, 'S-1', 2026)"),
        {{QStringLiteral("id"), movement}});
    const int marked = VoTestVoucher(1, QDate(2026, 6, 1), VoTestRegisterYear(2026));
    VoExecSQL(QStringLiteral("UPDATE TFBUO_BUONI SET SFBUOUSE = 'BENDUR' WHERE IFBUOID = :id"),
              {{QStringLiteral("id"), marked}});
    EXPECT_TRUE(PassesGuards(dmkvbAtt->xafImpMag)) << messages->LastText().toStdString();
    EXPECT_TRUE(PassesGuards(dmkvbAtt->xafImpVelist)) << messages->LastText().toStdString();
    // A movement already imported is not offered again.
    const int voucher = VoTestGoodsVoucher(DemoYear(2026), kvbLoading, QDate(2026, 6, 2), 3);
    VoExecSQL(QStringLiteral("UPDATE TBBUO_BUONI SET IMGMID = :m WHERE IBBUOID = :id"),
              {{QStringLiteral("m"), movement}, {QStringLiteral("id"), voucher}});
    EXPECT_FALSE(PassesGuards(dmkvbAtt->xafImpMag));

    // The working year: the demo's 2026 vouchers (loading up to 16/03, unloading on 05/11, and the
    // one of 02/06) leave room while the register-year ends on 31/12, none once it ends on 01/03.
    EXPECT_TRUE(PassesGuards(dmkvbAtt->xafImpInv)) << messages->LastText().toStdString();
    EXPECT_TRUE(PassesGuards(dmkvbAtt->xafExpVelist)) << messages->LastText().toStdString();
    VoExecSQL(QStringLiteral("UPDATE TDWGFACANF SET DDWGFACANFFINE = '2026-03-01' WHERE IDWGFACANFID = :id"),
              {{QStringLiteral("id"), DemoYear(2026)}});
    ASSERT_TRUE(Choose(DemoYear(2026)));
    const struct {
        TVoAttForm *item;
        const char *refusal;
    } cases[] = {{dmkvbAtt->xafImpInv, "Impossibile creare il buono di carico nell'anno di lavoro."},
                 {dmkvbAtt->xafExpVelist, "Impossibile creare il buono di scarico nell'anno di lavoro."}};
    for (const auto &c : cases) {
        EXPECT_FALSE(PassesGuards(c.item));
        EXPECT_EQ(messages->Texts(), QStringList{QString::fromUtf8(c.refusal)});
        EXPECT_EQ(messages->Shown()[0].type, mtError);
    }
}

TEST_F(kvbMainTest, SuppliersAndRecipientsOpenOnTheWholeRegistry) {
    Start();
    dmkvbAtt->xafBeneficiari->Execute();
    EXPECT_TRUE(messages->Texts().isEmpty());
    ASSERT_FALSE(fmkvbMain->ActiveMDIChildren().isEmpty());
    EXPECT_EQ(fmkvbMain->ActiveMDIChildren().value(0)->windowTitle(), QStringLiteral("Beneficiari"));
    // The registry the window shows reads with the text the guard gave it.
    TVoQueryCollection *registry = dmBeneficiari->xqcBeneficiari;
    registry->Open();
    EXPECT_EQ(
        registry->RecordCount(),
        VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TBEN_BENEFICIARI WHERE DDELETE IS NULL")).toInt());
    EXPECT_GT(registry->RecordCount(), 0);
}

namespace {

// Windows of later work opened by the menu, which record what the menu set on them and close.
struct TSeen {
    QString caption;
    double date = 0.0;
    QString condition;
    int target = 0;
    int mode = -1;
};
TSeen seen;

class TProvaChiusura : public QDialog, public IkvbRecognitionWindow, public IkvbClosingWindow {
public:
    explicit TProvaChiusura(QWidget *parent) : QDialog(parent) {}
    void SetVoucherDate(double date) override { seen.date = date; }
    void SetVoucherCondition(const QString &condition) override { seen.condition = condition; }
    void SetTargetVoucher(int voucherId) override { seen.target = voucherId; }
    void SetClosingMode(int mode) override { seen.mode = mode; }

protected:
    void showEvent(QShowEvent *e) override {
        QDialog::showEvent(e);
        seen.caption = windowTitle();
        QTimer::singleShot(0, this, &QDialog::reject);
    }
};

} // namespace

TEST_F(kvbMainTest, TheRecognitionAndTheClosingWindowsAreSetUpByTheMenu) {
    Start();
    const auto standIn = [](QWidget *parent) -> QWidget * { return new TProvaChiusura(parent); };
    const TVoClassReplacement multi(QStringLiteral("TfmBuoniScaMulti"), standIn);
    const TVoClassReplacement closing(QStringLiteral("TfmkvbChiusura"), standIn);
    const struct {
        TVoAttForm *item;
        const char *caption;
        const char *condition;
        int target, mode;
    } cases[] = {{dmkvbAtt->xafRicognizione, "Ricognizione", "AND (iBBuoRicogniz=1)", -1, -1},
                 {dmkvbAtt->xafChiusura, "Chiusura", "", 0, 1},
                 {dmkvbAtt->xafVerifica, "Verifica", "", 0, 0}};
    for (const auto &c : cases) {
        seen = {};
        EXPECT_TRUE(c.item->Execute());
        EXPECT_EQ(seen.caption, QString::fromLatin1(c.caption));
        EXPECT_EQ(seen.condition, QString::fromLatin1(c.condition));
        EXPECT_EQ(seen.target, c.target);
        EXPECT_EQ(seen.mode, c.mode);
    }
    dmkvbAtt->xafRicognizione->Execute();
    EXPECT_NEAR(seen.date, NowDays(), 1.0 / 24) << "the recognition's voucher is dated now";
}

TEST_F(kvbMainTest, OnlyThisProgramsNamesOpenTheConsumablesWindowsItShares) {
    for (const char *name : {"TfmkvbCond", "TfmkvbTipoDoc", "TfmkvbDoc", "TfmkvbFac", "TfmNuovoAnno"})
        EXPECT_TRUE(IsVoClassRegistered(QString::fromLatin1(name))) << name;
    // The consumables register's own names would open its registers, not this program's.
    for (const char *name : {"TfmkvaCond", "TfmkvaDoc", "TfmkvaCausali", "TfmkvaFac"})
        EXPECT_FALSE(IsVoClassRegistered(QString::fromLatin1(name))) << name;
}

TEST_F(kvbMainTest, EveryWindowTheMenusNameIsRegisteredByTheProgramAtStartUp) {
    for (const QString &name : RegisteredVoClasses())
        UnRegisterVoClass(name);
    kvbRegisterWindows();
    Start();
    EXPECT_EQ(VoUnregisteredMenuWindows(dmkvbAtt), QStringList());
}

TEST_F(kvbMainTest, EveryWindowFitsTheOfficeScreenAndShowsItsTextsWhole) {
    TfmkvbMain *main = Start();
    ASSERT_TRUE(Choose(DemoYear(2026)));
    // A loading voucher to type a book in, and goods of the consumables register to import, with the
    // long descriptions and sectors of a real office.
    const int voucher = VoTestGoodsVoucher(DemoYear(2026), 0, QDate(2026, 12, 2), 99);
    const int source = VoTestVoucher(1, QDate(2026, 3, 2), VoTestRegisterYear(2026));
    VoExecSQL(QStringLiteral("UPDATE TFBUO_BUONI SET SFBUOUSE = 'BENDUR' WHERE IFBUOID = :i"),
              {{QStringLiteral("i"), source}});
    const int sector = VoTestSector(QStringLiteral("LAB"));
    VoExecSQL(QStringLiteral("UPDATE TSEC_SETTCONS SET SSECDESCS = 'Laboratorio di chimica e fisica - "
                             "secondo piano, aula 12' WHERE ISECID = :s"),
              {{QStringLiteral("s"), sector}});
    VoTestRow(source,
              VoTestArticle(QStringLiteral("PERSONAL COMPUTER PORTATILE 15,6 POLLICI CON BORSA E MOUSE")),
              2, 650, sector);
    const QList<TVoLayoutState> states = {
        {QStringLiteral("TfmkvbBuoni"),
         [voucher](QWidget *window, const std::function<void()> &look) {
             auto *fm = qobject_cast<TfmkvbBuoni *>(window);
             ASSERT_TRUE(fm->xqcMain->Locate(QStringLiteral("IBBUOID"), voucher));
             ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
             fm->frDetail->xelCategoria->SetKeyValue(kvbCategoriaLibri);
             ASSERT_TRUE(fm->frDetail->DetailShown());
             ASSERT_TRUE(fm->frDetail->paBeneLibro->isVisibleTo(fm));
             look();
             fm->frDetail->xacCancel->Execute();
         }},
        {QStringLiteral("TfmkvbImpVelist"),
         [source](QWidget *window, const std::function<void()> &look) {
             auto *wizard = qobject_cast<TfmVoImpWizard *>(window);
             ASSERT_TRUE(wizard->xqcBuoni->Locate(QStringLiteral("IFBUOID"), source));
             wizard->buNext->click();
             look();
         }},
    };
    VoExpectEveryWindowFits(main, dmkvbAtt->xacParam, dmkvbParams->xpmVouParams, 58, states);
}

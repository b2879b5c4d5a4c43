// The program as a user starts it: the program choice, the first activation (connection, menu,
// context, status bar, checks), the menu's guards and the parameters dialog.
#include "VoAddOns.h"
#include "VoAttivazioni.h"
#include "VoChildDB.h"
#include "VoClassRegistry.h"
#include "VoDBEdits.h"
#include "VoDates.h"
#include "VoGlobals.h"
#include "VoIdComboBox.h"
#include "VoLayoutAudit.h"
#include "VoMDIMain.h"
#include "VoOutlookBar.h"
#include "VoParams.h"
#include "VoQuery.h"
#include "VoRptEngine.h"
#include "VoRptTreeView.h"
#include "VoShellTest.h"
#include "VoTestData.h"
#include "VoTestDb.h"
#include "VoTestRegisters.h"
#include "VoWidgetTest.h"
#include "kvaFBuoni.h"
#include "kvaFFac.h"
#include "kvaFMain.h"
#include "kvaFSelectPrg.h"
#include "kvaMAtt.h"
#include "kvaMConn.h"
#include "kvaMParams.h"
#include "kvaMReport.h"
#include "kvaRBuoniCarico.h"
#include "kvaRFac.h"
#include "kvaURegistries.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// A child window the tests open from the menu in place of the real ones.
class TfmProvaFinestra : public TfmVoChildDB {
public:
    explicit TfmProvaFinestra(QWidget *parent) : TfmVoChildDB(parent) {
        setWindowTitle(QStringLiteral("Prova"));
    }
};

class kvaMainTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        xgvmGlobalVar.Clear();
        kva::ResetWorkingContext();
        QFile::remove(TVoParamManager::SettingsFileName());
        qputenv("VELISTO_HOME", home.path().toLocal8Bit());
        QDir().mkpath(home.path() + QStringLiteral("/bin"));
        qqoVoGlobConn = nullptr; // the program opens its own connection
        VO_REGISTER_CLASS(TfmProvaFinestra);
    }
    void TearDown() override {
        TfmKvaSelectPrg::OnShown = nullptr;
        kvaDestroyModules();
        qunsetenv("VELISTO_HOME");
        xgvmGlobalVar.Clear();
        kva::ResetWorkingContext();
        VoDbTest::TearDown();
    }

    // Starts the program answering the choice: "Kva", "Kvb" or "" (Cancel).
    TfmkvaMain *Start(const QString &choice, bool activate = true) {
        TfmKvaSelectPrg::OnShown = [choice](TfmKvaSelectPrg *dlg) {
            if (choice == QLatin1String("Kva"))
                dlg->rbKva->click();
            else if (choice == QLatin1String("Kvb"))
                dlg->rbKvb->click();
            (choice.isEmpty() ? dlg->buCancel : dlg->buOk)->click();
        };
        TfmkvaMain *main = kvaCreateModules(qApp, [this](TdmkvaConn *connection) {
            connection->SetStartupArguments({QStringLiteral("SC01"), QStringLiteral("segreteria"),
                                             QStringLiteral("pw"), QStringLiteral("960"), dbPath,
                                             QStringLiteral("SYSDBA"), QString()});
        });
        if (activate)
            ShowAndActivate(main);
        return main;
    }

    static void ShowAndActivate(TfmkvaMain *main) { VoShowAndActivate(main); }
    static void CloseAllChildren() { VoCloseAllChildren(fmkvaMain); }

    // Opens the parameters dialog from the menu and chooses the demo school and a register-year.
    void ChooseInDialog(int registerYearId) {
        EXPECT_TRUE(VoChooseParameters(dmkvaAtt->xacParam, dmkvaParams->xpmVouParams, DemoSchoolId(),
                                       registerYearId));
    }

    QTemporaryDir home;
};

TEST_F(kvaMainTest, CancelledChoiceEndsTheProgramWithoutMenu) {
    TfmkvaMain *main = Start(QString());
    EXPECT_TRUE(main->ExitRequested());
    EXPECT_EQ(main->mxOLBar()->PageCount(), 0);
    EXPECT_FALSE(dmkvaConn->xqoMain->Connected());
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(messages->Shown().isEmpty());
}

TEST_F(kvaMainTest, DurableGoodsChoiceWithoutTheProgramSaysSo) {
    TfmkvaMain *main = Start(QStringLiteral("Kvb"));
    EXPECT_TRUE(main->ExitRequested());
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Programma non aggiornato")});
    EXPECT_EQ(main->mxOLBar()->PageCount(), 0);
}

TEST_F(kvaMainTest, DurableGoodsChoiceStartsItWithTheSevenValues) {
    const QString out = home.path() + QStringLiteral("/args.txt");
    QFile script(home.path() + QStringLiteral("/bin/kvb"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    // The list is renamed into place once whole, so its appearance means the program has finished.
    script.write(
        QStringLiteral(
            "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '%1.part' && mv '%1.part' '%1'\n")
            .arg(out)
            .toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    TfmkvaMain *main = Start(QStringLiteral("Kvb"));
    EXPECT_TRUE(main->ExitRequested());
    EXPECT_FALSE(dmkvaConn->xqoMain->Connected());
    ASSERT_TRUE(QTest::qWaitFor([&out] { return QFile::exists(out); }, 30000));
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList args = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(args, (QStringList{QStringLiteral("SC01"), QStringLiteral("segreteria"), QStringLiteral("pw"),
                                 QStringLiteral("960"), dbPath, QStringLiteral("SYSDBA")}))
        << "the empty password is the seventh argument";
    EXPECT_TRUE(messages->Shown().isEmpty());
}

TEST_F(kvaMainTest, FirstActivationBuildsMenuAndEmptyStatus) {
    TfmkvaMain *main = Start(QStringLiteral("Kva"));
    EXPECT_FALSE(main->ExitRequested());
    EXPECT_TRUE(dmkvaConn->xqoMain->Connected());
    EXPECT_EQ(qqoVoGlobConn, dmkvaConn->xqoMain);
    const QStringList pages{
        QStringLiteral("Movimentazione"),  QStringLiteral("Chiusura"), QStringLiteral("Tabelle"),
        QStringLiteral("Archivi di base"), QStringLiteral("Stampe"),   QStringLiteral("Importa"),
        QStringLiteral("Esporta"),         QStringLiteral("Utility"),  QStringLiteral("Strumenti")};
    ASSERT_EQ(main->mxOLBar()->PageCount(), pages.size());
    for (int i = 0; i < pages.size(); ++i)
        EXPECT_EQ(main->mxOLBar()->PageCaption(i), pages[i]);
    // Hidden items stay out; the tools page is sorted and holds the add-on item at its order.
    QStringList tools;
    for (TVoCustomAtt *item : dmkvaAtt->xpgTools->ShownItems())
        tools << item->Caption;
    EXPECT_EQ(tools, (QStringList{QStringLiteral("Velisto"), QStringLiteral("Nuovo Anno"),
                                  QStringLiteral("Parametri"), QStringLiteral("Firme")}));
    QStringList tables;
    for (TVoCustomAtt *item : dmkvaAtt->xpgTabelle->ShownItems())
        tables << item->Caption;
    EXPECT_FALSE(tables.contains(QStringLiteral("Tipi documenti")));
    EXPECT_EQ(dmkvaAtt->xafCarico->HelpContext, 103);
    EXPECT_EQ(main->MenuImages().Count(), 30);
    EXPECT_FALSE(main->MenuImages().Icon(dmkvaAtt->xarkvaStampe->ImageIndex).isNull());
    EXPECT_EQ(main->PanelText(1), QStringLiteral("Istituto: "));
    EXPECT_EQ(main->PanelText(2), QStringLiteral("Velisto: "));
    EXPECT_EQ(CurrentSiteId, VoSelectValue(QStringLiteral("SELECT ISEDINFID FROM TSEDINF_SEDEINFO")).toInt());
    // The report module answers the report tree's engine, whose layouts are in the database now.
    QVariant value;
    TVoRptTreeView::Of(dmkvaAtt->xarkvaStampe)
        ->GetfrReport()
        ->OnGetValue(QStringLiteral("IvaInclusa"), value);
    EXPECT_EQ(value, QVariant(CurrentVatIncluded));
    EXPECT_EQ(
        VoCountRows(QStringLiteral("SELECT * FROM TYXAR_XMLARCHIVIO WHERE SYXARCODICE STARTING WITH 'RPT'")),
        kvaReportLayouts().size());
    EXPECT_TRUE(messages->Shown().isEmpty());
    // A second activation repeats nothing.
    main->FormActivate();
    EXPECT_TRUE(messages->Shown().isEmpty());
}

TEST_F(kvaMainTest, UnopenableDatabaseClosesTheProgram) {
    TfmKvaSelectPrg::OnShown = [](TfmKvaSelectPrg *dlg) {
        dlg->rbKva->click();
        dlg->buOk->click();
    };
    const QString missing = home.path() + QStringLiteral("/manca.fdb");
    TfmkvaMain *main = kvaCreateModules(qApp, [&missing](TdmkvaConn *connection) {
        connection->SetStartupArguments({QStringLiteral("1"), QStringLiteral("u"), QString(),
                                         QStringLiteral("960"), missing, QStringLiteral("SYSDBA"),
                                         QString()});
    });
    ShowAndActivate(main);
    ASSERT_EQ(messages->Shown().size(), 1);
    EXPECT_TRUE(messages->LastText().startsWith(QStringLiteral("Impossibile aprire il database")));
    EXPECT_EQ(messages->Shown().last().type, mtError);
    EXPECT_FALSE(main->isVisible());
}

TEST_F(kvaMainTest, ParametersChooseTheRegisterYearAndRefreshTheStatus) {
    TfmkvaMain *main = Start(QStringLiteral("Kva"));
    ChooseInDialog(DemoRegisterYear(2026));
    EXPECT_EQ(dmkvaParams->xpmVouParams->GetParams(ParRegisterYear).toString(),
              QString::number(DemoRegisterYear(2026)));
    EXPECT_EQ(CurrentRegYear, 2026);
    EXPECT_EQ(CurrentYearValue, 2026);
    EXPECT_EQ(main->PanelText(1), QStringLiteral("Istituto: I.C. Rodari"));
    EXPECT_EQ(main->PanelText(2), QStringLiteral("Velisto: Facile consumo  Anno: 2026"));
    EXPECT_EQ(CurrentNumbering, 1);
}

TEST_F(kvaMainTest, RegisterYearListOfASchool) {
    Start(QStringLiteral("Kva"));
    const TVoTestRegister longName =
        MakeRegister(QStringLiteral("Un registro con una descrizione lunga oltre 32 caratteri"), 3);
    OpenRegisterYear(longName.schoolRegId, 2026);
    const TVoTestRegister durable = MakeRegister(QStringLiteral("Inventario"), 5);
    OpenRegisterYear(durable.schoolRegId, 2026);
    const auto list = TdmkvaParams::RegisterYearList(DemoSchoolId());
    QStringList texts;
    for (const auto &v : list)
        texts << v.text;
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Facile consumo Anno: 2025"),
                                  QStringLiteral("Facile consumo Anno: 2026"),
                                  QStringLiteral("Facile consumo Anno: 2027"),
                                  QStringLiteral("Un registro con una descrizione  Anno: 2026")}));
    EXPECT_TRUE(TdmkvaParams::RegisterYearList(-1).isEmpty());
}

TEST_F(kvaMainTest, VouchersNeedTheParametersFirst) {
    Start(QStringLiteral("Kva"));
    bool dialogOpened = false;
    dmkvaParams->xpmVouParams->OnDialogShown = [&dialogOpened](TfmVoParamDlg *dlg) {
        dialogOpened = true;
        dlg->Cancel();
    };
    EXPECT_FALSE(dmkvaAtt->xafCarico->Execute());
    EXPECT_TRUE(dialogOpened);
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral(
                                     "Prima di eseguire questa operazione bisogna impostare i parametri")});
    EXPECT_EQ(messages->Shown()[0].type, mtWarning);
    EXPECT_EQ(fmkvaMain->MDIChildCount(), 0);

    // "0", stored when the dialog is confirmed without a register-year, is refused the same way.
    dmkvaParams->xpmVouParams->SetParams(ParSchool, QString::number(DemoSchoolId()));
    dmkvaParams->xpmVouParams->SetParams(ParRegisterYear, QStringLiteral("0"));
    messages->Clear();
    dialogOpened = false;
    EXPECT_FALSE(dmkvaAtt->xafScarico->Execute());
    EXPECT_TRUE(dialogOpened);
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral(
                                     "Prima di eseguire questa operazione bisogna impostare i parametri")});

    dmkvaParams->xpmVouParams->OnDialogShown = nullptr;
    messages->Clear();
    ChooseInDialog(DemoRegisterYear(2026));
    EXPECT_TRUE(dmkvaAtt->xafCarico->Execute());
    ASSERT_EQ(fmkvaMain->MDIChildCount(), 1);
    EXPECT_TRUE(messages->Shown().isEmpty());
    // The loading vouchers' window, maximised, on the demo register-year that has none yet.
    auto *vouchers = qobject_cast<TfmkvaBuoni *>(fmkvaMain->FindMDIChild(QStringLiteral("TfmkvaBuoni")));
    ASSERT_NE(vouchers, nullptr);
    EXPECT_EQ(vouchers->windowTitle(), QStringLiteral("Gestione movimenti"));
    EXPECT_TRUE(vouchers->SubWindow()->isMaximized());
    EXPECT_TRUE(vouchers->xqcMain->Active());
    EXPECT_TRUE(vouchers->xqcMain->IsEmpty());

    // With a window open the parameters cannot be changed.
    EXPECT_FALSE(dmkvaAtt->xacParam->Execute());
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Bisogna chiudere tutte le finestre attive per modificare i parametri"));
}

TEST_F(kvaMainTest, LoadingRowsWithoutVatRateTakeTheirArticlesRate) {
    qqoVoGlobConn = conn.get();
    const int rate = VoTestVatRate(22);
    const int article = VoTestArticle(QStringLiteral("Toner"), 0, rate);
    const int ry = VoTestRegisterYear(2026);
    const int loadRow = VoTestRow(VoTestVoucher(0, QDate(2026, 1, 5), ry), article, 1, 50.0, 0, 0);
    const int unloadRow = VoTestRow(VoTestVoucher(1, QDate(2026, 1, 6), ry), article, 1, 0.0, 0, 0);
    qqoVoGlobConn = nullptr;
    Start(QStringLiteral("Kva"));
    auto rateOf = [](int row) {
        return VoSelectValue(QStringLiteral("SELECT IALVID FROM TAFC_ARTVELIST WHERE IAFCID = :r"),
                             {{QStringLiteral("r"), row}});
    };
    EXPECT_EQ(rateOf(loadRow).toInt(), rate);
    EXPECT_TRUE(rateOf(unloadRow).isNull());
}

TEST_F(kvaMainTest, AnArticleRebuildRunningOnAnotherComputerEndsTheProgram) {
    qqoVoGlobConn = conn.get();
    VoExecSQL(QStringLiteral("UPDATE TYXAR_XMLARCHIVIO SET BYXARXMLFILE = '0' WHERE IYXARID = 26001"));
    qqoVoGlobConn = nullptr;
    TfmkvaMain *main = Start(QStringLiteral("Kva"));
    EXPECT_TRUE(QTest::qWaitFor([main] { return !main->isVisible(); }));
    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral("Attendere la fine della \"Sincronizzazione dati degli "
                                         "articoli\" nel computer in cui è già stata lanciata")});
}

TEST_F(kvaMainTest, RegisterWithoutOptionsBlocksTheVouchersUntilSetInTheRegisters) {
    VoExecSQL(QStringLiteral("UPDATE TFAC_VELISTO SET IFACIVAINCLUSA = NULL"), {}, conn.get());
    Start(QStringLiteral("Kva"));
    const QString text =
        QStringLiteral("Impostare le opzioni di gestione ed iva utilizzate in tutti i registri di "
                       "velisto.\r\nSe non vengono impostati si potrebbero causare degli errori "
                       "irreversibili nel programma.");
    // At start: the message, then the registers window.
    EXPECT_EQ(messages->Texts(), QStringList{text});
    EXPECT_EQ(messages->Shown()[0].type, mtInformation);
    ASSERT_EQ(fmkvaMain->MDIChildCount(), 1);
    auto *registers = qobject_cast<TfmkvaFac *>(fmkvaMain->ActiveMDIChildren().value(0));
    ASSERT_TRUE(registers);
    CloseAllChildren();
    messages->Clear();
    ChooseInDialog(DemoRegisterYear(2026));
    EXPECT_FALSE(dmkvaAtt->xafCarico->Execute());
    EXPECT_EQ(messages->Texts(), QStringList{text});
    ASSERT_EQ(fmkvaMain->MDIChildCount(), 1);

    // The window the check opened is where the option is set.
    registers = qobject_cast<TfmkvaFac *>(fmkvaMain->ActiveMDIChildren().value(0));
    ASSERT_TRUE(registers);
    ASSERT_TRUE(registers->xqcMain->Locate(QStringLiteral("sFacDesc"), QStringLiteral("Facile consumo")));
    ASSERT_TRUE(registers->frkvaFac->xacEdit->Execute());
    ASSERT_TRUE(registers->frkvaFac->xckIva->isEnabled());
    registers->frkvaFac->xckIva->click();
    ASSERT_TRUE(registers->frkvaFac->xacPost->Execute());
    CloseAllChildren();
    messages->Clear();
    dmkvaAtt->xafCarico->Execute();
    EXPECT_FALSE(messages->Texts().contains(text));
}

TEST_F(kvaMainTest, ImportGuardsTellWhatIsMissing) {
    // Without the sources the demo data hands over.
    VoExecSQL(QStringLiteral("UPDATE TMGM_MOVMAGAZZINO SET ITBUID = 1"), {}, conn.get());
    VoExecSQL(QStringLiteral("UPDATE TBUO_BUONI SET SBUOAPPLSCARICO = NULL"), {}, conn.get());
    Start(QStringLiteral("Kva"));
    ChooseInDialog(DemoRegisterYear(2026));
    messages->Clear();
    EXPECT_FALSE(dmkvaAtt->xafImpMag->Execute());
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral(
                                     "Nel magazzino non ci sono buoni di scarico da importare nel velisto")});
    messages->Clear();
    EXPECT_FALSE(dmkvaAtt->xafImpInv->Execute());
    EXPECT_EQ(
        messages->Texts(),
        QStringList{QStringLiteral("Nell'inventario non ci sono buoni di scarico da importare nel velisto")});
    messages->Clear();
    EXPECT_FALSE(dmkvaAtt->xafImpBenDur->Execute());
    EXPECT_EQ(messages->Texts(),
              QStringList{
                  QStringLiteral("Nei beni durevoli non ci sono buoni di scarico da importare nel velisto")});
}

TEST_F(kvaMainTest, UnbuiltWindowsSaySoPlainly) {
    Start(QStringLiteral("Kva"));
    // A menu item whose window this version of the program lacks.
    dmkvaAtt->xafChiusura->ClasseForm = QStringLiteral("TfmkvaAssente");
    EXPECT_FALSE(dmkvaAtt->xafChiusura->Execute());
    EXPECT_EQ(
        messages->LastText(),
        QStringLiteral("La finestra \"TfmkvaAssente\" non è disponibile in questa versione del programma."));
}

TEST_F(kvaMainTest, ToolsOpenTheRegistersWindowsMaximised) {
    Start(QStringLiteral("Kva"));
    ASSERT_TRUE(dmkvaAtt->xafVelist->Execute());
    ASSERT_TRUE(dmkvaAtt->xafNuovoAnno->Execute());
    const QList<QWidget *> open = fmkvaMain->ActiveMDIChildren();
    ASSERT_EQ(open.size(), 2);
    EXPECT_TRUE(qobject_cast<TfmkvaFac *>(open[0]));
    EXPECT_EQ(VoFormClassName(open[1]), QStringLiteral("TfmNuovoAnno"));
    EXPECT_TRUE(open[1]->parentWidget()->isMaximized());
    EXPECT_TRUE(messages->Shown().isEmpty()) << messages->LastText().toStdString();
}

TEST_F(kvaMainTest, CodeRegistriesOpenFromTheMenuOnTheDemoData) {
    Start(QStringLiteral("Kva"));
    const std::pair<TVoAttForm *, const char *> items[] = {
        {dmkvaAtt->xafCondizioni, "Condizioni"},
        {dmkvaAtt->xafCausali, "Causali"},
        {dmkvaAtt->xafCategorie, "Classificazioni"},
        {dmkvaAtt->xafAliquote, "Aliquote IVA"},
        {dmkvaAtt->xafMerceol, "Tabella codici merceologici"},
        {dmkvaAtt->xafCatMerc, "Categorie merceologiche"},
        {dmkvaAtt->xafUniMisura, "Unità di Misura"},
        {dmkvaAtt->xafCollocazioni, "Collocazioni"},
    };
    for (const auto &[item, title] : items)
        EXPECT_TRUE(item->Execute()) << item->Caption.toStdString();
    const QList<QWidget *> open = fmkvaMain->ActiveMDIChildren();
    ASSERT_EQ(open.size(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(open[i]->windowTitle(), QString::fromUtf8(items[i].second));
        EXPECT_TRUE(qobject_cast<TfmVoChildDB *>(open[i])->OpenMaximized);
    }
    EXPECT_TRUE(messages->Shown().isEmpty()) << messages->LastText().toStdString();
    // The documents' items stand hidden: their windows open by class name.
    for (TVoAttForm *item : {dmkvaAtt->xafDoc, dmkvaAtt->xafTipoDoc}) {
        EXPECT_FALSE(item->Visible || item->Enabled);
        EXPECT_TRUE(IsVoClassRegistered(item->ClasseForm));
    }
}

TEST_F(kvaMainTest, ResponsiblesRegistryOpensOnceWithItsFrames) {
    Start(QStringLiteral("Kva"));
    dmkvaAtt->xafResponsabili->Execute();
    EXPECT_EQ(fmkvaMain->MDIChildCount(), 1);
    QWidget *w = fmkvaMain->ActiveMDIChildren().value(0);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Anagrafica Responsabili"));
    EXPECT_EQ(dmModAnaAtt->CategorieAmmesse, QSet<int>{3});
    dmkvaAtt->xafResponsabili->Execute();
    EXPECT_EQ(fmkvaMain->MDIChildCount(), 1);
    EXPECT_TRUE(messages->Shown().isEmpty());
}

TEST_F(kvaMainTest, EveryWindowTheMenusNameIsRegisteredByTheProgramAtStartUp) {
    for (const QString &name : RegisteredVoClasses())
        UnRegisterVoClass(name);
    kvaRegisterWindows();
    Start(QStringLiteral("Kva"), false);
    EXPECT_EQ(VoUnregisteredMenuWindows(dmkvaAtt), QStringList());
}

TEST_F(kvaMainTest, EveryWindowFitsTheOfficeScreenAndShowsItsTextsWhole) {
    Start(QStringLiteral("Kva"));
    ChooseInDialog(DemoRegisterYear(2026));
    // The unloading header is typed on its detail page, which shows every field of the voucher.
    const QList<TVoLayoutState> states = {
        {QStringLiteral("TfmkvaBuoniSca"), [](QWidget *window, const std::function<void()> &look) {
             auto *fm = qobject_cast<TfmkvaBuoni *>(window);
             fm->frMaster->ShowDetail();
             ASSERT_TRUE(fm->frMaster->DetailShown());
             look();
             fm->frMaster->ShowList();
         }}};
    VoExpectEveryWindowFits(fmkvaMain, dmkvaAtt->xacParam, dmkvaParams->xpmVouParams, 45, states);
}

TEST_F(kvaMainTest, ReleaseNotesOnceAfterAnUpdate) {
    TVoDocumentViewer viewer;
    const QString etc = kvaEtcDir();
    QDir().mkpath(etc);
    for (const char *name : {"kva_Version.txt", "kva_Notizie.pdf"}) {
        QFile f(etc + QString::fromLatin1(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    Start(QStringLiteral("Kva"));
    EXPECT_EQ(viewer.opened, QStringList{etc + QStringLiteral("kva_Notizie.pdf")});
    EXPECT_FALSE(QFile::exists(etc + QStringLiteral("kva_Version.txt")));
    QFile::remove(etc + QStringLiteral("kva_Notizie.pdf"));
}

} // namespace

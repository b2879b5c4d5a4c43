// The main window and its menu, driven as a user does: clicks on the items of the outlook bar.
#include "VoAttivazioni.h"
#include "VoChildDB.h"
#include "VoClassRegistry.h"
#include "VoDialogs.h"
#include "VoExceptions.h"
#include "VoMDIMain.h"
#include "VoMessages.h"
#include "VoOutlookBar.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// What the test windows tell about their life, in order.
QStringList &Events() {
    static QStringList events;
    return events;
}

class TfmProvaA : public TfmVoChildDB {
public:
    using TfmVoChildDB::TfmVoChildDB;

protected:
    void FormCreate() override {
        TfmVoChildDB::FormCreate();
        Events() << QStringLiteral("create A");
        setWindowTitle(QStringLiteral("Prova A"));
    }
    void FormShow() override { Events() << QStringLiteral("show A"); }
    void FormClose(TCloseAction &action) override {
        Events() << QStringLiteral("close A");
        TfmVoChildDB::FormClose(action);
    }
};

class TfmProvaB : public TfmVoChildDB {
public:
    using TfmVoChildDB::TfmVoChildDB;
};

class TfmProvaDlg : public TfmVoOkCancDlg {
public:
    using TfmVoOkCancDlg::TfmVoOkCancDlg;

protected:
    void FormShow() override { Events() << QStringLiteral("show dlg ") + windowTitle(); }
};

class VoMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        Events().clear();
        RegisterVoClass(QStringLiteral("TfmProvaA"),
                        [](QWidget *p) -> QWidget * { return new TfmProvaA(p); });
        RegisterVoClass(QStringLiteral("TfmProvaB"),
                        [](QWidget *p) -> QWidget * { return new TfmProvaB(p); });
        RegisterVoClass(QStringLiteral("TfmProvaDlg"),
                        [](QWidget *p) -> QWidget * { return new TfmProvaDlg(p); });
        main = std::make_unique<TfmVoMDIMain>();
        main->resize(900, 600);
        main->MenuImages().Add(QIcon());
        pgMov = module.AddPage(QStringLiteral("xpgMov"), QStringLiteral("Movimentazione"), 0);
        pgTools = module.AddPage(QStringLiteral("xpgTools"), QStringLiteral("Strumenti"), 5, true);
        xafA = module.AddForm(QStringLiteral("xafA"), pgMov, QStringLiteral("Carico"),
                              QStringLiteral("tfmprovaa"), 0, 0);
        xafB = module.AddForm(QStringLiteral("xafB"), pgTools, QStringLiteral("Velisto"),
                              QStringLiteral("TfmProvaB"), 3);
        module.SetContainer(main->mxOLBar());
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    }
    void TearDown() override {
        main.reset();
        UnRegisterVoClass(QStringLiteral("TfmProvaA"));
        UnRegisterVoClass(QStringLiteral("TfmProvaB"));
        UnRegisterVoClass(QStringLiteral("TfmProvaDlg"));
    }

    // Opens the bar's page of that caption and clicks the item of that caption, as a user does.
    void Click(const QString &pageCaption, const QString &itemCaption) {
        TVoOutlookBar *bar = main->mxOLBar();
        for (int p = 0; p < bar->PageCount(); ++p) {
            if (bar->PageCaption(p) != pageCaption)
                continue;
            bar->setCurrentIndex(p);
            QListWidget *list = bar->PageList(p);
            for (int i = 0; i < list->count(); ++i)
                if (list->item(i)->text() == itemCaption) {
                    list->scrollToItem(list->item(i));
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                      list->visualItemRect(list->item(i)).center());
                    return;
                }
        }
        ADD_FAILURE() << "no item " << itemCaption.toStdString() << " in page " << pageCaption.toStdString();
    }

    QWidget *CurrentChild() const { return main->ActiveMDIChild(); }

    TVoScriptedMessages messages;
    TdmVoAttivazioni module;
    std::unique_ptr<TfmVoMDIMain> main;
    TVoApgPage *pgMov = nullptr;
    TVoApgPage *pgTools = nullptr;
    TVoAttForm *xafA = nullptr;
    TVoAttForm *xafB = nullptr;
};

TEST_F(VoMenuTest, BarShowsVisiblePagesByOrderAndTheirItems) {
    auto *hidden = module.AddPage(QStringLiteral("xpgRicRiv"), QStringLiteral("Ricognizione"), 1);
    hidden->Visible = false;
    module.AddForm(QStringLiteral("xafR"), hidden, QStringLiteral("Ricognizione"),
                   QStringLiteral("TfmProvaA"));
    auto *first = module.AddPage(QStringLiteral("xpgPrima"), QStringLiteral("Prima"), -1);
    // A sorted page orders by Order, the others keep the order in which the items were added.
    auto *params = module.AddComponent(QStringLiteral("xacParam"), pgTools, QStringLiteral("Parametri"), 10);
    params->Hint = QStringLiteral("Parametri del programma");
    module.AddComponent(QStringLiteral("xacAddon"), pgTools, QStringLiteral("Firme"), 7);
    module.AddComponent(QStringLiteral("xacZ"), pgMov, QStringLiteral("Zeta"), -5);
    auto *hiddenItem = module.AddComponent(QStringLiteral("xacH"), pgMov, QStringLiteral("Nascosto"), 1);
    hiddenItem->Visible = false;
    xafB->Enabled = false;
    main->MenuImages().Clear();
    LoadDefaultImages(main->MenuImages(), {QStringLiteral("carico"), QStringLiteral("scarico")});
    xafA->ImageIndex = 1;
    module.Execute();

    TVoOutlookBar *bar = main->mxOLBar();
    ASSERT_EQ(bar->PageCount(), 3);
    EXPECT_EQ(bar->PageCaption(0), QStringLiteral("Prima"));
    EXPECT_EQ(bar->PageCaption(1), QStringLiteral("Movimentazione"));
    EXPECT_EQ(bar->PageCaption(2), QStringLiteral("Strumenti"));
    EXPECT_EQ(module.BuiltPages(), (QList<TVoApgPage *>{first, pgMov, pgTools}));
    ASSERT_EQ(bar->ItemCount(1), 2);
    EXPECT_EQ(bar->Item(1, 0)->text(), QStringLiteral("Carico"));
    EXPECT_EQ(bar->Item(1, 1)->text(), QStringLiteral("Zeta"));
    ASSERT_EQ(bar->ItemCount(2), 3);
    EXPECT_EQ(bar->Item(2, 0)->text(), QStringLiteral("Velisto"));
    EXPECT_EQ(bar->Item(2, 1)->text(), QStringLiteral("Firme"));
    EXPECT_EQ(bar->Item(2, 2)->text(), QStringLiteral("Parametri"));
    EXPECT_EQ(bar->Item(2, 2)->toolTip(), QStringLiteral("Parametri del programma"));
    EXPECT_EQ(bar->Item(2, 1)->toolTip(), QStringLiteral("Firme"));
    EXPECT_FALSE(bar->Item(2, 0)->flags() & Qt::ItemIsEnabled);
    EXPECT_EQ(bar->ItemData(1, 0), xafA);
    EXPECT_FALSE(bar->Item(1, 0)->icon().isNull());
    EXPECT_TRUE(bar->Item(1, 1)->icon().isNull());
    EXPECT_EQ(main->MenuImages().Count(), 2);
}

TEST_F(VoMenuTest, WindowOpensOnceAndComesForwardOnTheSecondClick) {
    QList<QString> initialised;
    xafA->OnInizializedForm = [&](TVoCustomAtt *item, QWidget *form) {
        Events() << QStringLiteral("initialised");
        initialised << item->objectName() + QLatin1Char(' ') + VoFormClassName(form);
    };
    int after = 0;
    xafA->AfterExecute = [&](TVoCustomAtt *) { ++after; };
    module.Execute();

    Click(QStringLiteral("Movimentazione"), QStringLiteral("Carico"));
    ASSERT_EQ(main->MDIChildCount(), 1);
    QPointer<QWidget> a = xafA->Form();
    ASSERT_TRUE(a);
    EXPECT_EQ(CurrentChild(), a.data());
    EXPECT_EQ(a->parentWidget()->windowTitle(), QStringLiteral("Prova A"));
    // The item's event sees the window after its creation and before it is shown.
    EXPECT_EQ(Events(), (QStringList{QStringLiteral("create A"), QStringLiteral("initialised"),
                                     QStringLiteral("show A")}));
    EXPECT_EQ(initialised, QStringList{QStringLiteral("xafA TfmProvaA")});

    Click(QStringLiteral("Strumenti"), QStringLiteral("Velisto"));
    ASSERT_EQ(main->MDIChildCount(), 2);
    EXPECT_EQ(CurrentChild(), xafB->Form());

    a->parentWidget()->showMinimized();
    Click(QStringLiteral("Movimentazione"), QStringLiteral("Carico"));
    EXPECT_EQ(main->MDIChildCount(), 2);
    EXPECT_EQ(CurrentChild(), a.data());
    EXPECT_FALSE(a->parentWidget()->isMinimized());
    EXPECT_EQ(Events().count(QStringLiteral("create A")), 1);
    EXPECT_EQ(after, 2);
    EXPECT_EQ(main->FindMDIChild(QStringLiteral("TFMPROVAA")), a.data());
    EXPECT_EQ(main->ActiveMDIChildren(), (QList<QWidget *>{a.data(), xafB->Form()}));
    EXPECT_TRUE(messages->Shown().isEmpty());
}

// The page captions take no focus: the arrows walk on from the last item of a page into the next
// one (skipping an item that is off) and back, so that any window opens without the mouse.
TEST_F(VoMenuTest, EveryPageIsReachedByTheArrowKeys) {
    module.AddComponent(QStringLiteral("xacOff"), pgMov, QStringLiteral("Spento"), 9)->Enabled = false;
    module.Execute();
    TVoOutlookBar *bar = main->mxOLBar();
    QListWidget *first = bar->PageList(0);
    first->setFocus(Qt::OtherFocusReason);
    first->setCurrentRow(0);
    QTest::keyClick(first, Qt::Key_Down);
    ASSERT_EQ(bar->currentIndex(), 1);
    EXPECT_EQ(QApplication::focusWidget(), bar->PageList(1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(CurrentChild(), xafB->Form());
    // The window closed by its key, the keys are back in the menu.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::ControlModifier);
    QTest::qWait(20);
    EXPECT_EQ(main->MDIChildCount(), 0);
    ASSERT_EQ(QApplication::focusWidget(), bar->PageList(1));
    QTest::keyClick(bar->PageList(1), Qt::Key_Up);
    EXPECT_EQ(bar->currentIndex(), 0);
    EXPECT_EQ(first->currentItem()->text(), QStringLiteral("Carico"));
    QTest::keyClick(first, Qt::Key_Up);
    EXPECT_EQ(bar->currentIndex(), 0);
}

TEST_F(VoMenuTest, ClosedWindowIsFreedWithItsFrame) {
    module.Execute();
    Click(QStringLiteral("Movimentazione"), QStringLiteral("Carico"));
    QPointer<QWidget> a = xafA->Form();
    QPointer<QWidget> frame = a->parentWidget();
    frame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(a.isNull());
    EXPECT_TRUE(frame.isNull());
    EXPECT_EQ(main->MDIChildCount(), 0);
    EXPECT_FALSE(xafA->HasOpenForm());
    EXPECT_EQ(Events().count(QStringLiteral("close A")), 1);

    // Closed from inside (a button of the window): the frame goes too, and a click opens a new one.
    Click(QStringLiteral("Movimentazione"), QStringLiteral("Carico"));
    a = xafA->Form();
    frame = a->parentWidget();
    a->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(a.isNull());
    EXPECT_TRUE(frame.isNull());
    EXPECT_EQ(main->MDIChildCount(), 0);
    EXPECT_EQ(Events().count(QStringLiteral("close A")), 2);
    EXPECT_EQ(Events().count(QStringLiteral("create A")), 2);
}

TEST_F(VoMenuTest, GuardThatRefusesShowsItsMessageAndOpensNothing) {
    bool afterRan = false;
    xafA->BeforeExecute = [&](TVoCustomAtt *, bool &allow) {
        if (main->MDIChildCount() > 0) {
            VoMessageDlg(
                QStringLiteral("Bisogna chiudere tutte le finestre attive per modificare i parametri"),
                mtWarning, mbOK);
            allow = false;
        }
    };
    xafA->AfterExecute = [&](TVoCustomAtt *) { afterRan = true; };
    module.Execute();
    Click(QStringLiteral("Strumenti"), QStringLiteral("Velisto"));
    ASSERT_EQ(main->MDIChildCount(), 1);

    Click(QStringLiteral("Movimentazione"), QStringLiteral("Carico"));
    EXPECT_EQ(main->MDIChildCount(), 1);
    EXPECT_FALSE(xafA->HasOpenForm());
    EXPECT_FALSE(afterRan);
    EXPECT_TRUE(Events().isEmpty());
    ASSERT_EQ(messages->Shown().size(), 1);
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Bisogna chiudere tutte le finestre attive per modificare i parametri"));
    EXPECT_EQ(messages->Shown().last().type, mtWarning);
}

TEST_F(VoMenuTest, DisabledItemIgnoresClicksButRunsItsGuardsFromCode) {
    int guards = 0;
    xafA->Enabled = false;
    xafA->BeforeExecute = [&](TVoCustomAtt *, bool &) { ++guards; };
    module.Execute();
    Click(QStringLiteral("Movimentazione"), QStringLiteral("Carico"));
    EXPECT_EQ(guards, 0);
    EXPECT_EQ(main->MDIChildCount(), 0);

    EXPECT_TRUE(xafA->Execute());
    EXPECT_EQ(guards, 1);
    EXPECT_EQ(main->MDIChildCount(), 1);
}

TEST_F(VoMenuTest, MissingWindowClassAndFailingHandlersEndInAMessage) {
    xafA->ClasseForm = QStringLiteral("TfmNonEsiste");
    xafB->BeforeExecute = [](TVoCustomAtt *, bool &) { throw EVoError(QStringLiteral("Connessione persa")); };
    module.Execute();

    Click(QStringLiteral("Movimentazione"), QStringLiteral("Carico"));
    EXPECT_EQ(
        messages->LastText(),
        QStringLiteral("La finestra \"TfmNonEsiste\" non è disponibile in questa versione del programma."));
    EXPECT_EQ(main->MDIChildCount(), 0);
    // From code the refusal is a result, not an exception.
    EXPECT_FALSE(xafA->Execute());

    Click(QStringLiteral("Strumenti"), QStringLiteral("Velisto"));
    EXPECT_EQ(messages->LastText(), QStringLiteral("Connessione persa"));
    EXPECT_EQ(messages->Shown().last().type, mtError);
    EXPECT_EQ(main->MDIChildCount(), 0);
    EXPECT_THROW(xafB->Execute(), EVoError);
}

TEST_F(VoMenuTest, ModalWindowIsShownModallyAndFreedWhenClosed) {
    auto *xafDlg = module.AddForm(QStringLiteral("xafDlg"), pgTools, QStringLiteral("Rinumera"),
                                  QStringLiteral("TfmProvaDlg"), 1);
    xafDlg->Modal = true;
    QPointer<QWidget> shown;
    bool modalWhileOpen = false;
    xafDlg->OnInizializedForm = [&](TVoCustomAtt *, QWidget *form) {
        form->setWindowTitle(QStringLiteral("Rinumera beni"));
        shown = form;
        QTimer::singleShot(0, form, [&] {
            modalWhileOpen = shown->isModal() && xafDlg->HasOpenForm();
            static_cast<TfmVoOkCancDlg *>(shown.data())->buOk->click();
        });
    };
    bool after = false;
    xafDlg->AfterExecute = [&](TVoCustomAtt *) { after = true; };
    module.Execute();
    Click(QStringLiteral("Strumenti"), QStringLiteral("Rinumera"));
    EXPECT_TRUE(modalWhileOpen);
    EXPECT_TRUE(after);
    EXPECT_TRUE(shown.isNull());
    EXPECT_FALSE(xafDlg->HasOpenForm());
    EXPECT_EQ(main->MDIChildCount(), 0);
    EXPECT_EQ(Events(), QStringList{QStringLiteral("show dlg Rinumera beni")});

    // A window that is no dialog is shown modally too, outside the MDI area.
    xafA->Modal = true;
    modalWhileOpen = false;
    xafA->OnInizializedForm = [&](TVoCustomAtt *, QWidget *form) {
        QTimer::singleShot(0, form, [&, form] {
            modalWhileOpen = form->isWindow() && form->windowModality() == Qt::ApplicationModal;
            form->close();
        });
    };
    module.Execute();
    Click(QStringLiteral("Movimentazione"), QStringLiteral("Carico"));
    EXPECT_TRUE(modalWhileOpen);
    EXPECT_FALSE(xafA->HasOpenForm());
    EXPECT_EQ(main->MDIChildCount(), 0);
    EXPECT_EQ(Events().count(QStringLiteral("close A")), 1);
}

TEST_F(VoMenuTest, ComponentAndReportItems) {
    int runs = 0;
    auto *xacParam =
        module.AddComponent(QStringLiteral("xacParam"), pgTools, QStringLiteral("Parametri"), 10);
    xacParam->OnExecute = [&](TVoCustomAtt *sender) { runs += sender == xacParam; };
    module.AddReport(QStringLiteral("xarStampe"),
                     module.AddPage(QStringLiteral("xpgStampe"), QStringLiteral("Stampe"), 4),
                     QStringLiteral("Stampe"), QStringLiteral("KVA"));
    module.Execute();
    Click(QStringLiteral("Strumenti"), QStringLiteral("Parametri"));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(module.FindItem(QStringLiteral("XACPARAM")), xacParam);

    Click(QStringLiteral("Stampe"), QStringLiteral("Stampe"));
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Le stampe non sono disponibili in questa versione del programma."));

    // With the report library, each report item gets its tree when it is made, and runs it.
    struct TFakeTree : TVoCustomRptTree {
        using TVoCustomRptTree::TVoCustomRptTree;
        void Execute() override { ran = static_cast<TVoAttReport *>(parent())->CodAppl; }
        QString ran;
    };
    TVoAttReport::SetTreeFactory([](TVoAttReport *item) { return new TFakeTree(item); });
    auto *xarKvb = module.AddReport(QStringLiteral("xarKvb"), module.FindPage(QStringLiteral("xpgStampe")),
                                    QStringLiteral("Stampe KVB"), QStringLiteral("KVB"));
    TVoAttReport::SetTreeFactory(nullptr);
    module.Execute();
    Click(QStringLiteral("Stampe"), QStringLiteral("Stampe KVB"));
    EXPECT_EQ(static_cast<TFakeTree *>(xarKvb->ReportTree())->ran, QStringLiteral("KVB"));
}

// Waits for a file written by a process that the test does not wait for, until its last line is there.
QString WaitForFile(const QString &path) {
    QString text;
    const bool whole = QTest::qWaitFor(
        [&] {
            QFile f(path);
            text = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
            return text.endsWith(QLatin1String("END\n"));
        },
        30000);
    if (!whole)
        ADD_FAILURE() << "the program never finished writing " << path.toStdString();
    return text;
}

TEST(VoAttShellTest, StartsAProgramWithItsArgumentsAsAList) {
    TVoScriptedMessages messages;
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    TVoAttShell shell;
    shell.Directory = dir.path();
    shell.FileName = QStringLiteral("sh");
    // Blanks, quotes and shell characters must reach the program as they are, one argument each.
    const QStringList args{QStringLiteral("C 1"), QStringLiteral("a\"b'c"), QStringLiteral("$HOME; rm -rf x"),
                           QString()};
    shell.Parameters =
        QStringList{QStringLiteral("-c"),
                    QStringLiteral("o=$1; shift; pwd > \"$o\"; for a in \"$@\"; do "
                                   "printf '[%s]\\n' \"$a\" >> \"$o\"; done; echo END >> \"$o\""),
                    QStringLiteral("sh"), out} +
        args;
    bool after = false;
    shell.AfterExecute = [&](TVoCustomAtt *) { after = true; };
    ASSERT_TRUE(shell.Execute());
    EXPECT_TRUE(after);
    const QString text = WaitForFile(out);
    EXPECT_EQ(text, QDir(dir.path()).canonicalPath() +
                        QStringLiteral("\n[C 1]\n[a\"b'c]\n[$HOME; rm -rf x]\n[]\nEND\n"));
    EXPECT_TRUE(messages->Shown().isEmpty());
}

TEST(VoAttShellTest, ParameterTextAndMissingFiles) {
    TVoScriptedMessages messages;
    TVoAttShell shell;
    shell.SetParameterText(QStringLiteral("\"C\" \"Mario Rossi\" \"p w\""));
    EXPECT_EQ(shell.Parameters,
              (QStringList{QStringLiteral("C"), QStringLiteral("Mario Rossi"), QStringLiteral("p w")}));

    QTemporaryDir dir;
    shell.Directory = dir.path();
    shell.FileName = QStringLiteral("kvi");
    EXPECT_EQ(shell.FullPath(), dir.filePath(QStringLiteral("kvi")));
    EXPECT_FALSE(shell.Execute());
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Il file \"%1\" non esiste.").arg(dir.filePath(QStringLiteral("kvi"))));
}

} // namespace

// Receives the documents that the shell item hands to the desktop.
class TDocumentCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void Open(const QUrl &url) { urls << url; }
};

TEST(VoAttShellTest, DocumentOpensWithTheDesktopProgram) {
    TVoScriptedMessages messages;
    QTemporaryDir dir;
    QFile pdf(dir.filePath(QStringLiteral("kva_Notizie.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.write("%PDF-1.4\n");
    pdf.close();
    TDocumentCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "Open");
    TVoAttShell shell;
    shell.Directory = dir.path() + QLatin1Char('/');
    shell.FileName = QStringLiteral("kva_Notizie.pdf");
    EXPECT_TRUE(shell.Execute());
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0].toLocalFile(), QFileInfo(pdf).absoluteFilePath());
    EXPECT_TRUE(messages->Shown().isEmpty());
}

#include "VoMenuTest.moc"

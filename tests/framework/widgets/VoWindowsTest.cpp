// The base windows: keyboard in dialogs, wizard pages, closing hooks, the wait window and the main
// window's status bar and first activation.
#include "VoChildDB.h"
#include "VoClassRegistry.h"
#include "VoDialogs.h"
#include "VoExceptions.h"
#include "VoMDIMain.h"
#include "VoMessages.h"
#include "VoOutlookBar.h"
#include "VoWait.h"
#include "VoWidgetTest.h"
#include "VoWindowDrive.h"

#include <QFile>
#include <QLabel>

#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

class TfmProvaOkCanc : public TfmVoOkCancDlg {
public:
    explicit TfmProvaOkCanc(QWidget *parent = nullptr) : TfmVoOkCancDlg(parent) {
        auto *layout = new QVBoxLayout(pnClient);
        edit = new QLineEdit(pnClient);
        layout->addWidget(edit);
    }
    QLineEdit *edit;
};

// Runs a modal dialog, doing what the user does once it is on screen.
int ExecWith(QDialog &dialog, std::function<void()> user) {
    // Timers left over from an earlier run of the same dialog must not act on this one.
    auto running = std::make_shared<bool>(true);
    QTimer::singleShot(0, &dialog, [&dialog, user, running] {
        if (!*running)
            return;
        user();
        // Whatever the user did, never leave the test hanging in the dialog.
        QTimer::singleShot(0, &dialog, [&dialog, running] {
            if (*running && dialog.isVisible())
                dialog.done(-1);
        });
    });
    const int result = dialog.exec();
    *running = false;
    return result;
}

// Keys go where the focus is, as when the user types.
void Key(QDialog &dialog, Qt::Key key) {
    QWidget *focus = dialog.focusWidget();
    QTest::keyClick(focus ? focus : &dialog, key);
}

TEST(VoDialogTest, EnterConfirmsAndEscapeCancels) {
    TfmProvaOkCanc dlg;
    QWidget *firstFocus = nullptr;
    EXPECT_EQ(ExecWith(dlg,
                       [&] {
                           firstFocus = dlg.focusWidget();
                           QTest::keyClicks(dlg.edit, QStringLiteral("abc"));
                           Key(dlg, Qt::Key_Return);
                       }),
              QDialog::Accepted);
    // The dialog opens on its first control, not on OK.
    EXPECT_EQ(firstFocus, dlg.edit);
    EXPECT_EQ(dlg.edit->text(), QStringLiteral("abc"));

    EXPECT_EQ(ExecWith(dlg, [&] { Key(dlg, Qt::Key_Escape); }), QDialog::Rejected);

    // A disabled OK is not pressed by Enter; with Cancel as the default button Enter cancels.
    dlg.buOk->setEnabled(false);
    EXPECT_EQ(ExecWith(dlg,
                       [&] {
                           dlg.edit->setFocus();
                           Key(dlg, Qt::Key_Return);
                       }),
              -1);
    dlg.buOk->setEnabled(true);
    dlg.SetCancelDefault(true);
    EXPECT_EQ(ExecWith(dlg,
                       [&] {
                           dlg.edit->setFocus();
                           Key(dlg, Qt::Key_Return);
                       }),
              QDialog::Rejected);

    // The buttons come after the controls in the tab order.
    QWidget *afterEdit = nullptr;
    ExecWith(dlg, [&] {
        dlg.edit->setFocus();
        Key(dlg, Qt::Key_Tab);
        afterEdit = dlg.focusWidget();
    });
    EXPECT_EQ(afterEdit, dlg.buOk);
}

class TfmProvaChiusa : public TfmVoOkCancDlg {
public:
    using TfmVoOkCancDlg::TfmVoOkCancDlg;
    bool mayClose = false;
    QStringList events;

protected:
    void FormCreate() override { events << QStringLiteral("create"); }
    void FormShow() override { events << QStringLiteral("show"); }
    bool FormCloseQuery() override {
        events << QStringLiteral("query");
        return mayClose;
    }
    void FormClose(TCloseAction &) override { events << QStringLiteral("close"); }
};

TEST(VoDialogTest, CloseQueryKeepsTheDialogOpen) {
    TVoScriptedMessages messages;
    std::unique_ptr<TfmProvaChiusa> dlg(VoNewForm<TfmProvaChiusa>());
    bool stillOpen = false;
    EXPECT_EQ(ExecWith(*dlg,
                       [&] {
                           dlg->buOk->click();
                           stillOpen = dlg->isVisible();
                           dlg->mayClose = true;
                           dlg->buOk->click();
                       }),
              QDialog::Accepted);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(dlg->events,
              (QStringList{QStringLiteral("create"), QStringLiteral("show"), QStringLiteral("query"),
                           QStringLiteral("query"), QStringLiteral("close")}));
}

class TfmProvaWizard : public TfmVoWizard {
public:
    explicit TfmProvaWizard(QWidget *parent = nullptr) : TfmVoWizard(parent) {
        for (int i = 0; i < 3; ++i)
            AddPage(new QWidget);
    }
    QList<int> seen;
    bool refuseLast = false;

protected:
    void NavigatorClick(QObject *sender) override {
        seen << (sender == buNext ? 1 : -1) * (ActivePageIndex() + 1);
        // A page that is not filled in sends the user back.
        if (refuseLast && ActivePageIndex() == 2)
            SetActivePageIndex(1);
    }
};

TEST(VoWizardTest, NextAndPriorTurnThePageThenTheNavigatorRuns) {
    TfmProvaWizard wiz;
    wiz.show();
    EXPECT_EQ(wiz.ActivePageIndex(), 0);
    EXPECT_FALSE(wiz.buPrior->isEnabled());
    QTest::mouseClick(wiz.buNext, Qt::LeftButton);
    QTest::mouseClick(wiz.buNext, Qt::LeftButton);
    EXPECT_EQ(wiz.pcMain->currentIndex(), 2);
    EXPECT_FALSE(wiz.buNext->isEnabled());
    QTest::mouseClick(wiz.buPrior, Qt::LeftButton);
    EXPECT_EQ(wiz.ActivePageIndex(), 1);
    EXPECT_EQ(wiz.seen, (QList<int>{2, 3, -2}));
    wiz.refuseLast = true;
    QTest::mouseClick(wiz.buNext, Qt::LeftButton);
    EXPECT_EQ(wiz.ActivePageIndex(), 1);
    EXPECT_TRUE(wiz.buNext->isEnabled());
}

class TfmProvaFiglia : public TfmVoChildDB {
public:
    using TfmVoChildDB::TfmVoChildDB;
    bool mayClose = true;
    TCloseAction action = caFree;
    int shows = 0;

protected:
    void FormShow() override { ++shows; }
    bool FormCloseQuery() override { return mayClose; }
    void FormClose(TCloseAction &a) override { a = action; }
};

TEST(VoMDIMainTest, ChildrenCloseAsTheirHooksSay) {
    TVoScriptedMessages messages;
    TfmVoMDIMain main;
    main.show();
    auto *child = VoNewForm<TfmProvaFiglia>();
    child->OpenMaximized = true;
    QPointer<QMdiSubWindow> frame = main.AddMDIChild(child);
    EXPECT_TRUE(frame->isMaximized());
    EXPECT_EQ(child->shows, 1);

    child->mayClose = false;
    frame->close();
    EXPECT_EQ(main.MDIChildCount(), 1);
    EXPECT_TRUE(frame->isVisible());

    child->mayClose = true;
    child->action = caMinimize;
    frame->close();
    EXPECT_EQ(main.MDIChildCount(), 1);
    EXPECT_TRUE(frame->isMinimized());
    TfmVoMDIMain::BringToFront(child);
    EXPECT_FALSE(frame->isMinimized());
    // Restoring from minimised is not a new show.
    EXPECT_EQ(child->shows, 1);

    child->action = caFree;
    QPointer<TfmProvaFiglia> alive = child;
    frame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_TRUE(frame.isNull());
    EXPECT_EQ(main.MDIChildCount(), 0);
}

TEST(VoMDIMainTest, ADialogAmongTheWindowsTakesItsFrameWhenItEnds) {
    TVoScriptedMessages messages;
    TfmVoMDIMain main;
    ASSERT_TRUE(VoShowActive(&main));
    for (const bool ok : {true, false}) {
        auto *dialog = new TfmProvaOkCanc;
        QPointer<QMdiSubWindow> frame = main.AddMDIChild(dialog);
        ASSERT_EQ(main.MDIChildCount(), 1);
        VoClick(ok ? dialog->buOk : dialog->buCancel);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(frame.isNull()) << ok;
        EXPECT_EQ(main.MDIChildCount(), 0) << ok;
    }
}

TEST(VoMDIMainTest, CtrlTabMovesToTheNextChildAndCtrlF4ClosesIt) {
    TVoScriptedMessages messages;
    TfmVoMDIMain main;
    ASSERT_TRUE(VoShowActive(&main));
    QList<TfmProvaFiglia *> children;
    for (int i = 0; i < 3; ++i) {
        children << VoNewForm<TfmProvaFiglia>();
        (new QVBoxLayout(children.last()))->addWidget(new QLineEdit);
        main.AddMDIChild(children.last());
    }
    ASSERT_EQ(main.ActiveMDIChild(), children[2]);
    VoPress(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(main.ActiveMDIChild(), children[0]);
    VoPress(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(main.ActiveMDIChild(), children[1]);
    QPointer<TfmProvaFiglia> closing = children[1];
    // Also with the focus on the menu bar beside the windows.
    main.mxOLBar()->PageList(main.mxOLBar()->AddPage(QStringLiteral("Archivi"), QIcon()))->setFocus();
    VoPress(Qt::Key_F4, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closing.isNull());
    EXPECT_EQ(main.MDIChildCount(), 2);
    // And with the focus in the window.
    main.ActiveMDIChild()->findChild<QLineEdit *>()->setFocus();
    VoPress(Qt::Key_F4, Qt::ControlModifier);
    EXPECT_EQ(main.MDIChildCount(), 1);
}

class TfmProvaErrata : public TfmVoChildDB {
public:
    using TfmVoChildDB::TfmVoChildDB;

protected:
    void FormCreate() override { throw EVoError(QStringLiteral("Tabella mancante")); }
};

TEST(VoMDIMainTest, FailingCreationFreesTheWindow) {
    RegisterVoClass(QStringLiteral("TfmProvaErrata"),
                    [](QWidget *p) -> QWidget * { return new TfmProvaErrata(p); });
    EXPECT_THROW(CreateVoClass(QStringLiteral("TfmProvaErrata")), EVoError);
    UnRegisterVoClass(QStringLiteral("TfmProvaErrata"));
}

class TfmProvaMain : public TfmVoMDIMain {
public:
    int activations = 0;

protected:
    void FirstActivation() override { ++activations; }
};

TEST(VoMDIMainTest, FirstActivationRunsOnceOffscreenAndPanelsAskTheProgram) {
    TfmProvaMain main;
    EXPECT_EQ(main.AddPanel(300), 1);
    EXPECT_EQ(main.AddPanel(500), 2);
    main.DoOnRefreshPanel = [&](int panel) {
        if (panel == 1)
            main.SetPanelText(panel, QStringLiteral("Istituto: "));
    };
    main.SetPanelText(2, QStringLiteral("Velisto: X"));
    main.RefreshPanels();
    EXPECT_EQ(main.PanelText(1), QStringLiteral("Istituto: "));
    EXPECT_EQ(main.PanelText(2), QStringLiteral("Velisto: X"));

    main.show();
    QCoreApplication::processEvents();
    main.hide();
    main.show();
    main.activateWindow();
    QCoreApplication::processEvents();
    EXPECT_EQ(main.activations, 1);
    main.SetHelpFile(QStringLiteral("HelpVOREX_VELISTO.chm"));
    EXPECT_EQ(main.HelpFile(), QStringLiteral("HelpVOREX_VELISTO.chm"));
    EXPECT_EQ(TfmVoMDIMain::Instance(), &main);
}

TEST(VoMDIMainTest, OpensMaximisedAtTheFirstStartThenAsTheUserLeftIt) {
    QFile::remove(TfmVoMDIMain::PlacementFileName());
    const auto start = [](const std::function<void(TfmVoMDIMain &)> &user) {
        TfmVoMDIMain main;
        main.ShowAsLeft();
        QTest::qWait(0);
        user(main);
        main.close();
    };
    start([](TfmVoMDIMain &main) {
        EXPECT_TRUE(main.isMaximized());
        main.showNormal();
        main.setGeometry(120, 90, 900, 600);
        QTest::qWait(0);
    });
    start([](TfmVoMDIMain &main) {
        EXPECT_FALSE(main.isMaximized());
        EXPECT_EQ(main.geometry(), QRect(120, 90, 900, 600));
        main.showMaximized();
        QTest::qWait(0);
    });
    start([](TfmVoMDIMain &main) { EXPECT_TRUE(main.isMaximized()); });
    QFile::remove(TfmVoMDIMain::PlacementFileName());
}

TEST(VoWaitTest, ShowsItsTextWhileTheWorkRunsAndHidesAfterAFailure) {
    try {
        TVoWaitScope wait(QStringLiteral("Aggiornamento in corso"), QStringLiteral("Attendere..."));
        EXPECT_TRUE(fmVoWait()->isVisible());
        EXPECT_EQ(fmVoWait()->Text(), QStringLiteral("Aggiornamento in corso"));
        fmVoWait()->SetProgressMax(2);
        fmVoWait()->StepProgressBar();
        fmVoWait()->StepProgressBar();
        fmVoWait()->StepProgressBar();
        EXPECT_EQ(fmVoWait()->ProgressPosition(), 2);
        throw EVoError(QStringLiteral("interrotto"));
    } catch (const EVoError &) {
    }
    EXPECT_FALSE(fmVoWait()->isVisible());
}

// A wait that cannot be abandoned asks the window system not to give it the activation, which then
// stays with the window the work runs for (a real desktop gave a wait window hidden a moment later the
// activation, and every key after it went nowhere); one with Annulla takes the keys while it lasts.
// The offscreen platform activates every window it shows, so the request itself is what is checked.
TEST(VoWaitTest, OnlyAWaitThatCanBeAbandonedAsksForTheKeys) {
    for (const bool cancellable : {false, true, false}) {
        SCOPED_TRACE(cancellable);
        TVoProgressScope wait(QStringLiteral("Aggiornamento in corso"), 2, cancellable);
        ASSERT_TRUE(fmVoWait()->windowHandle());
        EXPECT_EQ(!(fmVoWait()->windowHandle()->flags() & Qt::WindowDoesNotAcceptFocus), cancellable);
    }
}

} // namespace

TEST(VoClassRegistryTest, CreatesByNameIgnoringCase) {
    RegisterVoClass(QStringLiteral("TfmProva"), [](QWidget *parent) -> QWidget * {
        auto *l = new QLabel(parent);
        l->setObjectName(QStringLiteral("prova"));
        return l;
    });
    std::unique_ptr<QWidget> w(CreateVoClass(QStringLiteral("tfmprova")));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->objectName(), QStringLiteral("prova"));
    EXPECT_TRUE(IsVoClassRegistered(QStringLiteral("TFMPROVA")));
    UnRegisterVoClass(QStringLiteral("TfmProva"));
    EXPECT_THROW(CreateVoClass(QStringLiteral("TfmProva")), EVoError);
}

TEST(VoClassRegistryTest, AReplacementGivesTheNameBackAsItWas) {
    const auto named = [](const char *name) {
        return [name](QWidget *parent) -> QWidget * {
            auto *l = new QLabel(parent);
            l->setObjectName(QString::fromLatin1(name));
            return l;
        };
    };
    const auto created = [](const QString &className) {
        std::unique_ptr<QWidget> w(CreateVoClass(className));
        return w->objectName();
    };
    RegisterVoClass(QStringLiteral("TfmProvaVera"), named("vera"));
    {
        const TVoClassReplacement replaced(QStringLiteral("tfmprovavera"), named("finta"));
        const TVoClassReplacement added(QStringLiteral("TfmProvaNuova"), named("nuova"));
        EXPECT_EQ(created(QStringLiteral("TfmProvaVera")), QStringLiteral("finta"));
        EXPECT_EQ(created(QStringLiteral("TfmProvaNuova")), QStringLiteral("nuova"));
    }
    EXPECT_EQ(created(QStringLiteral("TfmProvaVera")), QStringLiteral("vera"));
    EXPECT_TRUE(RegisteredVoClasses().contains(QStringLiteral("TfmProvaVera")));
    EXPECT_FALSE(IsVoClassRegistered(QStringLiteral("TfmProvaNuova")));
    UnRegisterVoClass(QStringLiteral("TfmProvaVera"));
}

#include "VoShellTest.h"

#include "AbcMAtt.h"
#include "AbcUContext.h"
#include "VoAddOns.h"
#include "VoAttivazioni.h"
#include "VoClassRegistry.h"
#include "VoIdComboBox.h"
#include "VoMDIMain.h"
#include "VoOutlookBar.h"
#include "VoParams.h"

#include <QDesktopServices>
#include <QMdiArea>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

void VoShowAndActivate(TfmVoMDIMain *main) {
    main->show();
    EXPECT_TRUE(
        QTest::qWaitFor([main] { return main->mxOLBar()->PageCount() > 0 || !main->isVisible(); }, 30000))
        << "the first activation never finished";
}

void VoCloseAllChildren(TfmVoMDIMain *main) {
    main->MdiArea()->closeAllSubWindows();
    EXPECT_TRUE(QTest::qWaitFor([main] { return main->MDIChildCount() == 0; }));
}

bool VoChooseParameters(TVoCustomAtt *paramItem, TVoParamManager *manager, int schoolId, int registerYearId) {
    manager->OnDialogShown = [schoolId, registerYearId](TfmVoParamDlg *dlg) {
        TVoIdComboBox *school = dlg->SchoolCombo();
        school->SelectId(schoolId);
        emit school->activated(school->currentIndex());
        auto *years = qobject_cast<TVoIdComboBox *>(dlg->Control(ParRegisterYear));
        if (registerYearId == -1)
            years->ClearSelection();
        else
            years->SelectId(registerYearId);
        dlg->Confirm();
    };
    const bool ran = paramItem->Execute();
    manager->OnDialogShown = nullptr;
    return ran;
}

TVoDocumentViewer::TVoDocumentViewer() {
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open");
}

TVoDocumentViewer::~TVoDocumentViewer() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

void TVoDocumentViewer::Open(const QUrl &url) {
    opened << url.toLocalFile();
}

QStringList VoUnregisteredMenuWindows(const TdmVoAttivazioni *menu) {
    const TdmModAnaAtt persons;
    const TdmznsActivations signatures;
    QStringList named, captions;
    TdmAbcAtt::AddResponsabiliFrames(3, named, captions);
    const QList<const TdmVoAttivazioni *> modules{menu, persons.Menu, signatures.Menu};
    for (const TdmVoAttivazioni *module : modules)
        for (const TVoCustomAtt *item : module->Items())
            if (const auto *form = qobject_cast<const TVoAttForm *>(item);
                form && !form->ClasseForm.isEmpty())
                named << form->ClasseForm;
    QStringList missing;
    for (const QString &name : named)
        if (!IsVoClassRegistered(name) && !missing.contains(name))
            missing << name;
    missing.sort();
    return missing;
}

#include "kvaRBuoniScarico.h"

#include "VoClassRegistry.h"
#include "VoDBFrames.h"
#include "VoMessages.h"
#include "kvaUBuoni.h"

#include <QDialog>
#include <QMenu>
#include <QToolButton>
#include <memory>

namespace {
const char *const kWizardClass = "TfmKvaWGeneraBuonoSca";
}

TfrkvaBuoniScarico::TfrkvaBuoniScarico(QWidget *parent)
    : TfrkvaBuoniCarico(1, parent), tbAutoScarico(new QToolButton(this)), pmSelBuoAuto(new QMenu(this)),
      miTutti(pmSelBuoAuto->addAction(
          QStringLiteral("Generazione automatica dal carico (Visualizza tutti i buoni)"))),
      miDaScaricare(pmSelBuoAuto->addAction(
          QStringLiteral("Generazione automatica dal carico (Visualizza buoni ancora da scaricare)"))) {
    tbAutoScarico->setText(QStringLiteral("Generazione automatica dal carico"));
    tbAutoScarico->setMenu(pmSelBuoAuto);
    tbAutoScarico->setPopupMode(QToolButton::InstantPopup);
    // Like the bar's other tools it is reached by its key, not by Tab: as a Tab stop it stood unseen
    // between the header's last field and the rows, where Ins then began a voucher instead of a row.
    tbAutoScarico->setFocusPolicy(Qt::NoFocus);
    auto *openMenu = new QAction(tbAutoScarico->text(), this);
    VoAddTool(nullptr, openMenu, QKeySequence(Qt::Key_F6), this);
    tbAutoScarico->setToolTip(openMenu->toolTip());
    connect(openMenu, &QAction::triggered, tbAutoScarico, &QToolButton::showMenu);
    AddControlWidget(tbAutoScarico);
    // The generation wizard is a window of its own: without it the items can do nothing.
    const bool available = IsVoClassRegistered(QString::fromLatin1(kWizardClass));
    for (auto [action, onlyToUnload] : {std::pair{miTutti, 0}, std::pair{miDaScaricare, 1}}) {
        action->setEnabled(available);
        connect(action, &QAction::triggered, this,
                [this, onlyToUnload] { VoGuarded([&] { Generate(onlyToUnload); }); });
    }
}

void TfrkvaBuoniScarico::Generate(int onlyToUnload) {
    kvaRefuseClosedYear();
    std::unique_ptr<QWidget> wizard(CreateVoClass(QString::fromLatin1(kWizardClass)));
    wizard->setProperty("SoloDaScaricare", onlyToUnload);
    if (auto *dialog = qobject_cast<QDialog *>(wizard.get()))
        dialog->exec();
    if (AfterGeneration)
        AfterGeneration(wizard->property("BuonoGenerato").toInt());
}

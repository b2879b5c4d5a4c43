#include "kvaRBuoniScarico.h"

#include "VoClassRegistry.h"
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
    tbAutoScarico->setToolTip(tbAutoScarico->text());
    tbAutoScarico->setMenu(pmSelBuoAuto);
    tbAutoScarico->setPopupMode(QToolButton::InstantPopup);
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

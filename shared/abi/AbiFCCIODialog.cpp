#include "AbiFCCIODialog.h"

#include "VoDBGrid.h"
#include "VoDataSource.h"
#include "VoQueryCollection.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfmCCIODialog::TfmCCIODialog(TVoQueryCollection *persons, QWidget *parent)
    : TfmVoOkCancDlg(parent), laTesto(new QLabel(pnClient)), grPersone(new TVoDBGrid(pnClient)),
      m_source(new TVoDataSource(this)) {
    setObjectName(QStringLiteral("fmCCIODialog"));
    setWindowTitle(QStringLiteral("Codice di controllo Beneficiari"));
    laTesto->setText(
        QStringLiteral("  Nell'archivio esiste gia' un soggetto con gli stessi dati.\r\n  Si tratta "
                       "dello stesso soggetto?"));
    buOk->setText(QStringLiteral("SI"));
    buCancel->setText(QStringLiteral("No"));
    m_source->SetDataSet(persons);
    grPersone->setObjectName(QStringLiteral("grPersone"));
    grPersone->AddColumn(QStringLiteral("SANACOGNOME"), QStringLiteral("Cognome"), 150);
    grPersone->AddColumn(QStringLiteral("SANANOME"), QStringLiteral("Nome"), 130);
    grPersone->AddColumn(QStringLiteral("DANANASCITA"), QStringLiteral("Data Nascita"), 90);
    grPersone->AddColumn(QStringLiteral("SANACODFISCALE"), QStringLiteral("Cod. fiscale"), 140);
    grPersone->AddColumn(QStringLiteral("SCOMDESC"), QStringLiteral("Comune"), 150);
    grPersone->AddColumn(QStringLiteral("SPROSIGLA"), QStringLiteral("Prov."), 45);
    grPersone->AddColumn(QStringLiteral("SSTALDESC"), QStringLiteral("Stato"), 110);
    grPersone->SetDataSource(m_source);
    grPersone->OnRowActivated.Add([this](TVoDBGrid *) { buOkClick(); });
    auto *layout = new QVBoxLayout(pnClient);
    layout->addWidget(laTesto);
    layout->addWidget(grPersone, 1);
    resize(880, 300);
}

void TfmCCIODialog::buOkClick() {
    done(mrYes);
}

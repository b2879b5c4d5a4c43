#include "AbeRResponsabili.h"

#include "AbeMSettCons.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoRegistry.h"
#include "VoSearchDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>

namespace {

const char *const kPersonListSQL =
    " SELECT TANA_ANAGRAFICHE.IANAID, TANACAG.IANACAGID, TANACAG.SANACAGCODE, TANA_ANAGRAFICHE.SANACOGNOME, "
    "TANA_ANAGRAFICHE.SANANOME FROM TANA_ANAGRAFICHE INNER JOIN TANACAG ON (TANA_ANAGRAFICHE.IANAID = "
    "TANACAG.IANAID AND TANACAG.DDELETE IS NULL) WHERE ##WHERE## AND (TANACAG.ICAGID = :ICAGID) AND "
    "TANA_ANAGRAFICHE.DDELETE IS NULL";
const char *const kPersonSearchSQL =
    " SELECT TANA_ANAGRAFICHE.IANAID, TANACAG.IANACAGID, TANACAG.SANACAGCODE, TANA_ANAGRAFICHE.SANACOGNOME, "
    "TANA_ANAGRAFICHE.SANANOME FROM TANA_ANAGRAFICHE INNER JOIN TANACAG ON (TANA_ANAGRAFICHE.IANAID = "
    "TANACAG.IANAID AND TANACAG.DDELETE IS NULL) WHERE (TANACAG.ICAGID = :ICAGID) AND "
    "TANA_ANAGRAFICHE.DDELETE IS NULL ORDER BY ##ORDERBY##";
const char *const kNameSQL =
    " SELECT TANA_ANAGRAFICHE.SANACOGNOME, TANA_ANAGRAFICHE.SANANOME FROM TANA_ANAGRAFICHE WHERE "
    "TANA_ANAGRAFICHE.IANAID = :IANAID AND TANA_ANAGRAFICHE.DDELETE IS NULL";
const char *const kPersonRequired = "Attenzione!\r\nValore obbligatorio per il campo \"Matricola\"";

} // namespace

TfrResponsabili::TfrResponsabili(QWidget *parent)
    : TfrVoDBRWGrid(parent), xelMatricola(new TVoDBLookupEdit(tsDetail)), laNome(new QLabel(tsDetail)),
      xedQualifica(VoAddDetailEdit(this, QStringLiteral("Qualifica"), QStringLiteral("SRSPQUALIFICA"), 120)),
      xddInizio(VoAddDetailControl<TVoDBDateEdit>(this, QStringLiteral("Data inizio Validità"),
                                                  QStringLiteral("DSTART"))),
      xddFine(VoAddDetailControl<TVoDBDateEdit>(this, QStringLiteral("Data fine Validità"),
                                                QStringLiteral("DEND"))),
      xedProtNomina(VoAddDetailEdit(this, QStringLiteral("Numero protocollo nomina"),
                                    QStringLiteral("SRSPPROTNOMINA"), 120)),
      xddNomina(VoAddDetailControl<TVoDBDateEdit>(this, QStringLiteral("Data nomina"),
                                                  QStringLiteral("DRSPDATANOMINA"))) {
    setObjectName(QStringLiteral("frResponsabili"));
    grFrame->AddColumn(QStringLiteral("SANACAGCODE"), QStringLiteral("Matricola"));
    grFrame->AddColumn(QStringLiteral("SANACOGNOME"), QStringLiteral("Cognome"), 200);
    grFrame->AddColumn(QStringLiteral("SANANOME"), QStringLiteral("Nome"), 200);
    grFrame->AddColumn(QStringLiteral("SRSPQUALIFICA"), QStringLiteral("Qualifica"), 300);

    // The staff number first, with the name beside it.
    auto *row = new QWidget(tsDetail);
    auto *beside = new QHBoxLayout(row);
    beside->setContentsMargins(0, 0, 0, 0);
    beside->addWidget(xelMatricola);
    beside->addWidget(laNome, 1);
    auto *caption = new QLabel(QStringLiteral("Matricola Responsabile"), tsDetail);
    caption->setBuddy(xelMatricola);
    VoDetailForm(this)->insertRow(0, caption, row);
    xelMatricola->setMaximumWidth(160);
    // A qualification or a protocol number of a few words, not the width of the window.
    for (QWidget *wide : std::initializer_list<QWidget *>{xedQualifica, xedProtNomina})
        wide->setMaximumWidth(420);
    xelMatricola->Bind(xdsMain, QStringLiteral("IANAID"));
    setTabOrder(xelMatricola, xedQualifica);

    xelMatricola->SetKeyField(QStringLiteral("TANA_ANAGRAFICHE.IANAID"));
    xelMatricola->SetListField(QStringLiteral("SANACAGCODE"));
    xelMatricola->SetSearchField(QStringLiteral("TANACAG.SANACAGCODE"));
    xelMatricola->SetAutoSeek(false);
    xelMatricola->SetListSQL(QString::fromLatin1(kPersonListSQL));
    xelMatricola->ListDataSet()->SetParam(QStringLiteral("ICAGID"), SecResponsabiliCategory);
    xelMatricola->OnSetSearchQuery.Add([](TVoDBLookupEdit *, TVoSearchDialog *Form) {
        Form->SetSQL(QString::fromLatin1(kPersonSearchSQL));
        Form->SetParam(QStringLiteral("ICAGID"), SecResponsabiliCategory);
    });
    xelMatricola->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *Form) {
        Form->ShowColumns(QStringLiteral("Responsabili"), 600,
                          {{2, QStringLiteral("Matricola"), 100},
                           {3, QStringLiteral("Cognome"), 200},
                           {4, QStringLiteral("Nome"), 200}});
    });
    VoRequireValue(xddInizio, QStringLiteral("Data di inizio"));

    xdsMain->OnDataChange.Add([this](TVoDataSource *, TVoField *Field) { xdsMainDataChange(Field); });
    xelMatricola->OnChangeFKValue.Add([this](TVoDBLookupEdit *) { xelMatricolaChangeFKValue(); });
}

void TfrResponsabili::Bind(TVoQueryCollection *dataSet, TVoQueryCollection *aux) {
    m_hooks.Clear();
    m_aux = aux;
    SetDataSet(dataSet);
    xelMatricola->SetConnection(dataSet->Connection());
    // After the data source's own hooks, which write the controls.
    m_hooks.Add(dataSet, dataSet->AfterInsert, [this](TVoQueryCollection *) { DataSetAfterInsert(); });
    m_hooks.Add(dataSet, dataSet->BeforePost, [this](TVoQueryCollection *) { DataSetBeforePost(); });
}

void TfrResponsabili::ShowName(const QVariant &person) {
    laNome->clear();
    if (!m_aux || person.isNull())
        return;
    m_aux->Close();
    m_aux->SetCommandText(QString::fromLatin1(kNameSQL));
    m_aux->SetParam(QStringLiteral("IANAID"), person);
    m_aux->Open();
    if (!m_aux->IsEmpty())
        laNome->setText(m_aux->FieldByName(QStringLiteral("SANACOGNOME"))->AsString() + QLatin1Char(' ') +
                        m_aux->FieldByName(QStringLiteral("SANANOME"))->AsString());
    m_aux->Close();
}

void TfrResponsabili::xdsMainDataChange(TVoField *Field) {
    const TVoQueryCollection *c = DataSet();
    if (Field || !c || !c->Active() || xdsMain->Editing())
        return;
    ShowName(c->IsEmpty() ? QVariant() : c->FieldByName(QStringLiteral("IANAID"))->Value());
}

void TfrResponsabili::xelMatricolaChangeFKValue() {
    ShowName(xelMatricola->text().trimmed().isEmpty() ? QVariant() : xelMatricola->KeyValue());
}

void TfrResponsabili::DataSetAfterInsert() {
    laNome->clear();
    DataSet()->FieldByName(QStringLiteral("DSTART"))->SetAsDate(TodayDays());
}

void TfrResponsabili::DataSetBeforePost() {
    if (!xelMatricola->text().trimmed().isEmpty())
        return;
    VoMessageBox(QString::fromLatin1(kPersonRequired));
    ShowDetail();
    xelMatricola->setFocus(Qt::OtherFocusReason);
    throw EVoAbort();
}

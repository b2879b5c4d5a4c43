#pragma once
// The responsibles of the current delivery sector: persons of the suite's registry with the
// personnel category of the responsibles, chosen by their staff number ("Matricola") with their name
// shown beside it, their qualification, validity and appointment. A new one starts today.
#include "VoDBFrames.h"

class QLabel;
class TVoDBDateEdit;
class TVoDBEdit;
class TVoDBLookupEdit;

class TfrResponsabili : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrResponsabili(QWidget *parent = nullptr);

    TVoDBLookupEdit *const xelMatricola;
    QLabel *const laNome;
    TVoDBEdit *const xedQualifica;
    TVoDBDateEdit *const xddInizio;
    TVoDBDateEdit *const xddFine;
    TVoDBEdit *const xedProtNomina;
    TVoDBDateEdit *const xddNomina;

    // Binds the frame to the responsibles; the hooks go with the frame. aux reads the persons' names.
    void Bind(TVoQueryCollection *dataSet, TVoQueryCollection *aux);

private:
    void xdsMainDataChange(TVoField *Field);
    void xelMatricolaChangeFKValue();
    void DataSetAfterInsert();
    void DataSetBeforePost();
    // Surname and name of a person beside the staff number; nothing for none.
    void ShowName(const QVariant &person);

    TVoQueryCollection *m_aux = nullptr;
    TVoHooks m_hooks;
};

#pragma once
// The delivery sectors' list and detail: code, description, notes, the three amounts, the building
// and the room in it, and the end of validity. A code is required. The room is chosen among the live
// rooms of the building shown; choosing another building empties it. "Trova" finds a sector among all
// the live ones and stands on it; the toggle shows the historicised sectors instead of the current
// ones and back.
#include "VoDBFrames.h"

class QLabel;
class TVoDBDateEdit;
class TVoDBEdit;
class TVoDBLookupEdit;
class TVoDBMoneyEdit;
class TVoSearchDialog;

class TfrSettConsegna : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrSettConsegna(QWidget *parent = nullptr);

    TVoDBEdit *const xedCodice;
    TVoDBEdit *const xedDescrizione;
    TVoDBEdit *const xedNote;
    TVoDBMoneyEdit *const xneDisponibilita;
    TVoDBMoneyEdit *const xneSbilanciamento;
    TVoDBMoneyEdit *const xneStanziamento;
    TVoDBLookupEdit *const xelEdificio;
    TVoDBLookupEdit *const xelStanza;
    TVoDBDateEdit *const xddFine;
    QAction *const xacStorico;
    QAction *const xacTrova;
    // The pictures of the toggle: historicised sectors shown (the filter can be taken off), or not.
    const int imgTogliFiltro;
    const int imgStorico;

    // Whether the historicised sectors are listed.
    bool Storicizzati = false;

    // Binds the frame to the sectors; the hooks go with the frame.
    void Bind(TVoQueryCollection *dataSet);
    // The list of the current sectors, the toggle up.
    void ShowCurrent();
    void xacStoricoExecute();
    void xacTrovaExecute();

private:
    void xdsMainDataChange(TVoField *Field);
    void xelEdificioChangeFKValue();
    void DataSetBeforePost();
    // The room lookup offers the live rooms of a building.
    void SetRoomList(const QVariant &building);
    void ShowToggle();

    TVoHooks m_hooks;
};

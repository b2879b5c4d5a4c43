#pragma once
// "Cambio settore di consegna": gives one good, chosen in the goods list, another delivery sector
// from now on. The server keeps the good's sector history; the done flag tells the list whether a
// change was committed.
#include "VoDialogs.h"

#include <QString>

class QAction;
class QLineEdit;
class TVoIdComboBox;

// The sectors both sector windows offer: every one, by short description.
extern const char *const kvbSectorsEnumSQL;
// The procedure that moves a good to a sector at a date: a provisional good is corrected.
extern const char *const kvbMoveGoodSQL;

class TfmkvbChangeCons : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    explicit TfmkvbChangeCons(QWidget *parent = nullptr);

    QLineEdit *const edNumero;
    QLineEdit *const edDescr;
    QLineEdit *const edCons;
    TVoIdComboBox *const cbSett;
    QAction *const actEsegui;

    void SetIdBene(int goodId) { m_goodId = goodId; }
    void SetNumero(int number) { m_number = number; }
    void SetDescrizione(const QString &description) { m_description = description; }
    void SetStato(int state) { m_state = state; }
    // The good's sector: shown, and selected in the combo.
    void SetSettore(int sectorId);

    // Whether a change was committed.
    bool Done() const { return m_done; }
    // Whether another copy had moved the good meanwhile: nothing was written, and the list is read
    // again before the user is told so.
    bool MovedMeanwhile() const { return m_movedMeanwhile; }
    QString MovedMeanwhileText() const;

    // Gives the good the chosen sector from now on, in a transaction of its own.
    void actEseguiExecute();

protected:
    void FormCreate() override;
    void FormShow() override;
    void buOkClick() override;

private:
    int m_goodId = 0;
    int m_number = 0;
    QString m_description;
    int m_state = 0;
    int m_sectorId = 0;
    bool m_done = false;
    bool m_movedMeanwhile = false;
};

// Runs a sector procedure for one good in a transaction of its own: committed, or rolled back with
// the error passed on. The good must still be in the sector the window showed (0: none): when another
// copy of the program moved it meanwhile, nothing is written and the result is false.
bool kvbRunSectorProcedure(const QString &sql, const QVariantHash &params, int shownSector);

// The sentence that names the goods (by inventory number) another copy moved meanwhile.
QString kvbMovedMeanwhileText(const QStringList &numbers);

#pragma once
// "Sposta beni": moves the goods the user ticks from one delivery sector to another at a chosen
// date. The first page chooses the sectors, the date and whether discharged goods are offered; the
// second lists the start sector's goods. Each good moves in a transaction of its own, so the goods
// moved before a failure stay moved.
#include "VoDialogs.h"

class QAction;
class QCheckBox;
class QDateEdit;
class QMenu;
class QTreeWidget;
class TVoIdComboBox;

class TfmkvbSpostaBeni : public TfmVoWizard {
    Q_OBJECT
public:
    explicit TfmkvbSpostaBeni(QWidget *parent = nullptr);

    QWidget *const tsSettori;
    TVoIdComboBox *const cbSettStart;
    TVoIdComboBox *const cbSettEnd;
    QDateEdit *const rxdeSpost;
    QCheckBox *const ckBeniScar;
    QWidget *const tsBeni;
    QTreeWidget *const lwBeni;
    QMenu *const pmBeni;
    QAction *const SelectAll;
    QAction *const InvertSelect;
    QAction *const UnselectAll;

    void SelectAllExecute();
    void UnselectAllExecute();
    void InvertSelectExecute();

protected:
    void FormCreate() override;
    void buNextClick() override;
    // Moves the ticked goods, first to last, and says how many moved.
    void buOkClick() override;

private:
    // The start sector's goods, unticked; without a start sector the list stays as it is.
    void FillGoods();
    void SetAllChecks(bool (*check)(bool checked));
};

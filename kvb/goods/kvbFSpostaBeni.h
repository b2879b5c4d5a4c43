#pragma once
// "Sposta beni": moves the goods the user ticks from one delivery sector to another at a chosen
// date. The first page chooses the sectors, the date and whether discharged goods are offered; the
// second lists the start sector's goods. Each good moves in a transaction of its own, so the goods
// moved before a failure stay moved. A good another copy moved out of the start sector meanwhile is
// not moved: the user is told which, and the list is read again.
//
// A sector may hold tens of thousands of goods: the list reads them by their keys a packet at a time
// as the view scrolls, and the ticks are kept by key, "every good but these" or "only these", so that
// ticking all of them reads nothing and moves also the goods the view has not read yet.
#include "VoDialogs.h"

#include <QSet>

class QAction;
class QCheckBox;
class TVoDBDateEdit;
class QMenu;
class TVoDBGrid;
class TVoIdComboBox;
class TVoQueryCollection;

class TfmkvbSpostaBeni : public TfmVoWizard {
    Q_OBJECT
public:
    explicit TfmkvbSpostaBeni(QWidget *parent = nullptr);

    QWidget *const tsSettori;
    TVoIdComboBox *const cbSettStart;
    TVoIdComboBox *const cbSettEnd;
    TVoDBDateEdit *const rxdeSpost;
    QCheckBox *const ckBeniScar;
    QWidget *const tsBeni;
    TVoDBGrid *const lwBeni;
    TVoQueryCollection *const xqcBeni;
    QMenu *const pmBeni;
    QAction *const SelectAll;
    QAction *const InvertSelect;
    QAction *const UnselectAll;

    void SelectAllExecute();
    void UnselectAllExecute();
    void InvertSelectExecute();
    // The text of a listed row's column (0 number, 1 loading date, 2 description, 3 value, 4 state).
    QString RowText(int row, int column) const;
    bool IsTicked(int row) const;
    void SetTicked(int row, bool ticked);

protected:
    void FormCreate() override;
    void buNextClick() override;
    // Moves the ticked goods, first to last, and says how many moved.
    void buOkClick() override;

private:
    // The start sector's goods, unticked; without a start sector the list stays as it is.
    void FillGoods();
    int RowKey(int row) const;
    // The goods ticked (key and inventory number), in the list's order; reads the rest of the list
    // when every good is ticked.
    QList<std::pair<int, QString>> TickedGoods();

    // A good is ticked when it is among the exceptions unless every good is.
    bool m_allTicked = false;
    QSet<int> m_exceptions;
    // The sector whose goods the list shows.
    int m_listedSector = 0;
};

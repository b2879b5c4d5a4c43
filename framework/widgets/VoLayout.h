#pragma once
// The one layout rule of every window of the programs, applied by the application when a window
// first opens (after its FormShow has read its rows), so that no window has to size itself:
//
// - grid columns grow to their title and to the widest value of the rows of their first screen
//   (never shrink: a width given is the least one), again whenever the rows are read anew;
// - text fields are bounded (a description is wide, not as wide as the window), drop-down lists
//   show at least 8 rows and are as wide as their items;
// - a form too tall for the screen is laid out in two columns;
// - the window opens at the size that shows its content and its grids' columns, within the screen
//   (an MDI child within the main window's work area), and widens when a grid's columns grow later
//   (the rows of a wizard's next page); a maximised MDI child is left to its area.
//
// Qt's own dialogs (message boxes, file and print dialogs) size themselves and are left alone.
class QAbstractItemView;
class QComboBox;
class QHeaderView;
class QModelIndex;
class QString;
class QTableView;
class QTreeView;
class QWidget;

// The width a column title needs to be read whole, sort mark included.
int VoTitleWidth(const QHeaderView *header, int section);
// The width a cell needs to show its value whole as the grid draws it (its text, when asked, is the
// value as shown); 0 for an empty cell.
int VoCellWidth(const QAbstractItemView *view, const QModelIndex &index, QString *text = nullptr);

// The width that shows the longest item of a drop-down list whole.
int VoComboContentWidth(const QComboBox *combo);
// Grows the columns of a grid to their titles and their values in the first screen of rows.
void VoFitColumns(QTableView *view);
void VoFitColumns(QTreeView *view);
// Applies the rule to a window that has just opened; runs once per window.
void VoFitWindow(QWidget *window);
// Whether a widget that is being shown is a window the rule applies to.
bool VoIsFittedWindow(const QWidget *widget);

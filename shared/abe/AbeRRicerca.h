#pragma once
// The incremental search box that a list window places on its frame's control bar: it narrows the
// rows of the window's collection, as the user types, to those whose value in one column contains the
// typed text, ignoring case and taking every character as itself (a quote too); a list read by its
// keys is narrowed by the database. The column is chosen
// from the box's drop-down menu of the grid's text columns (the sort-index items with the text flag),
// or by clicking such a column's title while the box is empty. The rows are narrowed 500 ms after the
// last key; emptying the box, its cancel button or another column show every row again at once.
//
// The owner sets DataSet and Grid, fills the grid's sort index and calls SetupSearchBox once. Without
// a text column the box stays disabled. Both programs place this one box: each registers it under its
// own class name as well.
#include <QFrame>
#include <QIcon>
#include <QStringList>

class QAction;
class QLineEdit;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;
class TVoDBGrid;
class TVoQueryCollection;

class TfrAbeRicerca : public QFrame {
    Q_OBJECT
public:
    explicit TfrAbeRicerca(QWidget *parent = nullptr);
    ~TfrAbeRicerca() override;

    // Set by the owner before SetupSearchBox; not owned.
    TVoQueryCollection *DataSet = nullptr;
    TVoDBGrid *Grid = nullptr;

    void SetupSearchBox();

    QToolBar *const tbSearch;
    QToolButton *const obSearch;
    QWidget *const paRiececa;
    QLineEdit *const edRicerca;
    QMenu *const poSearch;
    QAction *const acSearch;
    QTimer *const tmFilt;

    // The field of the column searched.
    QString SearchField() const { return m_searchField; }
    // The text the empty box shows, and whether it shows it now.
    QString Placeholder() const { return m_placeholder; }
    bool PlaceholderShown() const { return m_placeholderShown; }
    // Whether the action shows the cancel sign (a text is typed).
    bool Cancelling() const { return m_cancelling; }

    // The pause after the last key: narrows the rows to the typed text.
    void tmFiltTimer();
    // The button: cancels a search.
    void acSearchExecute();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void edRicercaChange();
    void edRicercaEnter();
    void edRicercaExit();
    // A column chosen from the menu.
    void ChooseItem(QAction *item);
    void GridTitleClick(int column);
    // The box at rest on the item's column: placeholder, hints, no filter, the grid in focus.
    void SearchOn(QAction *item);
    bool HasTypedText() const;
    void ShowPlaceholder();
    void SetHints(const QString &hint);
    void SetActionImage(bool cancel);
    void SetTextColour(Qt::GlobalColor colour);
    void FilterOff();
    void ApplyFilter(const QString &text);

    QStringList m_fields;
    QString m_searchField;
    QString m_placeholder = QStringLiteral("<Ricerca ");
    QString m_hint = QStringLiteral("Ricerca per ");
    bool m_placeholderShown = false;
    bool m_cancelling = false;
    QIcon m_searchIcon;
    QIcon m_cancelIcon;
};

class TfrKvaRicerca : public TfrAbeRicerca {
    Q_OBJECT
public:
    explicit TfrKvaRicerca(QWidget *parent = nullptr);
};

class TfrKvbRicerca : public TfrAbeRicerca {
    Q_OBJECT
public:
    explicit TfrKvbRicerca(QWidget *parent = nullptr);
};

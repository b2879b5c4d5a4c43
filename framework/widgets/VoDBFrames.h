#pragma once
// The list frames every registry window is made of.
//
// TfrVoDBROGrid: a control bar with the navigator (first, prior, next, last, refresh) over a grid of
// its data source xdsMain. TfrVoDBRWGrid adds the page control pcMain with the list page tsGrid and
// the detail page tsDetail, where the window puts its data-aware controls, and the actions insert,
// edit, delete (the collection asks its confirmation), post and cancel.
//
// Actions are enabled by the data source's state (browse: moving, insert, edit, delete, refresh;
// insert or edit: post and cancel) and by the frame's write permission; a locked action stays
// disabled whatever the state, a hidden one is not shown. A handler on an action's OnExecute takes
// the place of the standard behaviour, which it may still run with ExecuteDefault().
//
// Keyboard: Ins inserts, F2 edits, Ctrl+Del deletes, Ctrl+S saves, F5 refreshes, Ctrl+Home, Ctrl+Up,
// Ctrl+Down and Ctrl+End go to the first, prior, next and last row (each action's tool tip names its
// key). In the grid, Enter or a double click opens the detail. In the detail page,
// Enter moves to the next control in tab order and, on the last one, posts (a memo keeps Enter for
// its new lines and takes Ctrl+Enter instead); Escape cancels the insert or edit, asking first
// whether to save when the user typed into it, or goes back to the list when nothing is being
// edited; while a list that drops down over the page shows (AddDropDown), Escape closes that list and
// does nothing else. Insert and edit bring the detail page forward
// and put the focus on its first control that takes input. While browsing, the detail page accepts
// input only when the data source's AutoEdit is on and the frame may write.
//
// TfrVoDBRW: a frame of one record, its detail page alone (no list tab, no navigation); a second
// data source xdsSecond shows a row of another collection beside it, read-only.
//
// Pictures: the frame's image list holds those of its standard actions, in the order of the control
// bar; a frame appends its own and gives them to its actions and to its grid's cells by index.
#include "VoDBGrid.h"
#include "VoDataSource.h"
#include "VoImages.h"

#include <QAction>
#include <QFrame>
#include <QPointer>
#include <QStyle>
#include <functional>

class QLabel;
class QTabWidget;
class QToolBar;

// A tool of a bar with its key, as the frames' own actions have theirs: the key works wherever the
// focus stands inside owner (a frame, a window) and the tool tip names it. The action is added to the
// bar; its caption stays as it is.
void VoAddTool(QToolBar *bar, QAction *action, const QKeySequence &key, QWidget *owner);

class TVoDataAction : public QAction {
    Q_OBJECT
public:
    TVoDataAction(const QIcon &icon, const QString &text, std::function<void()> standard, QObject *parent);

    // A handler here replaces the standard behaviour.
    TVoEvent<TVoDataAction *> OnExecute;
    // The framework's own behaviour, whatever the handler.
    void ExecuteDefault();
    // Runs the action as the user would; false when it is disabled or locked.
    bool Execute();

    // A locked action stays disabled; the frame's state rules leave it alone.
    bool Locked() const { return m_locked; }
    void SetLocked(bool locked);
    // The state rules' verdict, applied unless the action is locked.
    void SetStateEnabled(bool enabled);

signals:
    void lockChanged();

protected:
    // A frame inside a frame (a good's minutes in the good's page) answers the same keys: the
    // innermost frame around the focus takes the key, which would otherwise do nothing.
    bool event(QEvent *e) override;

private:
    void Run();
    std::function<void()> m_standard;
    bool m_locked = false;
};

class TfrVoDBROGrid : public QFrame {
    Q_OBJECT
    // First: the actions are made in the members' initialisers below.
    QList<TVoDataAction *> m_actions;
    TVoImageList m_images;
    bool m_readOnly = false;
    QAction *m_infoAction = nullptr;

public:
    explicit TfrVoDBROGrid(QWidget *parent = nullptr);

    TVoDataSource *const xdsMain;
    TVoDBGrid *const grFrame;
    QToolBar *const tbControl;
    TVoDataAction *const xacFirst;
    TVoDataAction *const xacPrior;
    TVoDataAction *const xacNext;
    TVoDataAction *const xacLast;
    TVoDataAction *const xacRefresh;
    QLabel *const laCaption;
    QLabel *const laInfo;

    TVoQueryCollection *DataSet() const { return xdsMain->DataSet(); }
    void SetDataSet(TVoQueryCollection *dataSet) { xdsMain->SetDataSet(dataSet); }
    // A field of the current row; invalid when there is no row or no such field.
    QVariant CurrentValue(const QString &fieldName) const;
    // The control bar's end, where a window places its own tools (a search box).
    void AddControlWidget(QWidget *widget);
    // A title over the control bar, naming what the list holds; not shown while empty.
    QString FrameCaption() const;
    void SetFrameCaption(const QString &caption);
    // A note at the far end of the control bar (the period the list covers); not shown while empty.
    QString InfoText() const;
    void SetInfoText(const QString &text);
    // The frame's pictures (see above).
    TVoImageList &Images() { return m_images; }
    // Shows the picture of an index of the list on an action, which keeps the index.
    void SetActionImage(QAction *action, int index);
    // The index an action's picture was given; -1 when none was.
    static int ActionImageIndex(const QAction *action);
    QList<TVoDataAction *> Actions() const { return m_actions; }

    // The user may only read: no action or control writes.
    bool ReadOnly() const { return m_readOnly; }
    virtual void SetReadOnly(bool readOnly);
    // Read-only unless the connection's user rights hold every bit of the mask.
    void ApplyWriteRights(int mask = 0x3C0);

    // Enables the actions by the data source's state.
    virtual void UpdateActions();

    // Enter or a double click on a grid row.
    TVoEvent<TfrVoDBROGrid *> OnRowActivated;

protected:
    struct TWithPages {};
    TfrVoDBROGrid(QWidget *parent, TWithPages);
    TVoDataAction *AddAction(QStyle::StandardPixmap icon, const QString &text, const QKeySequence &shortcut,
                             std::function<void()> standard);
    virtual void StateChanged();
    virtual void RowActivated();
    // Runs a step of the collection, when there is one.
    template <typename Result> void OnDataSet(Result (TVoQueryCollection::*step)());
    // "Ultimo": a list still to be read to its end is read with its count in the wait window, and
    // "Annulla" stops the reading on the last row read.
    void GoLast();
};

class TfrVoDBRWGrid : public TfrVoDBROGrid {
    Q_OBJECT
public:
    explicit TfrVoDBRWGrid(QWidget *parent = nullptr);

    QTabWidget *const pcMain;
    QWidget *const tsGrid;
    QWidget *const tsDetail;
    TVoDataAction *const xacInsert;
    TVoDataAction *const xacEdit;
    TVoDataAction *const xacDelete;
    TVoDataAction *const xacPost;
    TVoDataAction *const xacCancel;

    void ShowList();
    void ShowDetail();
    bool DetailShown() const;
    // Puts the focus on the first control of the detail page that takes input.
    void FocusFirstControl();
    // A list of the detail page that opens over its controls (the matches of what is typed): an Escape
    // that no control takes, while the list shows, only hides it.
    void AddDropDown(QWidget *list);

    void SetReadOnly(bool readOnly) override;
    void UpdateActions() override;

    // The page about to be shown (0 list, 1 detail); a handler that fails keeps the page in front.
    TVoEvent<TfrVoDBRWGrid *, int> OnPageChanging;
    // The detail page was brought forward.
    TVoEvent<TfrVoDBRWGrid *> OnDetailShow;

protected:
    void StateChanged() override;
    void RowActivated() override;

private:
    friend class TVoDetailPage;
    bool PageChanging(int page);
    void DetailEnter();
    void DetailEscape();
    void UpdateDetailEnabled();
    QList<QWidget *> DetailFocusChain() const;

    QList<QPointer<QWidget>> m_dropDowns;
};

class TfrVoDBRW : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrVoDBRW(QWidget *parent = nullptr);

    // Read-only: the controls bound to it show the row and never start an edit.
    TVoDataSource *const xdsSecond;
    void SetSecondDataSet(TVoQueryCollection *dataSet) { xdsSecond->SetDataSet(dataSet); }
};

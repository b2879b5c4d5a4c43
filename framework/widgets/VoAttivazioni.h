#pragma once
// The menu as data: a menu module holds pages and items; Execute builds them into the main window's
// outlook bar. An item opens a window by its registered class name, starts a program or opens a
// document, runs the report tree, or runs an event. A before-execute guard may refuse an item by
// clearing Allow; the after-execute and form-initialised events adjust what was opened.
//
// Executing an item from code runs its guards as a click does, also when the item is disabled; a
// click on a disabled item does nothing. Exceptions of a click end at the click: the user is shown
// their message.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "VoOutlookBar.h"

class TVoApgPage;
class TdmVoAttivazioni;
class TfmVoMDIMain;

class TVoCustomAtt : public QObject {
    Q_OBJECT
public:
    // The owner is normally the menu module (which gives the item its main window).
    explicit TVoCustomAtt(QObject *owner = nullptr);
    ~TVoCustomAtt() override;

    QString Caption;
    // The tooltip; the caption when empty.
    QString Hint;
    // Index in the main window's menu images (-1: none).
    int ImageIndex = -1;
    // Help topic (-1: none); kept, no help is shown.
    int HelpContext = -1;
    bool Visible = true;
    bool Enabled = true;
    // Position in its page when the page is sorted.
    int Order = 0;
    int ShortCut = 0;

    // The page showing the item (nullptr: the item is run from code only). A page may belong to
    // another module than the item.
    TVoApgPage *Page() const { return m_page; }
    void SetPage(TVoApgPage *page);

    // Before the item runs; Allow is true on entry and false refuses the item.
    std::function<void(TVoCustomAtt *Sender, bool &Allow)> BeforeExecute;
    // After the item has run (not when it was refused or could not run).
    std::function<void(TVoCustomAtt *Sender)> AfterExecute;
    // A window item has created its window, before showing it.
    std::function<void(TVoCustomAtt *Sender, QWidget *Form)> OnInizializedForm;

    // Runs the item with its guards, whether or not it is enabled; returns whether it ran. Exceptions
    // reach the caller.
    bool Execute();

    TdmVoAttivazioni *Module() const;
    // The main window that hosts what the item opens.
    TfmVoMDIMain *MainWindow() const;

protected:
    // What the item does; false when it could not (the user has been told why).
    virtual bool DoExecute() = 0;

private:
    QPointer<TVoApgPage> m_page;
};

// Opens the window class named in ClasseForm (any case). One window per item unless MultiInstance:
// running the item again brings the open window forward. Modal items show their window modally and
// free it when it closes; the others open it as an MDI child of the main window.
class TVoAttForm : public TVoCustomAtt {
    Q_OBJECT
public:
    using TVoCustomAtt::TVoCustomAtt;

    QString ClasseForm;
    bool Modal = false;
    bool MultiInstance = false;

    // The window the item opened last, while it is open.
    QWidget *Form() const { return m_form; }
    bool HasOpenForm() const { return !m_form.isNull(); }

protected:
    bool DoExecute() override;

private:
    QPointer<QWidget> m_form;
};

// Starts a program with its parameters, without waiting for it, or opens a document with the
// desktop's program for its kind. The parameters reach the program one by one, never through a
// shell.
class TVoAttShell : public TVoCustomAtt {
    Q_OBJECT
public:
    using TVoCustomAtt::TVoCustomAtt;

    // Folder of the file, and the program's working folder.
    QString Directory;
    QString FileName;
    QStringList Parameters;

    // Sets the parameters from a command-line text: blanks separate them, double quotes enclose a
    // parameter holding blanks (the quotes are not part of it).
    void SetParameterText(const QString &text);
    // Directory and file name together (the file name alone when it has a folder or there is none).
    QString FullPath() const;

protected:
    bool DoExecute() override;
};

// The report tree of a report item, made by the report library for every report item.
class TVoCustomRptTree : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Shows the reports of the item's application code.
    virtual void Execute() = 0;
};

// Runs the report tree of an application code. The item owns its tree from its creation; without
// the report library linked it has none and tells the user that the reports are not available.
class TVoAttReport : public TVoCustomAtt {
    Q_OBJECT
public:
    explicit TVoAttReport(QObject *owner = nullptr);

    QString CodAppl;

    TVoCustomRptTree *ReportTree() const { return m_tree; }
    // What makes the trees; the report library installs it when the program starts.
    using TTreeFactory = std::function<TVoCustomRptTree *(TVoAttReport *item)>;
    static void SetTreeFactory(TTreeFactory factory);

protected:
    bool DoExecute() override;

private:
    TVoCustomRptTree *m_tree = nullptr;
};

// Runs its OnExecute event.
class TVoAttComponent : public TVoCustomAtt {
    Q_OBJECT
public:
    using TVoCustomAtt::TVoCustomAtt;

    std::function<void(TVoCustomAtt *Sender)> OnExecute;

protected:
    bool DoExecute() override;
};

class TVoApgPage : public QObject {
    Q_OBJECT
public:
    explicit TVoApgPage(QObject *owner = nullptr) : QObject(owner) {}

    QString Caption;
    // Position of the page in the bar.
    int Order = 0;
    // Items ordered by their Order; otherwise in the order they were put on the page.
    bool Sorted = false;
    bool Visible = true;
    bool Enabled = true;
    int ImageIndex = -1;

    // The items put on the page, in that order.
    QList<TVoCustomAtt *> Items() const;
    // The items as the bar shows them: the visible ones, ordered when the page is sorted.
    QList<TVoCustomAtt *> ShownItems() const;

private:
    friend class TVoCustomAtt;
    QList<QPointer<TVoCustomAtt>> m_items;
};

class TdmVoAttivazioni : public QObject {
    Q_OBJECT
public:
    explicit TdmVoAttivazioni(QObject *parent = nullptr);

    // Pages and items, named as the program names them (FindItem, FindPage).
    TVoApgPage *AddPage(const QString &name, const QString &caption, int order, bool sorted = false);
    TVoAttForm *AddForm(const QString &name, TVoApgPage *page, const QString &caption,
                        const QString &classeForm, int order = 0, int imageIndex = -1);
    TVoAttShell *AddShell(const QString &name, TVoApgPage *page, const QString &caption,
                          const QString &fileName, int order = 0, int imageIndex = -1);
    TVoAttReport *AddReport(const QString &name, TVoApgPage *page, const QString &caption,
                            const QString &codAppl, int order = 0, int imageIndex = -1);
    TVoAttComponent *AddComponent(const QString &name, TVoApgPage *page, const QString &caption,
                                  int order = 0, int imageIndex = -1);

    QList<TVoApgPage *> Pages() const;
    QList<TVoCustomAtt *> Items() const;
    TVoApgPage *FindPage(const QString &name) const;
    TVoCustomAtt *FindItem(const QString &name) const;

    // Help file of the items' help numbers; kept, no help is shown.
    QString HelpFile;

    // The bar the menu is built into; its window is the main window of the items.
    void SetContainer(TVoOutlookBar *bar);
    TVoOutlookBar *Container() const { return m_container; }
    TfmVoMDIMain *MainWindow() const;

    // Builds the visible pages, by their order, with their shown items into the bar (anew).
    void Execute();
    // The pages as built into the bar, by bar index.
    QList<TVoApgPage *> BuiltPages() const;

private:
    void ItemClicked(QObject *data);
    template <class T>
    T *AddItem(const QString &name, TVoApgPage *page, const QString &caption, int order, int imageIndex);

    QPointer<TVoOutlookBar> m_container;
    QMetaObject::Connection m_clickConnection;
    QList<QPointer<TVoApgPage>> m_built;
};

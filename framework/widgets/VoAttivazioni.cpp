#include "VoAttivazioni.h"

#include "VoClassRegistry.h"
#include "VoForms.h"
#include "VoMDIMain.h"
#include "VoMessages.h"
#include "VoOutlookBar.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>

// ---------------------------------------------------------------------------------------------------
// Items

TVoCustomAtt::TVoCustomAtt(QObject *owner) : QObject(owner) {}

TVoCustomAtt::~TVoCustomAtt() {
    SetPage(nullptr);
}

void TVoCustomAtt::SetPage(TVoApgPage *page) {
    if (m_page == page)
        return;
    if (m_page)
        m_page->m_items.removeAll(this);
    m_page = page;
    if (page)
        page->m_items.append(this);
}

bool TVoCustomAtt::Execute() {
    bool allow = true;
    if (BeforeExecute)
        BeforeExecute(this, allow);
    if (!allow)
        return false;
    if (!DoExecute())
        return false;
    if (AfterExecute)
        AfterExecute(this);
    return true;
}

TdmVoAttivazioni *TVoCustomAtt::Module() const {
    return qobject_cast<TdmVoAttivazioni *>(parent());
}

TfmVoMDIMain *TVoCustomAtt::MainWindow() const {
    const TdmVoAttivazioni *module = Module();
    return module ? module->MainWindow() : TfmVoMDIMain::Instance();
}

namespace {

// Ends a local event loop when a window closes: it is freed or only hidden.
class TWindowCloseWatcher : public QObject {
public:
    TWindowCloseWatcher(QWidget *window, QEventLoop *loop) : QObject(window), m_loop(loop) {
        window->installEventFilter(this);
    }
    ~TWindowCloseWatcher() override {
        if (m_loop)
            m_loop->quit();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override {
        if (e->type() == QEvent::Hide && m_loop)
            m_loop->quit();
        return QObject::eventFilter(watched, e);
    }

private:
    // The loop ends before the window when the window is only hidden.
    QPointer<QEventLoop> m_loop;
};

void RunModal(QWidget *window, QWidget *owner) {
    if (auto *dialog = qobject_cast<QDialog *>(window)) {
        if (owner)
            dialog->setParent(owner, dialog->windowFlags() | Qt::Dialog);
        dialog->exec();
        return;
    }
    window->setParent(owner, Qt::Dialog);
    window->setWindowModality(Qt::ApplicationModal);
    window->setAttribute(Qt::WA_DeleteOnClose);
    QEventLoop loop;
    new TWindowCloseWatcher(window, &loop);
    window->show();
    loop.exec(QEventLoop::DialogExec);
}

} // namespace

bool TVoAttForm::DoExecute() {
    if (m_form && !MultiInstance) {
        TfmVoMDIMain::BringToFront(m_form);
        return true;
    }
    if (ClasseForm.isEmpty() || !IsVoClassRegistered(ClasseForm)) {
        VoMessageDlg(VoClassNotAvailableMessage(ClasseForm.isEmpty() ? Caption : ClasseForm), mtWarning,
                     mbOK);
        return false;
    }
    TfmVoMDIMain *main = MainWindow();
    QPointer<QWidget> form = CreateVoClass(ClasseForm, nullptr);
    m_form = form;
    if (Modal) {
        try {
            if (OnInizializedForm)
                OnInizializedForm(this, form);
            RunModal(form, main);
        } catch (...) {
            delete form.data();
            throw;
        }
        delete form.data();
        return true;
    }
    if (main)
        main->AddMDIChild(form, false);
    else
        form->setAttribute(Qt::WA_DeleteOnClose);
    try {
        if (OnInizializedForm)
            OnInizializedForm(this, form);
    } catch (...) {
        delete form.data();
        throw;
    }
    if (main)
        main->ShowMDIChild(form);
    else
        form->show();
    return true;
}

void TVoAttShell::SetParameterText(const QString &text) {
    Parameters = QProcess::splitCommand(text);
}

QString TVoAttShell::FullPath() const {
    if (Directory.isEmpty() || QFileInfo(FileName).isAbsolute())
        return FileName;
    return QDir(Directory).filePath(FileName);
}

bool TVoAttShell::DoExecute() {
    const QString path = FullPath();
    const QFileInfo info(path);
    if (info.isFile() && !info.isExecutable()) {
        if (QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())))
            return true;
        VoMessageDlg(QStringLiteral("Impossibile aprire il file \"%1\".").arg(path), mtWarning, mbOK);
        return false;
    }
    QString program = info.isFile() ? info.absoluteFilePath() : QString();
    // A bare program name not found in the directory is looked for along the search path.
    if (program.isEmpty() && !FileName.contains(QLatin1Char('/')))
        program = QStandardPaths::findExecutable(FileName);
    if (program.isEmpty()) {
        VoMessageDlg(QStringLiteral("Il file \"%1\" non esiste.").arg(path), mtWarning, mbOK);
        return false;
    }
    if (QProcess::startDetached(program, Parameters, Directory))
        return true;
    VoMessageDlg(QStringLiteral("Impossibile avviare il programma \"%1\".").arg(path), mtWarning, mbOK);
    return false;
}

namespace {
TVoAttReport::TTreeFactory &TreeFactory() {
    static TVoAttReport::TTreeFactory factory;
    return factory;
}
} // namespace

TVoAttReport::TVoAttReport(QObject *owner) : TVoCustomAtt(owner) {
    if (TreeFactory())
        m_tree = TreeFactory()(this);
}

void TVoAttReport::SetTreeFactory(TTreeFactory factory) {
    TreeFactory() = std::move(factory);
}

bool TVoAttReport::DoExecute() {
    if (!m_tree) {
        VoMessageDlg(QStringLiteral("Le stampe non sono disponibili in questa versione del programma."),
                     mtInformation, mbOK);
        return false;
    }
    m_tree->Execute();
    return true;
}

bool TVoAttComponent::DoExecute() {
    if (OnExecute)
        OnExecute(this);
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Pages and module

QList<TVoCustomAtt *> TVoApgPage::Items() const {
    QList<TVoCustomAtt *> items;
    for (const auto &item : m_items)
        if (item)
            items << item.data();
    return items;
}

QList<TVoCustomAtt *> TVoApgPage::ShownItems() const {
    QList<TVoCustomAtt *> items;
    for (TVoCustomAtt *item : Items())
        if (item->Visible)
            items << item;
    if (Sorted)
        std::stable_sort(items.begin(), items.end(),
                         [](const TVoCustomAtt *a, const TVoCustomAtt *b) { return a->Order < b->Order; });
    return items;
}

TdmVoAttivazioni::TdmVoAttivazioni(QObject *parent) : QObject(parent) {}

TVoApgPage *TdmVoAttivazioni::AddPage(const QString &name, const QString &caption, int order, bool sorted) {
    auto *page = new TVoApgPage(this);
    page->setObjectName(name);
    page->Caption = caption;
    page->Order = order;
    page->Sorted = sorted;
    return page;
}

template <class T>
T *TdmVoAttivazioni::AddItem(const QString &name, TVoApgPage *page, const QString &caption, int order,
                             int imageIndex) {
    auto *item = new T(this);
    item->setObjectName(name);
    item->Caption = caption;
    item->Order = order;
    item->ImageIndex = imageIndex;
    item->SetPage(page);
    return item;
}

TVoAttForm *TdmVoAttivazioni::AddForm(const QString &name, TVoApgPage *page, const QString &caption,
                                      const QString &classeForm, int order, int imageIndex) {
    auto *item = AddItem<TVoAttForm>(name, page, caption, order, imageIndex);
    item->ClasseForm = classeForm;
    return item;
}

TVoAttShell *TdmVoAttivazioni::AddShell(const QString &name, TVoApgPage *page, const QString &caption,
                                        const QString &fileName, int order, int imageIndex) {
    auto *item = AddItem<TVoAttShell>(name, page, caption, order, imageIndex);
    item->FileName = fileName;
    return item;
}

TVoAttReport *TdmVoAttivazioni::AddReport(const QString &name, TVoApgPage *page, const QString &caption,
                                          const QString &codAppl, int order, int imageIndex) {
    auto *item = AddItem<TVoAttReport>(name, page, caption, order, imageIndex);
    item->CodAppl = codAppl;
    return item;
}

TVoAttComponent *TdmVoAttivazioni::AddComponent(const QString &name, TVoApgPage *page, const QString &caption,
                                                int order, int imageIndex) {
    return AddItem<TVoAttComponent>(name, page, caption, order, imageIndex);
}

QList<TVoApgPage *> TdmVoAttivazioni::Pages() const {
    return findChildren<TVoApgPage *>(Qt::FindDirectChildrenOnly);
}

QList<TVoCustomAtt *> TdmVoAttivazioni::Items() const {
    return findChildren<TVoCustomAtt *>(Qt::FindDirectChildrenOnly);
}

TVoApgPage *TdmVoAttivazioni::FindPage(const QString &name) const {
    for (TVoApgPage *page : Pages())
        if (page->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return page;
    return nullptr;
}

TVoCustomAtt *TdmVoAttivazioni::FindItem(const QString &name) const {
    for (TVoCustomAtt *item : Items())
        if (item->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return item;
    return nullptr;
}

void TdmVoAttivazioni::SetContainer(TVoOutlookBar *bar) {
    if (m_clickConnection)
        disconnect(m_clickConnection);
    m_container = bar;
    m_built.clear();
    if (bar)
        m_clickConnection = connect(bar, &TVoOutlookBar::ItemClicked, this, &TdmVoAttivazioni::ItemClicked);
}

TfmVoMDIMain *TdmVoAttivazioni::MainWindow() const {
    if (m_container)
        if (auto *main = qobject_cast<TfmVoMDIMain *>(m_container->window()))
            return main;
    return TfmVoMDIMain::Instance();
}

QList<TVoApgPage *> TdmVoAttivazioni::BuiltPages() const {
    QList<TVoApgPage *> pages;
    for (const auto &page : m_built)
        pages << page.data();
    return pages;
}

void TdmVoAttivazioni::Execute() {
    m_built.clear();
    if (!m_container)
        return;
    m_container->Clear();
    QList<TVoApgPage *> pages;
    for (TVoApgPage *page : Pages())
        if (page->Visible)
            pages << page;
    std::stable_sort(pages.begin(), pages.end(),
                     [](const TVoApgPage *a, const TVoApgPage *b) { return a->Order < b->Order; });
    TfmVoMDIMain *main = MainWindow();
    const auto icon = [main](int index) { return main ? main->MenuImages().Icon(index) : QIcon(); };
    for (TVoApgPage *page : pages) {
        const int index = m_container->AddPage(page->Caption, icon(page->ImageIndex));
        m_built << page;
        for (TVoCustomAtt *item : page->ShownItems())
            m_container->AddItem(index, item->Caption, icon(item->ImageIndex), item->Hint,
                                 page->Enabled && item->Enabled, item);
    }
}

void TdmVoAttivazioni::ItemClicked(QObject *data) {
    auto *item = qobject_cast<TVoCustomAtt *>(data);
    if (!item || !item->Enabled)
        return;
    VoGuarded([item] { item->Execute(); });
}

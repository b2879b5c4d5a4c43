#include "VoRptTreeView.h"

#include "VoClassRegistry.h"
#include "VoMDIMain.h"
#include "VoMessages.h"
#include "VoMultiSelect.h"
#include "VoRptEngine.h"
#include "VoRptLayout.h"
#include "VoRptPages.h"
#include "VoRptStore.h"
#include "VoWait.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>

namespace {

TVoRptTreeView::TFileChooser &FileChooser() {
    static TVoRptTreeView::TFileChooser chooser;
    return chooser;
}

// Puts a window among the main window's children, or on its own without one.
void ShowWindow(QWidget *window) {
    if (TfmVoMDIMain *main = TfmVoMDIMain::Instance()) {
        main->AddMDIChild(window, false);
        main->ShowMDIChild(window);
    } else {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
}

QString PdfName(const QString &title) {
    QString name = title.isEmpty() ? QStringLiteral("stampa") : title;
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
    // The file dialog opens where the name points; a folder that does not exist yet would send it
    // to the program's working folder.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

bool SendToPrinter(const TVoRptDocument &document, QWidget *parent) {
    QPrinter printer(QPrinter::HighResolution);
    document.SetUpPrinter(&printer);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Stampa"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    document.Print(&printer);
    return true;
}

bool WriteChosenPdf(const TVoRptDocument &document, const QString &given) {
    const QString path = given.isEmpty() ? TVoRptTreeView::ChooseFile(PdfName(document.title)) : given;
    if (path.isEmpty())
        return false;
    QString error;
    if (!document.WritePdf(path, &error)) {
        VoMessageDlg(error, mtError, mbOK);
        return false;
    }
    // The user is told where the file went: the name the dialog proposed may have been kept unread.
    const QFileInfo written(path);
    VoMessageDlg(QStringLiteral("Il PDF è stato salvato nella cartella \"%1\" con il nome \"%2\".")
                     .arg(QDir::toNativeSeparators(written.absolutePath()), written.fileName()),
                 mtInformation, mbOK);
    return true;
}

} // namespace

// --- TVoRptTreeView ------------------------------------------------------------------------------------

TVoRptTreeView::TVoRptTreeView(TVoAttReport *item)
    : TVoCustomRptTree(item), m_item(item), m_report(new TVoReport(this)),
      m_designer(new TVoRptDesigner(this)) {}

TVoRptTreeView::~TVoRptTreeView() {
    delete m_window.data();
}

TVoRptTreeView *TVoRptTreeView::Of(TVoAttReport *item) {
    return item ? qobject_cast<TVoRptTreeView *>(item->ReportTree()) : nullptr;
}

QString TVoRptTreeView::CodAppl() const {
    return m_item->CodAppl;
}

int TVoRptTreeView::SeedLayouts() {
    return VoRptSeedLayouts(CodAppl(), m_standard);
}

bool TVoRptTreeView::ReadLayout(int id, TVoRptLayout *layout) {
    if (m_report->Running())
        return false;
    m_rptId = id;
    return VoGuarded([&] { *layout = TVoRptLayout::Parse(VoRptLayoutText(CodAppl(), id), id); });
}

std::unique_ptr<TVoRptDocument> TVoRptTreeView::Prepare(int id) {
    TVoRptLayout layout;
    return ReadLayout(id, &layout) ? m_report->Run(layout) : nullptr;
}

bool TVoRptTreeView::Preview(int id) {
    TVoRptLayout layout;
    return ReadLayout(id, &layout) && VoRptShowPreview(*m_report, layout);
}

bool TVoRptTreeView::Print(int id) {
    const std::unique_ptr<TVoRptDocument> document = Prepare(id);
    return document && SendToPrinter(*document, m_window);
}

bool TVoRptTreeView::ExportPdf(int id, const QString &path) {
    const std::unique_ptr<TVoRptDocument> document = Prepare(id);
    return document && WriteChosenPdf(*document, path);
}

void TVoRptTreeView::Execute() {
    if (m_window) {
        TfmVoMDIMain::BringToFront(m_window);
        m_window->Reload();
        return;
    }
    m_window = VoNewForm<TfmVoRptTree>(this);
    ShowWindow(m_window);
}

void TVoRptTreeView::SetFileChooser(TFileChooser chooser) {
    FileChooser() = std::move(chooser);
}

QString TVoRptTreeView::ChooseFile(const QString &suggested) {
    if (FileChooser())
        return FileChooser()(suggested);
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), QStringLiteral("Esporta PDF"),
                                        suggested, QStringLiteral("PDF (*.pdf)"));
}

// --- TfmVoRptTree --------------------------------------------------------------------------------------

TfmVoRptTree::TfmVoRptTree(TVoRptTreeView *tree, QWidget *parent)
    : TfmVoChildDB(parent), tvReports(new QTreeWidget(this)),
      buPreview(new QPushButton(QStringLiteral("Anteprima"), this)),
      buPrint(new QPushButton(QStringLiteral("Stampa"), this)),
      buPdf(new QPushButton(QStringLiteral("Esporta PDF"), this)), m_tree(tree) {
    setWindowTitle(QStringLiteral("Stampe"));
    setMinimumSize(460, 420);
    tvReports->setHeaderHidden(true);
    tvReports->setColumnCount(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *b : {buPreview, buPrint, buPdf})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tvReports, 1);
    layout->addLayout(buttons);
    connect(buPreview, &QPushButton::clicked, this,
            [this] { Run([this](int id) { return m_tree->Preview(id); }); });
    connect(buPrint, &QPushButton::clicked, this,
            [this] { Run([this](int id) { return m_tree->Print(id); }); });
    connect(buPdf, &QPushButton::clicked, this,
            [this] { Run([this](int id) { return m_tree->ExportPdf(id); }); });
    connect(tvReports, &QTreeWidget::itemActivated, this, [this] {
        if (SelectedId() > 0)
            Run([this](int id) { return m_tree->Preview(id); });
    });
    connect(tvReports, &QTreeWidget::currentItemChanged, this, [this] { UpdateButtons(); });
}

void TfmVoRptTree::FormShow() {
    TfmVoChildDB::FormShow();
    Reload();
}

void TfmVoRptTree::Reload() {
    const int selected = SelectedId();
    tvReports->clear();
    QList<TVoRptEntry> entries;
    if (!VoGuarded([&] { entries = VoRptEntries(m_tree->CodAppl()); }))
        return;
    QHash<QString, QTreeWidgetItem *> folders;
    QHash<int, QTreeWidgetItem *> reports;
    for (const TVoRptEntry &e : std::as_const(entries)) {
        QTreeWidgetItem *parent = reports.value(e.baseId == e.id ? 0 : e.baseId);
        if (!parent) {
            const QString folder = e.folder.isEmpty() ? QStringLiteral("Stampe") : e.folder;
            parent = folders.value(folder);
            if (!parent) {
                parent = new QTreeWidgetItem(tvReports, {folder});
                folders.insert(folder, parent);
            }
        }
        auto *item = new QTreeWidgetItem(parent, {e.title.isEmpty() ? QString::number(e.id) : e.title});
        item->setData(0, Qt::UserRole, e.id);
        item->setToolTip(0, QString::number(e.id));
        reports.insert(e.id, item);
    }
    tvReports->expandAll();
    if (selected <= 0 || !SelectId(selected))
        UpdateButtons();
}

int TfmVoRptTree::SelectedId() const {
    const QTreeWidgetItem *item = tvReports->currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : 0;
}

bool TfmVoRptTree::SelectId(int id) {
    for (QTreeWidgetItemIterator it(tvReports); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toInt() == id) {
            tvReports->setCurrentItem(*it);
            UpdateButtons();
            return true;
        }
    return false;
}

void TfmVoRptTree::UpdateButtons() {
    const bool report = SelectedId() > 0;
    for (QPushButton *b : {buPreview, buPrint, buPdf})
        b->setEnabled(report);
}

void TfmVoRptTree::Run(const std::function<bool(int)> &output) {
    const int id = SelectedId();
    if (id > 0)
        VoGuarded([&] { output(id); });
}

// --- TfmVoRptPreview -----------------------------------------------------------------------------------

TfmVoRptPreview::TfmVoRptPreview(std::shared_ptr<TVoRptDocument> document, QWidget *parent)
    : TfmVoChildDB(parent), pvPages(nullptr), buPrint(new QPushButton(QStringLiteral("Stampa…"), this)),
      buPdf(new QPushButton(QStringLiteral("Esporta PDF…"), this)), m_document(std::move(document)) {
    setWindowTitle(QStringLiteral("Anteprima di stampa"));
    OpenMaximized = true;
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_document->SetUpPrinter(m_printer.get());
    pvPages = new QPrintPreviewWidget(m_printer.get(), this);
    // The pages themselves take the keys, and show that they have them.
    if (auto *pages = pvPages->findChild<QGraphicsView *>())
        pvPages->setFocusProxy(pages);
    connect(pvPages, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter *printer) { m_document->Print(printer); });
    auto *zoomIn = new QPushButton(QStringLiteral("+"), this);
    auto *zoomOut = new QPushButton(QStringLiteral("−"), this);
    auto *fit = new QPushButton(QStringLiteral("Pagina intera"), this);
    for (QPushButton *b : {zoomIn, zoomOut})
        b->setFixedWidth(b->sizeHint().height() * 2);
    connect(zoomIn, &QPushButton::clicked, pvPages, [this] { pvPages->zoomIn(); });
    connect(zoomOut, &QPushButton::clicked, pvPages, [this] { pvPages->zoomOut(); });
    connect(fit, &QPushButton::clicked, pvPages, &QPrintPreviewWidget::fitInView);
    connect(buPrint, &QPushButton::clicked, this, [this] { VoGuarded([this] { PrintPages(); }); });
    connect(buPdf, &QPushButton::clicked, this, [this] { VoGuarded([this] { ExportPdf(); }); });
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {zoomOut, zoomIn, fit})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(buPrint);
    buttons->addWidget(buPdf);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(pvPages, 1);
}

TfmVoRptPreview::~TfmVoRptPreview() {
    // The preview paints on the printer until it goes.
    delete pvPages;
}

void TfmVoRptPreview::SetLayingOut() {
    m_complete = false;
    buPrint->setEnabled(false);
    buPdf->setEnabled(false);
}

void TfmVoRptPreview::SetDocument(std::shared_ptr<TVoRptDocument> document) {
    m_document = std::move(document);
    m_complete = true;
    m_document->SetUpPrinter(m_printer.get());
    pvPages->updatePreview();
    buPrint->setEnabled(true);
    buPdf->setEnabled(true);
}

void TfmVoRptPreview::keyPressEvent(QKeyEvent *e) {
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        e->accept();
        if (QMdiSubWindow *sub = SubWindow())
            sub->close();
        else
            close();
        return;
    }
    TfmVoChildDB::keyPressEvent(e);
}

bool TfmVoRptPreview::PrintPages() {
    return m_complete && SendToPrinter(*m_document, this);
}

bool TfmVoRptPreview::ExportPdf(const QString &path) {
    return m_complete && WriteChosenPdf(*m_document, path);
}

TfmVoRptPreview *VoRptShowPreview(TVoReport &engine, const TVoRptLayout &layout) {
    QPointer<TfmVoRptPreview> preview;
    TfmVoMDIMain *main = TfmVoMDIMain::Instance();
    const QPointer<QWidget> before = main ? main->ActiveMDIChild() : nullptr;
    std::shared_ptr<TVoRptDocument> document = engine.Run(layout, [&preview](const TVoRptDocument &first) {
        preview = VoNewForm<TfmVoRptPreview>(std::make_shared<TVoRptDocument>(first));
        preview->SetLayingOut();
        ShowWindow(preview);
        // The wait windows give the activation back to the main window, whose area then activates
        // the window holding the focus: the preview, not the window the run started from.
        preview->pvPages->setFocus();
        // The run keeps the event loop until it ends: the page is painted now.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    if (!document) {
        // Nothing was printed: the user goes on in the window the run started from.
        if (preview) {
            delete (qobject_cast<QMdiSubWindow *>(preview->parentWidget()) ? preview->parentWidget()
                                                                           : preview.data());
            TfmVoMDIMain::BringToFront(before);
        }
        return nullptr;
    }
    if (preview) {
        {
            // The preview draws every page again at once, which on a long report takes seconds: the
            // wait window says so, once the window system has shown it (within a moment).
            const TVoWaitScope wait(QStringLiteral("Preparazione dell'anteprima ..."), document->title);
            QElapsedTimer shown;
            shown.start();
            while (fmVoWait()->windowHandle() && !fmVoWait()->windowHandle()->isExposed() &&
                   shown.elapsed() < 250)
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            preview->SetDocument(std::move(document));
        }
        TfmVoMDIMain::BringToFront(preview);
    } else {
        preview = VoNewForm<TfmVoRptPreview>(std::move(document));
        ShowWindow(preview);
    }
    // The keys go to the pages, where Escape closes them, also once the main window gets the activation
    // back from the wait window and from the dialog that asked for the run.
    preview->pvPages->setFocus(Qt::OtherFocusReason);
    return preview;
}

void VoRptHookModule(TVoRptTreeView *tree, std::function<void(const QString &, QVariant &)> getValue,
                     std::function<void()> endDoc, std::function<void()> design, const QStringList &layouts) {
    tree->GetfrReport()->OnGetValue.Add(std::move(getValue));
    tree->GetfrReport()->OnEndDoc.Add(std::move(endDoc));
    tree->GetfrDesigner()->OnDesign.Add(std::move(design));
    tree->SetStandardLayouts(layouts);
    VoGuarded([tree] { tree->SeedLayouts(); });
}

void VoRptRegisterWindows() {
    VoRegisterFrameworkWindows();
    // Every report item of the programs gets its tree.
    TVoAttReport::SetTreeFactory([](TVoAttReport *item) { return new TVoRptTreeView(item); });
    VO_REGISTER_CLASS(TfrVoMultiSelect);
    VO_REGISTER_CLASS(TfmVoMultiSelect);
}

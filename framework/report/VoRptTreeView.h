#pragma once
// The report tree of a report item: its engine and designer, which the program hooks once, the
// window "Stampe" listing the reports of the item's application code by folder (a customised
// report under the report it was made from), and the outputs of a run: the preview "Anteprima di
// stampa", the printer and a PDF file.
#include "VoAttivazioni.h"
#include "VoChildDB.h"

#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class QPrintPreviewWidget;
class QPrinter;
class QPushButton;
class QTreeWidget;
class TVoReport;
class TVoRptDesigner;
class TVoRptDocument;
class TVoRptLayout;
class TfmVoRptPreview;
class TfmVoRptTree;

class TVoRptTreeView : public TVoCustomRptTree {
    Q_OBJECT
public:
    explicit TVoRptTreeView(TVoAttReport *item);
    ~TVoRptTreeView() override;

    // The tree of a report item.
    static TVoRptTreeView *Of(TVoAttReport *item);

    TVoReport *GetfrReport() const { return m_report; }
    TVoRptDesigner *GetfrDesigner() const { return m_designer; }
    // The id of the report being run (the last one run, after the run).
    int GetRptId() const { return m_rptId; }
    QString CodAppl() const;

    // The program's own layouts, written into the database at its start (SeedLayouts) when missing
    // or older; returns how many were written.
    void SetStandardLayouts(const QStringList &layouts) { m_standard = layouts; }
    int SeedLayouts();

    // Runs a report into pages; nullptr when it was cancelled or failed (the user has been told).
    std::unique_ptr<TVoRptDocument> Prepare(int id);
    // Runs a report and shows its preview (VoRptShowPreview); false when nothing was printed.
    bool Preview(int id);
    // Runs a report and sends it to the printer the user chooses.
    bool Print(int id);
    // Runs a report and writes it to a PDF file: the one given, else the one the user chooses.
    bool ExportPdf(int id, const QString &path = QString());

    // Shows the window of the reports.
    void Execute() override;
    TfmVoRptTree *Window() const { return m_window; }

    // Where the user chooses files (the tests answer in its place).
    using TFileChooser = std::function<QString(const QString &suggested)>;
    static void SetFileChooser(TFileChooser chooser);
    static QString ChooseFile(const QString &suggested);

private:
    // The report's layout, read for a run; false when a run is under way or the layout could not be
    // read (the user has been told).
    bool ReadLayout(int id, TVoRptLayout *layout);
    TVoAttReport *m_item;
    TVoReport *m_report;
    TVoRptDesigner *m_designer;
    QStringList m_standard;
    QPointer<TfmVoRptTree> m_window;
    int m_rptId = 0;
};

// Runs a layout on an engine and shows its preview: the first page as soon as it is laid out, the
// rest once the run ends. When the run is cancelled or fails no preview stays; nullptr then.
TfmVoRptPreview *VoRptShowPreview(TVoReport &engine, const TVoRptLayout &layout);

// Routes a tree's engine to a program's report module: the variables asked for, the end of every run
// and the designer's event; then writes the program's standard layouts that the database lacks. A
// layout that cannot be written is told and the program goes on.
void VoRptHookModule(TVoRptTreeView *tree, std::function<void(const QString &, QVariant &)> getValue,
                     std::function<void()> endDoc, std::function<void()> design, const QStringList &layouts);

// What the report layer opens at start-up: the report tree of every report item and the selection
// forms by their class names, with the framework's windows beneath them.
void VoRptRegisterWindows();

// The window "Stampe": the reports by folder and what to do with the chosen one.
class TfmVoRptTree : public TfmVoChildDB {
    Q_OBJECT
public:
    explicit TfmVoRptTree(TVoRptTreeView *tree, QWidget *parent = nullptr);

    QTreeWidget *tvReports;
    QPushButton *buPreview;
    QPushButton *buPrint;
    QPushButton *buPdf;

    // Lists the reports again from the database.
    void Reload();
    // The report chosen in the tree (0: a folder or nothing).
    int SelectedId() const;
    // Chooses a report by its id; false when the tree has none.
    bool SelectId(int id);

protected:
    void FormShow() override;

private:
    void Run(const std::function<bool(int)> &output);
    void UpdateButtons();
    TVoRptTreeView *m_tree;
};

// The preview of a run: its pages, to print or save as PDF. Escape closes it.
class TfmVoRptPreview : public TfmVoChildDB {
    Q_OBJECT
public:
    explicit TfmVoRptPreview(std::shared_ptr<TVoRptDocument> document, QWidget *parent = nullptr);
    ~TfmVoRptPreview() override;

    QPrintPreviewWidget *pvPages;
    QPushButton *buPrint;
    QPushButton *buPdf;

    const TVoRptDocument &Document() const { return *m_document; }
    // Whether the pages shown are all of the run's; printing and the PDF file wait for them.
    bool Complete() const { return m_complete; }
    // A preview showing the first pages of a run still laying out the others.
    void SetLayingOut();
    // The whole run, in place of the pages shown so far.
    void SetDocument(std::shared_ptr<TVoRptDocument> document);
    bool PrintPages();
    bool ExportPdf(const QString &path = QString());

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    std::shared_ptr<TVoRptDocument> m_document;
    bool m_complete = true;
    std::unique_ptr<QPrinter> m_printer;
};

#pragma once
// The report engine: it lays a layout out into pages from the datasets and variables that the
// programs publish by name.
//
// A run of a layout:
//  1. every dataset the layout names whose publisher shows a selection form, in the layout's order:
//     the form is created by its class name and lists the dataset's select (the handler of
//     OnBeforeSelectForm may set another); Cancel ends the run; after OK and OnAfterSelectForm the
//     rows ticked (by the first column) are the only ones the dataset shows to First, Next and
//     AfterScroll, in its order, until the run ends; none ticked prints every row;
//  2. a master band opens its dataset (BeforeOpen fires; EVoAbort there ends the run silently) and
//     prints a band for each row after AfterScroll has fired on it; detail bands walk their
//     datasets as they stand after that (the programs' scroll handlers re-open them);
//  3. variables are asked of OnGetValue whenever an item naming them is printed; a value left
//     untouched prints empty;
//  4. a run still laying out after ProgressAfterMs shows its progress in the wait window, the
//     masters' rows laid out of all of them, with "Annulla": the run then ends at the next row
//     without a word and without pages, as a Cancel does;
//  5. OnEndDoc fires after every run, printed, cancelled or failed. An error is shown once.
// A layout naming a dataset or variable nobody published is refused before anything runs, one
// naming a missing field when its dataset is open; the message names the report, the line and the
// name.
#include "VoEvent.h"
#include "VoQueryCollection.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

class TVoRptDocument;
class TVoRptLayout;
class TfmVoMultiSelect;

// Publishes a dataset to the layouts, under the name of the dataset (its object name) unless
// another is set, for as long as the publisher lives.
class TfrDBDataSet : public QObject {
    Q_OBJECT
public:
    explicit TfrDBDataSet(QObject *owner = nullptr, TVoQueryCollection *dataSet = nullptr);
    ~TfrDBDataSet() override;

    TVoQueryCollection *DataSet() const { return m_dataSet; }
    void SetDataSet(TVoQueryCollection *dataSet) { m_dataSet = dataSet; }
    QString UserName() const;
    void SetUserName(const QString &name) { m_userName = name; }

    // The publisher of a name, ignoring case (nullptr: none).
    static TfrDBDataSet *Find(const QString &name);

private:
    QPointer<TVoQueryCollection> m_dataSet;
    QString m_userName;
};

// A dataset whose rows the user chooses in a selection form before the report prints.
class TVofrDBDataSet : public TfrDBDataSet {
    Q_OBJECT
public:
    using TfrDBDataSet::TfrDBDataSet;

    bool ShowSelectForm = false;
    // The registered class of the form, a TfmVoMultiSelect or one derived from it.
    QString SelectFormClass = QStringLiteral("TfmVoMultiSelect");
    // Whether the rows chosen restrict the dataset.
    bool DoAfterSelect = true;

    // Before the form is shown: the place to set its list, caption and columns.
    TVoEvent<TVofrDBDataSet *, TfmVoMultiSelect *> OnBeforeSelectForm;
    // After the form was confirmed.
    TVoEvent<TVofrDBDataSet *, TfmVoMultiSelect *> OnAfterSelectForm;
};

// Publishes a report variable for as long as its owner lives; its value comes from OnGetValue.
void VoRptPublishVariable(QObject *owner, const QString &name);
bool VoRptVariablePublished(const QString &name);

class TVoReport : public QObject {
    Q_OBJECT
public:
    explicit TVoReport(QObject *parent = nullptr);
    ~TVoReport() override;

    // A variable's value: the handler sets it (untouched, the item prints empty).
    TVoEvent<const QString &, QVariant &> OnGetValue;
    // After every run.
    TVoEvent<> OnEndDoc;

    // Runs a layout into pages; nullptr when the run was cancelled or failed (the user has been
    // told why). A run of more than one page hands its first page to firstPage as soon as that is
    // laid out, before the rest is: the texts printing the count of pages are empty there, as that
    // count is known only at the end; the rest of the page is the first page of the run.
    using TFirstPage = std::function<void(const TVoRptDocument &)>;
    std::unique_ptr<TVoRptDocument> Run(const TVoRptLayout &layout, const TFirstPage &firstPage = {});
    bool Running() const { return m_running; }

    // How long a run lays out before its progress is shown, in milliseconds.
    int ProgressAfterMs = 1000;

private:
    bool m_running = false;
};

// Stands for the layout designer, which this system does not have: the programs hook its event,
// which makes them open and close their selection lists.
class TVoRptDesigner : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    TVoEvent<> OnDesign;
    void Design() { OnDesign(); }
};

#pragma once
// Registry windows: a small table kept in a list page and a detail page over one query collection,
// or a master list with the list of its current row's details below it.
//
// A registry window is an MDI child opened maximised. Its collections read the global connection
// in packets of 25 rows and confirm their deletions. Each writes either with the statements the
// framework builds from its select (AutoBuildSQL) or with one explicit statement per list. The
// window's main collection is opened when the window opens and closed when it closes; a detail
// collection follows its master (VoMasterDetail.h).
#include "VoChildDB.h"
#include "VoDBFrames.h"

#include <QString>
#include <initializer_list>

class QFormLayout;
class QLineEdit;
class QSplitter;
class TVoDBEdit;
class TVoMasterDetail;

// The statements of a registry collection; all empty: built by the framework from the select.
struct TVoRegistryStatements {
    QString Insert;
    QString Update;
    QString Delete;
    // From a window's statement constants.
    static TVoRegistryStatements Of(const char *insert, const char *update, const char *del) {
        return {QString::fromUtf8(insert), QString::fromUtf8(update), QString::fromUtf8(del)};
    }
};

// A grid column that sorts on its own field, ascending and descending; the search box offers it
// when Text is set.
struct TVoRegistrySort {
    int Column;
    QString Field;
    bool Text;
};

class TfmVoRegistry : public TfmVoChildDB {
    Q_OBJECT
public:
    explicit TfmVoRegistry(QWidget *parent = nullptr);

protected:
    // A collection of the window, reading in packets and confirming its deletions.
    TVoQueryCollection *NewCollection(const QString &name);
    // Binds a collection to the global connection with its select, its parameters and its statements.
    static void SetUpCollection(TVoQueryCollection *collection, const QString &select,
                                const TVoRegistryStatements &statements = {});
    static void SetSortIndex(TVoDBGrid *grid, std::initializer_list<TVoRegistrySort> items);
    // The creation of a registry's list: the collection set up, the list page in front, the sort index.
    static void SetUpRegistry(TfrVoDBRWGrid *frame, TVoQueryCollection *collection, const QString &select,
                              std::initializer_list<TVoRegistrySort> sorts,
                              const TVoRegistryStatements &statements = {});
    // Lays the window out: one frame over the main collection, which the window opens when it opens
    // and closes when it closes...
    void Arrange(TfrVoDBROGrid *frame, TVoQueryCollection *main);
    // ...or the frame of the main collection above the frame of its details.
    QSplitter *Arrange(TfrVoDBROGrid *frame, TVoQueryCollection *main, TfrVoDBROGrid *detailFrame,
                       TVoQueryCollection *details);

    void FormShow() override;
    void FormClose(TCloseAction &Action) override;

private:
    TVoQueryCollection *m_main = nullptr;
};

// --- The detail page --------------------------------------------------------------------------------

// The form of a frame's detail page: captions on the left, controls on the right.
QFormLayout *VoDetailForm(TfrVoDBRWGrid *frame);
// The label of a field of a form, and showing or hiding the field's row, wherever the layout rule
// of the window (VoLayout.h) has put the row.
QWidget *VoFieldLabel(QWidget *field);
void VoSetFieldRowVisible(QWidget *field, bool visible);
// Places a data-aware control on the detail page, bound to a field of the frame's data source. The
// caption labels it (a check box shows it as its own text).
void VoPlaceDetailControl(TfrVoDBRWGrid *frame, const QString &caption, TVoDBControl *control,
                          const QString &field);
// The same on a form of its own (a panel or a page of the detail page), bound to a data source.
void VoPlaceFormControl(QFormLayout *form, const QString &caption, TVoDBControl *control,
                        TVoDataSource *source, const QString &field);
template <class T>
T *VoAddFormControl(QFormLayout *form, const char *caption, TVoDataSource *source, const char *field) {
    auto *control = new T;
    VoPlaceFormControl(form, QString::fromUtf8(caption), control, source, QString::fromLatin1(field));
    return control;
}
template <class T> T *VoAddDetailControl(TfrVoDBRWGrid *frame, const QString &caption, const QString &field) {
    auto *control = new T(frame->tsDetail);
    VoPlaceDetailControl(frame, caption, control, field);
    return control;
}
// Keeps an edit to a number of characters; a short one is only as wide as they are.
void VoSetMaxLength(QLineEdit *edit, int length);
// A text edit of the detail page holding at most length characters.
TVoDBEdit *VoAddDetailEdit(TfrVoDBRWGrid *frame, const QString &caption, const QString &field, int length);
// A column the grid holds without showing it (a key).
void VoAddHiddenColumn(TVoDBGrid *grid, const QString &field);
// A value the row needs: an empty control is refused, the word naming what is missing.
void VoRequireValue(TVoDBControl *control, const QString &word);

// The detail frame of a master-detail link takes rows only while the master has a saved row: a row
// of no master could not be written.
void VoDetailFollowsMaster(TVoMasterDetail *link, TfrVoDBRWGrid *frame);

#include "VoRegistry.h"

#include "VoConnection.h"
#include "VoDBEdits.h"
#include "VoMasterDetail.h"
#include "VoQueryCollection.h"

#include <QAbstractButton>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QVBoxLayout>

TfmVoRegistry::TfmVoRegistry(QWidget *parent) : TfmVoChildDB(parent) {
    OpenMaximized = true;
}

TVoQueryCollection *TfmVoRegistry::NewCollection(const QString &name) {
    auto *collection = new TVoQueryCollection(this);
    collection->setObjectName(name);
    collection->SetPacketRecords(25);
    collection->SetConfirmations(cfTrash | cfDisable | cfDelete);
    return collection;
}

void TfmVoRegistry::SetUpCollection(TVoQueryCollection *collection, const QString &select,
                                    const TVoRegistryStatements &statements) {
    collection->SetConnection(qqoVoGlobConn);
    collection->SetCommandText(select);
    collection->SQLInsert.Clear();
    collection->SQLUpdate.Clear();
    collection->SQLDelete.Clear();
    const bool automatic =
        statements.Insert.isEmpty() && statements.Update.isEmpty() && statements.Delete.isEmpty();
    collection->SetAutoBuildSQL(automatic);
    if (automatic)
        return;
    collection->SQLInsert.Add(statements.Insert);
    collection->SQLUpdate.Add(statements.Update);
    collection->SQLDelete.Add(statements.Delete);
}

void TfmVoRegistry::SetSortIndex(TVoDBGrid *grid, std::initializer_list<TVoRegistrySort> items) {
    TVoColsIndex &index = grid->ColsIndex();
    index.Clear();
    for (const TVoRegistrySort &item : items)
        index.Add(item.Column, item.Field, item.Field, item.Text);
}

void TfmVoRegistry::SetUpRegistry(TfrVoDBRWGrid *frame, TVoQueryCollection *collection, const QString &select,
                                  std::initializer_list<TVoRegistrySort> sorts,
                                  const TVoRegistryStatements &statements) {
    SetUpCollection(collection, select, statements);
    frame->ShowList();
    SetSortIndex(frame->grFrame, sorts);
}

void TfmVoRegistry::Arrange(TfrVoDBROGrid *frame, TVoQueryCollection *main) {
    frame->SetDataSet(main);
    m_main = main;
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
}

QSplitter *TfmVoRegistry::Arrange(TfrVoDBROGrid *frame, TVoQueryCollection *main, TfrVoDBROGrid *detailFrame,
                                  TVoQueryCollection *details) {
    detailFrame->SetDataSet(details);
    auto *splitter = new QSplitter(Qt::Vertical);
    Arrange(frame, main);
    // The layout gives back the frame's item, which it no longer owns.
    delete layout()->replaceWidget(frame, splitter);
    splitter->addWidget(frame);
    splitter->addWidget(detailFrame);
    return splitter;
}

void TfmVoRegistry::FormShow() {
    TfmVoChildDB::FormShow();
    if (m_main && !m_main->Active())
        m_main->Open();
}

void TfmVoRegistry::FormClose(TCloseAction &Action) {
    TfmVoChildDB::FormClose(Action);
    if (m_main)
        m_main->Close();
}

// --- The detail page --------------------------------------------------------------------------------

QFormLayout *VoDetailForm(TfrVoDBRWGrid *frame) {
    if (auto *form = qobject_cast<QFormLayout *>(frame->tsDetail->layout()))
        return form;
    // Laid out again when the window opened (in columns, or scrolling): its first column.
    if (frame->tsDetail->layout())
        if (auto *form = frame->tsDetail->findChild<QFormLayout *>())
            return form;
    return new QFormLayout(frame->tsDetail);
}

namespace {
// The form that holds a field, wherever the window's layout rule has put the field's row.
QFormLayout *FormOfField(QWidget *field) {
    for (QWidget *w = field->parentWidget(); w; w = w->parentWidget())
        for (QFormLayout *form : w->findChildren<QFormLayout *>())
            if (form->indexOf(field) >= 0)
                return form;
    return nullptr;
}
} // namespace

QWidget *VoFieldLabel(QWidget *field) {
    QFormLayout *form = FormOfField(field);
    return form ? form->labelForField(field) : nullptr;
}

void VoSetFieldRowVisible(QWidget *field, bool visible) {
    if (QFormLayout *form = FormOfField(field))
        form->setRowVisible(field, visible);
}

void VoPlaceDetailControl(TfrVoDBRWGrid *frame, const QString &caption, TVoDBControl *control,
                          const QString &field) {
    VoPlaceFormControl(VoDetailForm(frame), caption, control, frame->xdsMain, field);
}

void VoPlaceFormControl(QFormLayout *form, const QString &caption, TVoDBControl *control,
                        TVoDataSource *source, const QString &field) {
    QWidget *widget = control->Widget();
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        button->setText(caption);
        form->addRow(widget);
    } else {
        auto *label = new QLabel(caption);
        label->setBuddy(widget);
        form->addRow(label, widget);
    }
    control->Bind(source, field);
}

void VoSetMaxLength(QLineEdit *edit, int length) {
    edit->setMaxLength(length);
    // Codes of a few characters in a field as wide as the window would look like room for more.
    if (length <= 20)
        edit->setMaximumWidth(
            VoLineEditHint(edit, edit->sizeHint(), QString(length, QLatin1Char('W'))).width());
}

TVoDBEdit *VoAddDetailEdit(TfrVoDBRWGrid *frame, const QString &caption, const QString &field, int length) {
    auto *edit = VoAddDetailControl<TVoDBEdit>(frame, caption, field);
    VoSetMaxLength(edit, length);
    return edit;
}

void VoAddHiddenColumn(TVoDBGrid *grid, const QString &field) {
    grid->SetColumnVisible(grid->AddColumn(field), false);
}

void VoRequireValue(TVoDBControl *control, const QString &word) {
    control->OnValidate.Add([control, word](QWidget *, bool &Ok, QString &Msg) {
        if (control->IsEmpty()) {
            Ok = false;
            Msg = word;
        }
    });
}

void VoDetailFollowsMaster(TVoMasterDetail *link, TfrVoDBRWGrid *frame) {
    link->Detail()->AfterOpen.Add(
        [link, frame](TVoQueryCollection *) { frame->SetReadOnly(link->MasterKey().isNull()); });
}

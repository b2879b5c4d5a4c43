#include "AbiRCommon.h"

#include "AbiMBen.h"
#include "VoDBEdits.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoRegistry.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

void EditForChoice(TfrVoDBRWGrid *frame) {
    const TVoQueryCollection *c = frame->DataSet();
    if (c && c->Active() && c->IsEmpty())
        frame->xdsMain->Insert();
    else
        frame->xdsMain->Edit();
}

void KeepSingleRecord(TfrVoDBRWGrid *frame) {
    frame->xdsMain->OnDataChange.Add([frame](TVoDataSource *source, TVoField *field) {
        if (field)
            return;
        const TVoQueryCollection *c = source->DataSet();
        frame->xacInsert->SetLocked(!(source->State() == dsBrowse && c && c->Active() && c->IsEmpty()));
    });
}

void RefuseAt(const QString &message, QWidget *control) {
    VoMessageDlg(message, mtError, mbOK);
    VoShowControl(control);
    control->setFocus(Qt::OtherFocusReason);
}

void PostRequired(TfrVoDBRWGrid *frame, TVoDataAction *post, QLineEdit *required, const QString &message) {
    if (!frame->xdsMain->Editing() || !frame->xdsMain->UpdateRecord())
        return;
    if (required->text().trimmed().isEmpty()) {
        RefuseAt(message, required);
        return;
    }
    post->ExecuteDefault();
}

bool LocateBeneficiario(const QVariant &benId) {
    if (!dmBeneficiari || benId.isNull() || !benId.isValid() || !dmBeneficiari->xqcBeneficiari->Active())
        return false;
    return dmBeneficiari->xqcBeneficiari->Locate(QStringLiteral("IBENID"), benId.toInt());
}

QLabel *AddLabelled(QGridLayout *grid, int row, int column, const char *caption, QWidget *control, int span) {
    auto *label = new QLabel(QString::fromUtf8(caption), control->parentWidget());
    label->setBuddy(control);
    grid->addWidget(label, row, column);
    grid->addWidget(control, row, column + 1, 1, span);
    return label;
}

TVoDBEdit *NewDBEdit(QWidget *parent, int maxLength) {
    auto *edit = new TVoDBEdit(parent);
    VoSetMaxLength(edit, maxLength);
    return edit;
}

bool IsChosenId(const QVariant &key) {
    return key.isValid() && !key.isNull() && key.toInt() > 0;
}

void AddColumns(TVoDBGrid *grid, std::initializer_list<TAbiColumn> columns) {
    for (const TAbiColumn &c : columns)
        grid->AddColumn(QString::fromLatin1(c.field), QString::fromUtf8(c.title), c.width);
}

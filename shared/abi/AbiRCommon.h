#pragma once
// What the frames of the beneficiaries window share: a choice made on a row being browsed, the
// single-record frames, a required text, the go-to actions and their labelled controls.
#include "VoDBFrames.h"

#include <initializer_list>

class QGridLayout;
class QLabel;
class QLineEdit;
class TVoDBEdit;

// Starts editing the frame's row for a choice made while browsing (inserting on an empty list).
void EditForChoice(TfrVoDBRWGrid *frame);

// A frame of one record per beneficiary: a second record cannot be inserted.
void KeepSingleRecord(TfrVoDBRWGrid *frame);

// Tells a refusal as an error (OK), brings its control forward with the focus; the post stops.
void RefuseAt(const QString &message, QWidget *control);

// Posts the frame's row unless the edit holds only blanks: then the message, and the focus there.
void PostRequired(TfrVoDBRWGrid *frame, TVoDataAction *post, QLineEdit *required, const QString &message);

// Moves the beneficiaries list to a beneficiary; false when the list does not show it.
bool LocateBeneficiario(const QVariant &benId);

// Adds a caption and its control on one row of a detail grid; the caption is the control's buddy.
QLabel *AddLabelled(QGridLayout *grid, int row, int column, const char *caption, QWidget *control,
                    int span = 1);

// A text edit of at most maxLength characters.
TVoDBEdit *NewDBEdit(QWidget *parent, int maxLength);

// Whether a lookup's key names a row (not NULL, above 0).
bool IsChosenId(const QVariant &key);

// The list's columns: field, title, width.
struct TAbiColumn {
    const char *field;
    const char *title;
    int width;
};
void AddColumns(TVoDBGrid *grid, std::initializer_list<TAbiColumn> columns);

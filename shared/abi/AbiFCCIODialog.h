#pragma once
// Asks whether a person being entered is one already on file with the same control code: the
// persons found are listed, "SI" takes the chosen one, "No" goes on with a new person.
#include "VoDialogs.h"

class TVoDataSource;
class TVoDBGrid;
class TVoQueryCollection;
class QLabel;

class TfmCCIODialog : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    // persons: the persons found, open; the one it stands on when "SI" is pressed is the choice.
    explicit TfmCCIODialog(TVoQueryCollection *persons, QWidget *parent = nullptr);

    QLabel *laTesto;
    TVoDBGrid *grPersone;

protected:
    // "SI" closes with the result mrYes.
    void buOkClick() override;

private:
    TVoDataSource *m_source;
};

#pragma once
// The minutes of a good: the commissions' minutes (testing and others) linked to the good. The
// minute is chosen by its description; its number, date and type are shown beside it.
#include "VoDBFrames.h"

class TVoDBLookupEdit;

class TfrkvbInbVer : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvbInbVer(QWidget *parent = nullptr);

    TVoDBLookupEdit *const xelVerbale;
    TVoDBLookupEdit *const xelNumero;
    TVoDBLookupEdit *const xelData;
    TVoDBLookupEdit *const xelTipoVer;

    // The minutes offered: dated from a year before the register-year to its end.
    void SetLists(double from, double to);

private:
    void xelVerbaleChangeFKValue();
};

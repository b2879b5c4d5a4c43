#pragma once
// The budget items and projects of one cash flow and total type valid in the current financial year,
// with the current item's sub-items below (shown for income only). The menus open it by class name
// after making the budget module and choosing the cash flow and total type.
#include "AbcFVproBase.h"

class QSplitter;
class TfrSottoVoci;
class TfrVociProgetti;

class TfmVoci : public TfmVproBase {
    Q_OBJECT
public:
    explicit TfmVoci(QWidget *parent = nullptr);

    TfrVociProgetti *frFVoci;
    QSplitter *Splitter1;
    TfrSottoVoci *frFSottoVoci;

protected:
    void FormCreate() override;
    bool FormCloseQuery() override;
    void FormClose(TCloseAction &Action) override;
    TfrVoDBROGrid *YearFrame() const override;
    // The lookup's list, the sub-items' select and the items' select for the current year and school,
    // and the items read anew.
    void LoadYear() override;

private:
    void CoupleFrames();
};

#pragma once
// What the loading- and unloading-voucher windows share beyond the voucher window of both programs
// (AbcFBuoni.h): the header's lookups, its amount actions and making a voucher definitive. Each window
// adds its own goods frame.
#include "AbcFBuoni.h"

class QAction;
class TfrkvaBuoIdc;
class TfrkvbBuoniCarico;
using TfrkvbBuoIdc = TfrkvaBuoIdc;

class TfmkvbBuoniBase : public TfmAbcBuoni {
    Q_OBJECT
public:
    TfrkvbBuoniCarico *const frMaster;
    TfrkvbBuoIdc *const frBuoDoc;

    QAction *const xacDefBuono;
    QAction *const xacFiltraImporti;
    QAction *const xacImpostaImporto;

    void xacImpostaImportoExecute();
    void xacFiltraImportiExecute();
    void xacDefBuonoExecute();

protected:
    // kind: kvbLoading or kvbUnloading; the frames are taken over.
    TfmkvbBuoniBase(QWidget *parent, int kind, const QString &caption, TfrkvbBuoniCarico *header,
                    TfrVoDBRWGrid *goods);

    // The header, its lookups and rules, the documents and the header's actions; the window then
    // sets up its goods.
    void FormCreate() override;
    // A new voucher is no recognition.
    void ProposeNewVoucher() override;
    // A definitive voucher is refused as such before its date is looked at.
    QString DateProblem(double date, int number) const override;

private:
    void SetUpHeader();
    void SetUpActions();
};

#pragma once
// The registers of the consumables program (every register type but the durable-goods ones).
#include "VoChildDB.h"

class TfrkvaTFac;
class TVoQueryCollection;
struct TVoQueryProp;

class TfmkvaFac : public TfmVoChildDB {
    Q_OBJECT
public:
    explicit TfmkvaFac(QWidget *parent = nullptr);

    TfrkvaTFac *frkvaFac;
    TVoQueryCollection *xqcMain;

    void xqcMainVoAfterExec(TVoQueryCollection *Sender, TVoQueryProp &Prop);

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormClose(TCloseAction &Action) override;

private:
    void xqcMainBeforePost(TVoQueryCollection *Sender);
    void xqcMainBeforeDelete(TVoQueryCollection *Sender);
};

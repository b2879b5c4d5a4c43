#pragma once
// The registers of the consumables program (every register type but the durable-goods ones), with
// their two options: the common registers window (AbcFFac.h).
#include "AbcFFac.h"

class TfrkvaTFac;
struct TVoQueryProp;

class TfmkvaFac : public TfmAbcFac {
    Q_OBJECT
public:
    explicit TfmkvaFac(QWidget *parent = nullptr);

    TfrkvaTFac *frkvaFac;

    void xqcMainVoAfterExec(TVoQueryCollection *Sender, TVoQueryProp &Prop);

private:
    void xqcMainBeforePost(TVoQueryCollection *Sender);
};

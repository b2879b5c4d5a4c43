#pragma once
// "Elenco beni": every good of the current register, whatever its register-year or state, narrowed
// as the user types in the search box. Only a good's notes, goods code and condition are saved here.
#include "VoRegistry.h"

class TfrkvbBeni;

class TfmBeni : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmBeni(QWidget *parent = nullptr);

    TVoQueryCollection *const xqcMain;
    TfrkvbBeni *const frMaster;

protected:
    void FormCreate() override;

private:
    void xqcMainAfterOpen();
};

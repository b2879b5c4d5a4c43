#pragma once
// The bulk data replacement of the articles: the shared replacement on the definition KVAREPLACE,
// the articles picked in the article picker, each statement's :SELECTEDID an article's iFarId.
#include "AbcFDataReplace.h"

class TfrKvaDblLstArtSelect;

class TfmKvaDataReplace : public TfmAbcDataReplace {
    Q_OBJECT
public:
    explicit TfmKvaDataReplace(QWidget *parent = nullptr);

    TfrKvaDblLstArtSelect *frKvaDblLstArtSelect1;
};

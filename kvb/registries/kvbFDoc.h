#pragma once
// The goods documents of the durable-goods program: the documents window both programs share, with
// this program's frame, which names the supplier or recipient "Provenienza / Destinazione" and requires
// it, and leaves number and date free.
#include "kvaFDoc.h"

class TfrkvbDoc : public TfrkvaDoc {
    Q_OBJECT
public:
    explicit TfrkvbDoc(QWidget *parent = nullptr);
};

class TfmkvbDoc : public TfmkvaDoc {
    Q_OBJECT
public:
    explicit TfmkvbDoc(QWidget *parent = nullptr);
};

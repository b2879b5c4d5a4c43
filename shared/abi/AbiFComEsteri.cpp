#include "AbiFComEsteri.h"

#include "AbiMCom.h"
#include "AbiRComEsteri.h"
#include "AbiUUtil.h"
#include "VoClassRegistry.h"
#include "VoExceptions.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TfmComEsteri::TfmComEsteri(QWidget *parent)
    : TfmVoDialog(parent), frComEster(new TfrComEsteri(this)),
      buOk(new QPushButton(QStringLiteral("OK"), this)) {
    setWindowTitle(QStringLiteral("Comuni esteri"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(buOk);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frComEster, 1);
    layout->addLayout(buttons);
    buOk->setAutoDefault(false);
    connect(buOk, &QPushButton::clicked, this, &QDialog::accept);
    resize(560, 420);
}

void TfmComEsteri::FormCreate() {
    if (!EnsureComuniModule())
        throw EVoError(VoClassNotAvailableMessage(QStringLiteral("TfmComEsteri")));
    frComEster->SetDataSet(dmComuni->xqcComuniEsteri);
}

void TfmComEsteri::PrepareForState(int stateId) {
    StateId = stateId;
    TVoQueryCollection *c = dmComuni->xqcComuniEsteri;
    if (c->Active())
        c->Close();
    c->Open();
    frComEster->DefaultStateId = stateId;
}

void TfmComEsteri::FormShow() {
    if (!dmComuni->xqcComuniEsteri->Active())
        dmComuni->xqcComuniEsteri->Open();
}

bool TfmComEsteri::FormCloseQuery() {
    return AskSaveFrameBeforeClose(frComEster, windowTitle(), 0);
}

#pragma once
// "Settori di consegna": the delivery sectors above the responsibles of the current one, over the
// shared module (bound to the global connection by the menu guard before the window opens). The
// sectors' search box narrows their list as the user types.
#include "VoRegistry.h"

class TfrAbeRicerca;
class TfrResponsabili;
class TfrSettConsegna;

class TfmSettConsegna : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmSettConsegna(QWidget *parent = nullptr);

    TfrSettConsegna *const frSettConsegna;
    TfrResponsabili *const frResponsabili;
    TfrAbeRicerca *const frAbeRicerca1;

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormActivate() override;
    void FormClose(TCloseAction &Action) override;

private:
    bool m_firstActivation = false;
    TVoHooks m_hooks;
};

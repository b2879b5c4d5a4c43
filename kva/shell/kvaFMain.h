#pragma once
#include "VoMDIMain.h"

class TdmVoConnection;

// The main window of the consumables register.
class TfmkvaMain : public TfmVoMDIMain {
    Q_OBJECT
public:
    explicit TfmkvaMain(TdmVoConnection *connection, QWidget *parent = nullptr);

protected:
    void FirstActivation() override;

private:
    TdmVoConnection *m_connection;
};

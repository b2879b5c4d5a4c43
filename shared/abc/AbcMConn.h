#pragma once
// The connection module of a program: the framework's, with the program's code and database version.
#include "VoConnection.h"

struct TAbcProgram;

class TdmAbcConn : public TdmVoConnection {
    Q_OBJECT
public:
    TdmAbcConn(const TAbcProgram &program, QObject *parent = nullptr);
};

#include "AbcMConn.h"

#include "AbcCProgram.h"

TdmAbcConn::TdmAbcConn(const TAbcProgram &program, QObject *parent) : TdmVoConnection(parent) {
    xqoMain->CodAppl = program.Code;
    xqoMain->DBVersion = program.DBVersion;
}

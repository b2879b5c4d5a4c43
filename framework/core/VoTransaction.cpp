#include "VoTransaction.h"

#include "VoConnection.h"
#include "VoExceptions.h"

TVoTransaction::TVoTransaction(TVoSQLConnection *connection)
    : m_connection(connection ? connection : qqoVoGlobConn) {}

TVoTransaction::~TVoTransaction() {
    if (m_active) {
        try {
            Rollback();
        } catch (...) {
            // A destructor must not throw; the rollback already undid what it could.
        }
    }
}

void TVoTransaction::StartTransaction() {
    if (m_active)
        return;
    if (!m_connection)
        throw EVoError(QStringLiteral("Connessione al database non aperta."));
    m_connection->StartTransaction();
    m_active = true;
}

void TVoTransaction::Commit() {
    if (!m_active)
        return;
    m_active = false;
    m_connection->Commit();
}

void TVoTransaction::Rollback() {
    if (!m_active)
        return;
    m_active = false;
    m_connection->Rollback();
}

void VoWriteRetryingConflicts(const std::function<void()> &write, TVoSQLConnection *connection) {
    TVoSQLConnection *conn = connection ? connection : qqoVoGlobConn;
    const int attempts = conn && conn->InTransaction() ? 1 : 3;
    for (int attempt = 1;; ++attempt) {
        try {
            TVoTransaction transaction(conn);
            transaction.StartTransaction();
            write();
            transaction.Commit();
            return;
        } catch (const EVoDatabaseError &e) {
            if (!e.IsLockConflict() || attempt >= attempts)
                throw;
        }
    }
}

#pragma once
// A transaction on a connection: StartTransaction, then Commit. Leaving the scope without a commit
// rolls back, so an exception half-way through a multi-step write leaves nothing behind.
#include <functional>

class TVoSQLConnection;

class TVoTransaction {
public:
    explicit TVoTransaction(TVoSQLConnection *connection = nullptr);
    ~TVoTransaction();
    TVoTransaction(const TVoTransaction &) = delete;
    TVoTransaction &operator=(const TVoTransaction &) = delete;

    void StartTransaction();
    void Commit();
    void Rollback();
    bool Active() const { return m_active; }

private:
    TVoSQLConnection *m_connection;
    bool m_active = false;
};

// Runs a write in one transaction and commits it. When another program wrote the same rows at the
// same moment (a lock conflict) the write is run again from the start in a new transaction, whose
// reads see what the other committed; a conflict that persists, or any other failure, is raised
// after the rollback. Inside a caller's transaction it runs once: a retry would lose the caller's
// earlier work.
void VoWriteRetryingConflicts(const std::function<void()> &write, TVoSQLConnection *connection = nullptr);

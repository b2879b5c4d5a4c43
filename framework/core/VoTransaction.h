#pragma once
// A transaction on a connection: StartTransaction, then Commit. Leaving the scope without a commit
// rolls back, so an exception half-way through a multi-step write leaves nothing behind.
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

#pragma once

class CADODatabase;

// Keeps a group of writes all-or-nothing: begins a transaction, and rolls it
// back on destruction unless Commit was called (e.g. when a write throws).
class CADOTransaction {
public:
    // `serializable`: isolated as if it ran alone; a clash fails it (IsSerializationFailure)
    // and the whole group can be run again.
    explicit CADOTransaction(CADODatabase& database, bool serializable = false);
    ~CADOTransaction();
    CADOTransaction(const CADOTransaction&) = delete;
    CADOTransaction& operator=(const CADOTransaction&) = delete;

    void Commit();

private:
    CADODatabase& m_database;
    bool m_bDone = false;
};

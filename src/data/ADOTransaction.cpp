#include "data/ADOTransaction.h"

#include "data/ADODatabase.h"

CADOTransaction::CADOTransaction(CADODatabase& database, bool serializable) : m_database(database) {
    if (serializable)
        m_database.BeginSerializableTrans();
    else
        m_database.BeginTrans();
}

CADOTransaction::~CADOTransaction() {
    if (m_bDone)
        return;
    try {
        m_database.RollbackTrans();
    } catch (...) {
        // The connection may be gone already; the engine then discarded the writes itself.
    }
}

void CADOTransaction::Commit() {
    m_database.CommitTrans();
    m_bDone = true;
}

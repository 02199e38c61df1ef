#pragma once

#include <cstdint>
#include <string>

#include "data/DateTimeValue.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/Variant.h"

class CADODatabase;
class CComError;

// A statement or table on a CADODatabase, with typed field access.
// Failures are always thrown, never returned as a code or a false result: the
// guarded operations (Open, GetFieldValue, PutFieldValue/SetFieldValue, Update)
// record the failure and throw CADOException; the others let CComError through.
// A false result says something ordinary (no rows open, not in an edit).
class CADORecordset {
public:
    enum OpenMode { OpenDefault = 0, OpenQuery = 1, OpenTable = 2 };
    enum EditMode { EditNone = 0, EditNew = 1, EditExisting = 2 };

    explicit CADORecordset(CADODatabase* pDatabase);
    virtual ~CADORecordset();
    CADORecordset(const CADORecordset&) = delete;
    CADORecordset& operator=(const CADORecordset&) = delete;

    // `query` "" reopens the text of the previous Open. True when rows are open
    // afterwards; a statement without rows ("delete from ...") runs and gives false.
    bool Open(ConnectionPtr connection, const std::string& query = "", int mode = OpenDefault);
    void Close();
    bool IsOpen() const;
    bool IsEOF() const;
    bool IsBOF() const;
    void MoveNext();
    void MoveFirst();
    long GetRecordCount();

    bool GetFieldValue(const std::string& name, std::string& value,
                       const std::string& dateFormat = "");
    bool GetFieldValue(int index, std::string& value, const std::string& dateFormat = "");
    bool GetFieldValue(int index, double& value);
    bool GetFieldValue(int index, DateTimeValue& value);

    // An empty text stores NULL. False (nothing stored) unless AddNew or Edit came first.
    bool SetFieldValue(const std::string& name, const std::string& value);
    bool SetFieldValue(int index, const std::string& value);
    bool SetFieldValue(const std::string& name, double value);
    bool SetFieldValue(const std::string& name, const DateTimeValue& value);
    bool PutFieldValue(const CVariant& key, const CVariant& value);

    bool AddNew();
    void Edit();
    bool Update();
    bool Delete();

    std::string GetQuery() const { return m_queryText; }
    EditMode GetEditMode() const { return m_editMode; }
    // Diagnosis only: the last error met by a guarded operation.
    const std::string& GetLastErrorText() const { return m_lastErrorText; }
    std::uint32_t GetLastErrorCode() const { return m_lastErrorCode; }

private:
    [[noreturn]] void RaiseComError(const CComError& error);
    CRecordset& Recordset() const;
    const CVariant& ReadField(const CVariant& key);
    const CVariant& ReadField(int index);

    RecordsetPtr m_recordset;
    ConnectionPtr m_connection;
    EditMode m_editMode = EditNone;
    std::string m_lastErrorText;
    std::uint32_t m_lastErrorCode = 0;
    std::string m_queryText;
};

#include "data/ADORecordset.h"

#include <memory>

#include "data/ADODatabase.h"
#include "data/ADOException.h"
#include "data/FieldConversion.h"
#include "platform/ado/ComError.h"

CADORecordset::CADORecordset(CADODatabase* pDatabase)
    : m_recordset(std::make_shared<CRecordset>()),
      m_connection(pDatabase != nullptr ? pDatabase->GetActiveConnection() : nullptr) {}

CADORecordset::~CADORecordset() {
    try {
        Close();
    } catch (...) {
    }
    m_recordset.reset();
    m_connection.reset();
}

CRecordset& CADORecordset::Recordset() const {
    if (!m_recordset)
        throw CComError(E_POINTER);
    return *m_recordset;
}

bool CADORecordset::Open(ConnectionPtr connection, const std::string& query, int mode) {
    Close();
    if (!query.empty())
        m_queryText = query;
    if (!m_connection)
        m_connection = connection;
    const size_t start = m_queryText.find_first_not_of(" \t\r\n\v\f");
    m_queryText.erase(0, start == std::string::npos ? m_queryText.size() : start);
    try {
        CRecordset& rs = Recordset();
        rs.PutCursorType(adOpenStatic);
        rs.PutCursorLocation(adUseClient);
        switch (mode) {
            case OpenDefault:
            case OpenQuery:
                rs.Open(m_queryText, connection, adOpenStatic, adLockOptimistic, adCmdUnknown);
                break;
            case OpenTable:
                rs.Open(m_queryText, connection, adOpenKeyset, adLockOptimistic, adCmdTable);
                break;
            default:
                return false;
        }
    } catch (const CComError& e) {
        RaiseComError(e);
    }
    return m_recordset && m_recordset->GetState() != 0;
}

void CADORecordset::Close() {
    if (!IsOpen())
        return;
    if (m_editMode != EditNone) {
        m_recordset->CancelUpdate();
        m_editMode = EditNone;
    }
    m_recordset->Close();
    // Cleared once closed, so no rows are put back in order only to be dropped.
    m_recordset->PutSort("");
}

bool CADORecordset::IsOpen() const {
    return m_recordset && m_connection && m_connection->GetState() != 0 &&
           m_recordset->GetState() != 0;
}

bool CADORecordset::IsEOF() const {
    return Recordset().IsEOF();
}

bool CADORecordset::IsBOF() const {
    return Recordset().IsBOF();
}

void CADORecordset::MoveNext() {
    Recordset().MoveNext();
}

void CADORecordset::MoveFirst() {
    Recordset().MoveFirst();
}

long CADORecordset::GetRecordCount() {
    // The rows are held in memory, so the count is always known.
    return Recordset().GetRecordCount();
}

const CVariant& CADORecordset::ReadField(const CVariant& key) {
    try {
        return Recordset().GetValue(key);
    } catch (const CComError& e) {
        RaiseComError(e);
    }
}

const CVariant& CADORecordset::ReadField(int index) {
    try {
        // A position travels as a 16-bit integer, as it always has.
        return Recordset().GetValueAt(static_cast<std::int16_t>(index));
    } catch (const CComError& e) {
        RaiseComError(e);
    }
}

bool CADORecordset::GetFieldValue(const std::string& name, std::string& value,
                                  const std::string& dateFormat) {
    return VariantToText(ReadField(CVariant::FromText(name)), dateFormat, value);
}

bool CADORecordset::GetFieldValue(int index, std::string& value, const std::string& dateFormat) {
    return VariantToText(ReadField(index), dateFormat, value);
}

bool CADORecordset::GetFieldValue(int index, double& value) {
    value = VariantToDouble(ReadField(index));
    return true;
}

bool CADORecordset::GetFieldValue(int index, DateTimeValue& value) {
    return VariantToDateTime(ReadField(index), value);
}

namespace {

CVariant TextValue(const std::string& value) {
    return value.empty() ? CVariant::Null() : CVariant::FromText(value);
}

}  // namespace

bool CADORecordset::SetFieldValue(const std::string& name, const std::string& value) {
    return PutFieldValue(CVariant::FromText(name), TextValue(value));
}

bool CADORecordset::SetFieldValue(int index, const std::string& value) {
    return PutFieldValue(CVariant::FromI2(static_cast<std::int16_t>(index)), TextValue(value));
}

bool CADORecordset::SetFieldValue(const std::string& name, double value) {
    return PutFieldValue(CVariant::FromText(name), CVariant::FromR8(value));
}

bool CADORecordset::SetFieldValue(const std::string& name, const DateTimeValue& value) {
    return PutFieldValue(CVariant::FromText(name), CVariant::FromDate(value.GetDays()));
}

bool CADORecordset::PutFieldValue(const CVariant& key, const CVariant& value) {
    if (m_editMode == EditNone)
        return false;
    try {
        Recordset().PutValue(key, value);
    } catch (const CComError& e) {
        RaiseComError(e);
    }
    return true;
}

bool CADORecordset::AddNew() {
    m_editMode = EditNone;
    Recordset().AddNew();
    m_editMode = EditNew;
    return true;
}

void CADORecordset::Edit() {
    m_editMode = EditExisting;
}

bool CADORecordset::Update() {
    if (m_editMode == EditNone)
        return true;
    try {
        Recordset().Update();
    } catch (const CComError& e) {
        RaiseComError(e);
    }
    m_editMode = EditNone;
    return true;
}

bool CADORecordset::Delete() {
    Recordset().Delete(adAffectCurrent);
    m_recordset->Update();
    m_editMode = EditNone;
    return true;
}

void CADORecordset::RaiseComError(const CComError& error) {
    const std::string text = FormatComErrorText("CADORecordset Error", error);
    m_lastErrorText = "Query = " + GetQuery() + "\n" + text;
    m_lastErrorCode = static_cast<std::uint32_t>(error.Error());
    throw CADOException(error.Error(), error.Description(), error.Facts());
}

#pragma once

#include <cstdint>
#include <string>

// Result codes in the COM style: negative means failure.
using HRESULT = std::int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_ACCESSDENIED = static_cast<HRESULT>(0x80070005);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005);
constexpr HRESULT DISP_E_OVERFLOW = static_cast<HRESULT>(0x8002000A);
// Provider codes (OLE DB).
constexpr HRESULT DB_E_CANTCONVERTVALUE = static_cast<HRESULT>(0x80040E07);
constexpr HRESULT DB_E_ERRORSINCOMMAND = static_cast<HRESULT>(0x80040E14);
constexpr HRESULT DB_E_INTEGRITYVIOLATION = static_cast<HRESULT>(0x80040E2F);
constexpr HRESULT DB_E_NOTABLE = static_cast<HRESULT>(0x80040E37);
// ADO object codes.
constexpr HRESULT ADO_E_NOCURRENTRECORD = static_cast<HRESULT>(0x800A0BCD);
constexpr HRESULT ADO_E_FEATURENOTAVAILABLE = static_cast<HRESULT>(0x800A0CB3);
constexpr HRESULT ADO_E_ITEMNOTFOUND = static_cast<HRESULT>(0x800A0CC1);
constexpr HRESULT ADO_E_OBJECTCLOSED = static_cast<HRESULT>(0x800A0E78);
constexpr HRESULT ADO_E_PROVIDERNOTFOUND = static_cast<HRESULT>(0x800A0E7A);

// The error object every failing call of the connection/recordset layer throws:
// a result code plus the failing object's source and description.
class CComError {
public:
    explicit CComError(HRESULT hr, std::string source = {}, std::string description = {});

    HRESULT Error() const { return m_hr; }
    const std::string& Source() const { return m_strSource; }
    const std::string& Description() const { return m_strDescription; }
    // Text for the code: a system message when there is one, else a generic form.
    const std::string& ErrorMessage() const;

private:
    HRESULT m_hr;
    std::string m_strSource;
    std::string m_strDescription;
    mutable std::string m_strMessage;
    mutable bool m_bMessageMade = false;
};

// The code-meaning text on its own (what ErrorMessage returns).
std::string ComErrorMessageText(HRESULT hr);

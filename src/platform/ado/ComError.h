#pragma once

#include <cstdint>
#include <stdexcept>
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
constexpr HRESULT ADO_E_OBJECTOPEN = static_cast<HRESULT>(0x800A0E79);
constexpr HRESULT ADO_E_PROVIDERNOTFOUND = static_cast<HRESULT>(0x800A0E7A);
constexpr HRESULT ADO_E_INVALIDCONNECTION = static_cast<HRESULT>(0x800A0E7D);

// The engine's primary result codes a failure can carry (the engine's own
// numbering, stable across its versions), so that callers need not include it.
namespace EngineCode {
constexpr int Error = 1;
constexpr int Perm = 3;
constexpr int Busy = 5;
constexpr int Locked = 6;
constexpr int NoMem = 7;
constexpr int ReadOnly = 8;
constexpr int IoErr = 10;
constexpr int Corrupt = 11;
constexpr int Full = 13;
constexpr int CantOpen = 14;
constexpr int Constraint = 19;
constexpr int Mismatch = 20;
constexpr int Auth = 23;
constexpr int NotADb = 26;
}  // namespace EngineCode

// What was found wrong with the file itself before the engine read it.
enum class FileFault : std::uint8_t {
    None,
    Missing,
    Folder,
    NotRegular,   // a pipe, device or socket
    PathTooLong,  // longer than the engine can open
    JetFormat,    // a Microsoft Access file
    NotDatabase,  // not a file of the engine
};

// A table or column a statement or field lookup named and the file lacks.
enum class Lack : std::uint8_t { None, Table, Column };

// The facts of a failure, for whoever words it for people.
struct ComErrorFacts {
    int engineCode = 0;    // primary result code; 0 when the engine was not involved
    int extendedCode = 0;  // the engine's extended result code
    std::string path;      // the file the connection works on
    FileFault fileFault = FileFault::None;
    Lack lack = Lack::None;
    std::string lackName;         // the missing table or column
    std::string statement;        // the statement that failed, when there was one
    std::string server;           // the server the connection works on; empty for a file
    std::string state;            // the server's five-character SQLSTATE
    bool connectionLost = false;  // the server could not be reached or went away
};

// A transaction that lost a clash with another one and can simply be run again.
inline bool IsSerializationFailure(const ComErrorFacts& facts) {
    return facts.state == "40001" || facts.state == "40P01";
}

// The error object every failing call of the connection/recordset layer throws:
// a result code, the failing object's source, a plain English description for
// logs, and the facts. what() is the technical text (ComErrorTechnicalText).
// Nothing in this layer words a failure for the household.
class CComError : public std::runtime_error {
public:
    explicit CComError(HRESULT hr, std::string source = {}, std::string description = {},
                       ComErrorFacts facts = {});

    HRESULT Error() const { return m_hr; }
    const std::string& Source() const { return m_strSource; }
    const std::string& Description() const { return m_strDescription; }
    const ComErrorFacts& Facts() const { return m_facts; }
    // Text for the code: a system message when there is one, else a generic form.
    const std::string& ErrorMessage() const;

private:
    HRESULT m_hr;
    std::string m_strSource;
    std::string m_strDescription;
    ComErrorFacts m_facts;
    mutable std::string m_strMessage;
    mutable bool m_bMessageMade = false;
};

// The code-meaning text on its own (what ErrorMessage returns).
std::string ComErrorMessageText(HRESULT hr);

// One line for a log: the description (else the code's meaning), then the code, the source,
// the engine's primary and extended codes, the file and the statement, where known.
std::string ComErrorTechnicalText(HRESULT hr, const std::string& source,
                                  const std::string& description, const ComErrorFacts& facts);

#include "platform/ado/ComError.h"

#include <cstdio>
#include <utility>

namespace {

struct SystemMessage {
    HRESULT hr;
    const char* text;
};

// The system messages for the codes this layer raises itself; they end in CR LF
// like the platform's message table and are trimmed the same way.
constexpr SystemMessage kSystemMessages[] = {
    {S_OK, "The operation completed successfully.\r\n"},
    {E_NOTIMPL, "Not implemented\r\n"},
    {E_POINTER, "Invalid pointer\r\n"},
    {E_FAIL, "Unspecified error\r\n"},
    {E_ACCESSDENIED, "Access is denied.\r\n"},
    {E_OUTOFMEMORY, "Not enough storage is available to complete this operation.\r\n"},
    {E_INVALIDARG, "The parameter is incorrect.\r\n"},
    {DISP_E_TYPEMISMATCH, "Type mismatch.\r\n"},
    {DISP_E_OVERFLOW, "Out of present range.\r\n"},
};

const char* FindSystemMessage(HRESULT hr) {
    for (const auto& m : kSystemMessages) {
        if (m.hr == hr)
            return m.text;
    }
    return nullptr;
}

// A log line is one line, whatever the engine's message or the statement held.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    return text;
}

}  // namespace

CComError::CComError(HRESULT hr, std::string source, std::string description, ComErrorFacts facts)
    : std::runtime_error(ComErrorTechnicalText(hr, source, description, facts)),
      m_hr(hr),
      m_strSource(std::move(source)),
      m_strDescription(std::move(description)),
      m_facts(std::move(facts)) {}

const std::string& CComError::ErrorMessage() const {
    if (!m_bMessageMade) {
        m_strMessage = ComErrorMessageText(m_hr);
        m_bMessageMade = true;
    }
    return m_strMessage;
}

std::string ComErrorMessageText(HRESULT hr) {
    if (const char* text = FindSystemMessage(hr)) {
        std::string s = text;
        if (s.size() > 1 && s.back() == '\n') {
            s.pop_back();
            if (!s.empty() && s.back() == '\r')
                s.pop_back();
        }
        return s;
    }
    const auto code = static_cast<std::uint32_t>(hr);
    char buf[32];
    if (code > 0x80040200u && code <= 0x8004FFFFu) {
        std::snprintf(buf, sizeof buf, "IDispatch error #%d", static_cast<int>(code - 0x80040200u));
    } else {
        std::snprintf(buf, sizeof buf, "Unknown error 0x%0lX", static_cast<unsigned long>(code));
    }
    return buf;
}

std::string ComErrorTechnicalText(HRESULT hr, const std::string& source,
                                  const std::string& description, const ComErrorFacts& facts) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    std::string text = OneLine(description.empty() ? ComErrorMessageText(hr) : description);
    text += std::string(" [code ") + code;
    if (!source.empty())
        text += ", source " + source;
    if (facts.engineCode != 0) {
        text += ", engine code " + std::to_string(facts.engineCode) + ", extended code " +
                std::to_string(facts.extendedCode);
    }
    if (!facts.path.empty())
        text += ", file " + facts.path;
    if (!facts.statement.empty())
        text += ", statement: " + OneLine(facts.statement);
    return text + "]";
}

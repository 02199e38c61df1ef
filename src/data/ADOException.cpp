#include "data/ADOException.h"

#include <cstdio>
#include <utility>

#include "platform/ado/ComError.h"

CADOException::CADOException(std::int32_t code, std::string description, ComErrorFacts facts)
    : std::runtime_error(ComErrorTechnicalText(code, {}, description, facts)),
      m_description(std::move(description)),
      m_code(code),
      m_facts(std::move(facts)) {}

CADOException::~CADOException() = default;

std::string FormatComErrorText(const char* heading, const CComError& error) {
    char code[16];
    std::snprintf(code, sizeof code, "%08lx",
                  static_cast<unsigned long>(static_cast<std::uint32_t>(error.Error())));
    return std::string(heading) + "\n\tCode = " + code +
           "\n\tCode meaning = " + error.ErrorMessage() + "\n\tSource = " + error.Source() +
           "\n\tDescription = " + error.Description() + "\n";
}

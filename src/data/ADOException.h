#pragma once

#include <cstdint>
#include <string>

#include "platform/ado/ComError.h"

// A database failure met inside a guarded operation of CADODatabase or
// CADORecordset; thrown by value.
class CADOException {
public:
    CADOException(std::int32_t code, std::string description, ComErrorFacts facts = {});
    virtual ~CADOException();

    std::string m_description;  // empty when the failing object gave none
    std::int32_t m_code;        // the failing call's result code
    ComErrorFacts m_facts;      // engine codes, file path, what the book lacks
};

// The four-line error text the data-access objects record:
// "<heading>\n\tCode = %08lx\n\tCode meaning = %s\n\tSource = %s\n\tDescription = %s\n".
std::string FormatComErrorText(const char* heading, const CComError& error);

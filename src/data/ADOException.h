#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/ado/ComError.h"

// A database failure met inside a guarded operation of CADODatabase or
// CADORecordset; thrown by value. what() is the technical text for the log
// (ComErrorTechnicalText); the words users read come from DescribeDatabaseFailure.
class CADOException : public std::runtime_error {
public:
    CADOException(std::int32_t code, std::string description, ComErrorFacts facts = {});
    ~CADOException() override;

    std::string m_description;  // empty when the failing object gave none
    std::int32_t m_code;        // the failing call's result code
    ComErrorFacts m_facts;      // engine codes, file path, statement, what the book lacks
};

// The four-line error text the data-access objects record:
// "<heading>\n\tCode = %08lx\n\tCode meaning = %s\n\tSource = %s\n\tDescription = %s\n".
std::string FormatComErrorText(const char* heading, const CComError& error);

#pragma once

#include <libpq-fe.h>

// libpq, loaded the first time a server book is opened: a family whose book is a file never
// loads it, nor the TLS, Kerberos and LDAP libraries it brings along.

// clang-format off
#define TILLBOOK_LIBPQ_FUNCTIONS(X) \
    X(PQclear) X(PQcmdTuples) X(PQconnectdb) X(PQdb) X(PQdescribePrepared) X(PQerrorMessage) \
    X(PQexec) X(PQexecParams) X(PQfinish) X(PQfname) X(PQfreemem) X(PQftable) X(PQftablecol) \
    X(PQftype) X(PQgetisnull) X(PQgetlength) X(PQgetvalue) X(PQhost) X(PQnfields) X(PQntuples) \
    X(PQport) X(PQprepare) X(PQresultErrorField) X(PQresultStatus) X(PQstatus) X(PQunescapeBytea) \
    X(PQuser)
// clang-format on

struct LibPq {
#define TILLBOOK_LIBPQ_POINTER(name) decltype(&::name) name = nullptr;
    TILLBOOK_LIBPQ_FUNCTIONS(TILLBOOK_LIBPQ_POINTER)
#undef TILLBOOK_LIBPQ_POINTER
};

// The library's functions, loaded on the first call; throws CComError when libpq cannot be
// loaded (the package libpq5 is missing) or lacks one of them.
const LibPq& Pq();

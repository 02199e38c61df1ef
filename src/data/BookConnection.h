#pragma once

// Every dialog reaches the household book in the working directory through this string.
constexpr const char* kBookConnectionString =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=data.mdb";

#pragma once

#include <string>
#include <vector>

// A record as a test writes it into the book in the working directory.
struct BookRow {
    bool income = true;
    std::string when;  // "YYYY-MM-DD HH:MM:SS"
    double amount = 0;
    bool hasAmount = true;  // false stores NULL
    std::string person;     // "" stores NULL
    std::string item;
};

BookRow Income(const std::string& when, double amount, const std::string& person = "爸爸",
               const std::string& item = "工资");
BookRow Pay(const std::string& when, double amount, const std::string& person = "妈妈",
            const std::string& item = "餐饮");

// Rows spread over the years firstYear..lastYear: amounts with awkward fen (0.1, 0.2, 1.005,
// negatives, unrounded values), some at midnight, a few NULL amounts and NULL members.
std::vector<BookRow> GenerateRows(int count, int firstYear, int lastYear, unsigned seed);

// Writes the rows in one transaction.
void AddRows(const std::vector<BookRow>& rows);

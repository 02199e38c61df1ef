#include "platform/ado/JetDialect.h"

#include <cctype>
#include <cstdio>
#include <vector>

#include "platform/ado/ComError.h"
#include "platform/ado/OleDate.h"

namespace {

enum class TokKind { Space, Word, Quoted, Punct, Date, Comment };

struct Token {
    TokKind kind;
    std::string_view text;
};

bool IsWordByte(unsigned char c) {
    return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80;
}

// Finds the end of a run enclosed by `close`, where a doubled `close` stands for
// itself (as in 'it''s'). Returns the position after the closing character or npos.
size_t EndOfQuoted(std::string_view s, size_t start, char close, bool doubling) {
    for (size_t i = start + 1; i < s.size(); ++i) {
        if (s[i] == close) {
            if (doubling && i + 1 < s.size() && s[i + 1] == close) {
                ++i;
                continue;
            }
            return i + 1;
        }
    }
    return std::string_view::npos;
}

std::vector<Token> Tokenize(std::string_view s) {
    std::vector<Token> out;
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t end = i + 1;
        TokKind kind = TokKind::Punct;
        if (std::isspace(c)) {
            while (end < s.size() && std::isspace(static_cast<unsigned char>(s[end])))
                ++end;
            kind = TokKind::Space;
        } else if (c == '\'' || c == '"' || c == '`' || c == '[') {
            end = EndOfQuoted(s, i, c == '[' ? ']' : static_cast<char>(c), c != '[');
            // An unterminated quote is left for the engine to reject.
            if (end == std::string_view::npos)
                end = s.size();
            kind = TokKind::Quoted;
        } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
            end = s.find('\n', i);
            end = end == std::string_view::npos ? s.size() : end + 1;
            kind = TokKind::Comment;
        } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            end = s.find("*/", i + 2);
            end = end == std::string_view::npos ? s.size() : end + 2;
            kind = TokKind::Comment;
        } else if (c == '#') {
            end = s.find('#', i + 1);
            if (end == std::string_view::npos) {
                throw CComError(
                    DB_E_ERRORSINCOMMAND, "SQLite",
                    "Syntax error in date in query expression '" + std::string(s.substr(i)) + "'.");
            }
            ++end;
            kind = TokKind::Date;
        } else if (IsWordByte(c)) {
            while (end < s.size() && IsWordByte(static_cast<unsigned char>(s[end])))
                ++end;
            kind = TokKind::Word;
        }
        out.push_back({kind, s.substr(i, end - i)});
        i = end;
    }
    return out;
}

bool ReadDigits(std::string_view s, size_t& pos, int maxDigits, int& out) {
    int n = 0;
    out = 0;
    while (pos < s.size() && n < maxDigits && std::isdigit(static_cast<unsigned char>(s[pos]))) {
        out = out * 10 + (s[pos++] - '0');
        ++n;
    }
    return n > 0;
}

// "#2010-03-05#" or "#2010-03-05 14:07:09#" (also '/' separators, H:MM) -> ISO literal.
std::string DateLiteralToSql(std::string_view literal) {
    std::string_view s = literal.substr(1, literal.size() - 2);
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    size_t pos = 0;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
    bool ok = ReadDigits(s, pos, 4, y) && pos < s.size() && (s[pos] == '-' || s[pos] == '/');
    const char sep = ok ? s[pos++] : 0;
    ok = ok && ReadDigits(s, pos, 2, mo) && pos < s.size() && s[pos++] == sep &&
         ReadDigits(s, pos, 2, d);
    if (ok && pos < s.size()) {
        ok = s[pos++] == ' ';
        while (ok && pos < s.size() && s[pos] == ' ')
            ++pos;
        ok = ok && ReadDigits(s, pos, 2, h) && pos < s.size() && s[pos++] == ':' &&
             ReadDigits(s, pos, 2, mi);
        if (ok && pos < s.size())
            ok = s[pos++] == ':' && ReadDigits(s, pos, 2, sec);
        ok = ok && pos == s.size();
    }
    double date = 0;
    if (!ok || !OleDateFromFields(y, mo, d, h, mi, sec, 0, date)) {
        throw CComError(DB_E_ERRORSINCOMMAND, "SQLite",
                        "Syntax error in date in query expression '" + std::string(literal) + "'.");
    }
    return "'" + OleDateToIsoText(date) + "'";
}

// Whether a character next to a text literal could join it into one token: a quote doubles
// into the literal, a letter makes a prefix (x'..' is a blob), another literal runs on.
bool JoinsALiteral(char c) {
    return IsWordByte(static_cast<unsigned char>(c)) || c == '\'' || c == '"' || c == '`' ||
           c == '[' || c == ']' || c == '#';
}

bool IsKeyword(std::string_view word, const char* keyword) {
    size_t n = 0;
    for (; keyword[n]; ++n) {
        if (n >= word.size() || std::tolower(static_cast<unsigned char>(word[n])) != keyword[n]) {
            return false;
        }
    }
    return n == word.size();
}

bool IsIdentifierToken(const Token& t) {
    return t.kind == TokKind::Word || (t.kind == TokKind::Quoted && t.text[0] != '\'');
}

// The table of "select <columns> from <table> [alias] [where ...] [order by ...]"
// when the columns are plain (no function calls or distinct) and nothing joins,
// groups or combines rows; otherwise empty.
std::string SingleTableOf(const std::vector<Token>& all, size_t& selectIndex) {
    std::vector<size_t> idx;  // indexes of the meaningful tokens
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].kind != TokKind::Space && all[i].kind != TokKind::Comment)
            idx.push_back(i);
    }
    if (idx.empty() || !IsKeyword(all[idx[0]].text, "select"))
        return {};
    selectIndex = idx[0];
    size_t k = 1;
    for (; k < idx.size(); ++k) {
        const Token& t = all[idx[k]];
        if (t.kind == TokKind::Word && IsKeyword(t.text, "from"))
            break;
        if (t.kind == TokKind::Punct && (t.text == "(" || t.text == ")"))
            return {};
        if (t.kind == TokKind::Word && (IsKeyword(t.text, "distinct") || IsKeyword(t.text, "top")))
            return {};
    }
    if (k + 1 >= idx.size() || !IsIdentifierToken(all[idx[k + 1]]))
        return {};
    const Token& table = all[idx[k + 1]];
    int depth = 0;
    bool clauseSeen = false;
    for (size_t j = k + 2; j < idx.size(); ++j) {
        const Token& t = all[idx[j]];
        if (t.kind == TokKind::Punct) {
            if (t.text == "(")
                ++depth;
            if (t.text == ")")
                --depth;
            if (depth == 0 && (t.text == "," || t.text == ";"))
                return {};
            continue;
        }
        if (t.kind != TokKind::Word || depth != 0)
            continue;
        for (const char* kw : {"join", "group", "having", "union", "intersect", "except", "window",
                               "inner", "left", "right", "cross", "natural"}) {
            if (IsKeyword(t.text, kw))
                return {};
        }
        if (IsKeyword(t.text, "where") || IsKeyword(t.text, "order") ||
            IsKeyword(t.text, "limit")) {
            clauseSeen = true;
        } else if (!clauseSeen && j > k + 3) {
            return {};  // more than "table [as] alias" before the first clause
        }
    }
    return UnquoteTableName(table.text);
}

}  // namespace

std::string QuoteIdentifier(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"')
            out += '"';
    }
    out += '"';
    return out;
}

std::string SqlIdentifier(const std::string& name) {
    if (name.find(']') == std::string::npos)
        return "[" + name + "]";
    return QuoteIdentifier(name);
}

std::string UnquoteTableName(std::string_view s) {
    if (s.size() >= 2 && s.front() == '[' && s.back() == ']') {
        return std::string(s.substr(1, s.size() - 2));
    }
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '`') && s.back() == s.front()) {
        std::string out;
        for (size_t i = 1; i + 1 < s.size(); ++i) {
            out += s[i];
            if (s[i] == s.front() && s[i + 1] == s.front())
                ++i;
        }
        return out;
    }
    return std::string(s);
}

JetTranslation TranslateJetStatement(std::string_view jet) {
    const std::vector<Token> tokens = Tokenize(jet);
    JetTranslation result;
    size_t selectIndex = 0;
    result.identityTable = SingleTableOf(tokens, selectIndex);
    result.sql.reserve(jet.size() + 32);
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind == TokKind::Date) {
            // The literal stays one token of its own whatever stands next to it.
            if (!result.sql.empty() && JoinsALiteral(result.sql.back()))
                result.sql += ' ';
            result.sql += DateLiteralToSql(t.text);
            if (i + 1 < tokens.size() && JoinsALiteral(tokens[i + 1].text.front()))
                result.sql += ' ';
        } else {
            result.sql.append(t.text);
        }
        if (!result.identityTable.empty() && i == selectIndex) {
            result.sqlWithIdentity = result.sql + " rowid,";
        }
    }
    if (!result.identityTable.empty()) {
        result.sqlWithIdentity += result.sql.substr(result.sqlWithIdentity.size() - 7);
    }
    return result;
}

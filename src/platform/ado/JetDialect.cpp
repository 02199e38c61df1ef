#include "platform/ado/JetDialect.h"

#include <cctype>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <utility>
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

namespace {

bool IsOneOf(std::string_view word, std::initializer_list<const char*> keywords) {
    for (const char* k : keywords) {
        if (IsKeyword(word, k))
            return true;
    }
    return false;
}

// Words the server reads as SQL rather than as a table or column name.
bool IsSqlWord(std::string_view word) {
    return IsOneOf(word, {"select",
                          "from",
                          "where",
                          "and",
                          "or",
                          "not",
                          "null",
                          "is",
                          "in",
                          "like",
                          "ilike",
                          "between",
                          "order",
                          "by",
                          "group",
                          "having",
                          "asc",
                          "desc",
                          "as",
                          "on",
                          "join",
                          "inner",
                          "left",
                          "right",
                          "outer",
                          "cross",
                          "full",
                          "natural",
                          "union",
                          "all",
                          "intersect",
                          "except",
                          "distinct",
                          "insert",
                          "into",
                          "values",
                          "update",
                          "set",
                          "delete",
                          "default",
                          "limit",
                          "offset",
                          "case",
                          "when",
                          "then",
                          "else",
                          "end",
                          "exists",
                          "escape",
                          "cast",
                          "true",
                          "false",
                          "using",
                          "with",
                          "returning",
                          "nulls",
                          "first",
                          "last",
                          "any",
                          "some",
                          "interval",
                          "current_date",
                          "current_time",
                          "current_timestamp",
                          "localtimestamp",
                          "create",
                          "table",
                          "drop",
                          "alter",
                          "index",
                          "primary",
                          "key",
                          "unique",
                          "references",
                          "constraint",
                          "check",
                          "rename",
                          "to",
                          "view",
                          "cascade",
                          "add",
                          "column",
                          "if",
                          "begin",
                          "commit",
                          "rollback",
                          "transaction",
                          "integer",
                          "int",
                          "bigint",
                          "smallint",
                          "double",
                          "precision",
                          "real",
                          "text",
                          "varchar",
                          "char",
                          "date",
                          "timestamp",
                          "numeric",
                          "decimal",
                          "boolean",
                          "time"});
}

std::string DoubleQuoted(std::string_view name) {
    return QuoteIdentifier(name);
}

// The next token that is neither space nor comment, or null.
const Token* NextMeaningful(const std::vector<Token>& tokens, size_t i) {
    for (++i; i < tokens.size(); ++i) {
        if (tokens[i].kind != TokKind::Space && tokens[i].kind != TokKind::Comment)
            return &tokens[i];
    }
    return nullptr;
}

const Token* PreviousMeaningful(const std::vector<Token>& tokens, size_t i) {
    while (i-- > 0) {
        if (tokens[i].kind != TokKind::Space && tokens[i].kind != TokKind::Comment)
            return &tokens[i];
    }
    return nullptr;
}

bool IsDatePart(std::string_view word) {
    return IsOneOf(word, {"year", "month", "day", "hour", "minute", "second"});
}

// One token as the server's dialect writes it: names quoted as written (so mixed-case and
// Chinese names and words like "user" mean the column), Jet's date parts and "&" joins.
std::string ServerToken(const std::vector<Token>& tokens, size_t i) {
    const Token& t = tokens[i];
    if (t.kind == TokKind::Quoted && (t.text[0] == '[' || t.text[0] == '`'))
        return DoubleQuoted(UnquoteTableName(t.text));
    if (t.kind == TokKind::Punct && t.text == "&")
        return "||";
    // Jet's Year(d) and the like: the part named first, as the server's date_part takes it.
    if (t.kind == TokKind::Punct && t.text == "(") {
        const Token* before = PreviousMeaningful(tokens, i);
        if (before != nullptr && before->kind == TokKind::Word && IsDatePart(before->text)) {
            std::string part(before->text);
            for (char& c : part)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return "('" + part + "', ";
        }
    }
    if (t.kind != TokKind::Word || std::isdigit(static_cast<unsigned char>(t.text[0])))
        return std::string(t.text);
    const Token* next = NextMeaningful(tokens, i);
    const Token* before = PreviousMeaningful(tokens, i);
    // "into t (a, b)": a table before its column list, not a call.
    const bool named = before != nullptr && before->kind == TokKind::Word &&
                       IsOneOf(before->text, {"into", "update", "table", "from", "join"});
    if (next != nullptr && next->text == "(" && !named)
        return IsDatePart(t.text) ? "date_part" : std::string(t.text);
    if (IsKeyword(t.text, "like"))
        return "ILIKE";  // Jet compares text without case, as the file engine does for ASCII
    if (IsKeyword(t.text, "integer") || IsKeyword(t.text, "int"))
        return "bigint";  // Jet's and the file engine's whole numbers have 64 bits here
    if (IsSqlWord(t.text))
        return std::string(t.text);
    return DoubleQuoted(t.text);
}

// "select top N ..." -> the tokens of "top N" and N; none when the statement has no TOP.
std::optional<std::pair<size_t, size_t>> TopClause(const std::vector<Token>& tokens,
                                                   std::string& count) {
    size_t i = 0;
    while (i < tokens.size() &&
           (tokens[i].kind == TokKind::Space || tokens[i].kind == TokKind::Comment))
        ++i;
    if (i >= tokens.size() || !IsKeyword(tokens[i].text, "select"))
        return std::nullopt;
    const Token* top = NextMeaningful(tokens, i);
    if (top == nullptr || top->kind != TokKind::Word || !IsKeyword(top->text, "top"))
        return std::nullopt;
    const size_t topIndex = static_cast<size_t>(top - tokens.data());
    const Token* n = NextMeaningful(tokens, topIndex);
    if (n == nullptr || n->kind != TokKind::Word ||
        n->text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    count = n->text;
    return std::make_pair(topIndex, static_cast<size_t>(n - tokens.data()));
}

bool HasOrderBy(const std::vector<Token>& tokens) {
    int depth = 0;
    for (const Token& t : tokens) {
        if (t.kind == TokKind::Punct && t.text == "(")
            ++depth;
        if (t.kind == TokKind::Punct && t.text == ")")
            --depth;
        if (depth == 0 && t.kind == TokKind::Word && IsKeyword(t.text, "order"))
            return true;
    }
    return false;
}

// The order the file engine gives a plain select: a range on a column as the first condition
// is read through that column's index, so in its order; anything else in the order stored.
std::string StoredOrderOf(const std::vector<Token>& tokens) {
    std::vector<const Token*> words;
    for (const Token& t : tokens) {
        if (t.kind != TokKind::Space && t.kind != TokKind::Comment)
            words.push_back(&t);
    }
    for (size_t i = 0; i + 2 < words.size(); ++i) {
        if (words[i]->kind != TokKind::Word || !IsKeyword(words[i]->text, "where"))
            continue;
        const Token& column = *words[i + 1];
        const std::string_view op = words[i + 2]->text;
        const bool unequal = op == "<" && i + 3 < words.size() && words[i + 3]->text == ">";
        const bool range = ((op == ">" || op == "<") && !unequal) ||
                           (words[i + 2]->kind == TokKind::Word && IsKeyword(op, "between"));
        if (range && IsIdentifierToken(column) && !IsSqlWord(column.text))
            return "ORDER BY " + QuoteIdentifier(UnquoteTableName(column.text)) + ", rowid";
        break;
    }
    return "ORDER BY rowid";
}

// Puts `tail` after the statement, before a closing semicolon, past a closing comment.
void Append(std::string& sql, const std::string& tail) {
    size_t end = sql.size();
    while (end > 0 &&
           (std::isspace(static_cast<unsigned char>(sql[end - 1])) || sql[end - 1] == ';'))
        --end;
    sql.resize(end);
    sql += "\n" + tail;
}

}  // namespace

JetTranslation TranslateJetStatement(std::string_view jet, EngineKind target) {
    const bool server = target == EngineKind::PostgreSQL;
    const std::vector<Token> tokens = Tokenize(jet);
    JetTranslation result;
    size_t selectIndex = 0;
    result.identityTable = SingleTableOf(tokens, selectIndex);
    std::string topCount;
    const auto top = TopClause(tokens, topCount);
    // Server target: the nesting depth, and the open round( calls.
    struct Round {
        int depth;
        size_t start;     // of "round" in the output
        size_t argStart;  // after its "("
    };
    int depth = 0;
    std::vector<Round> rounds;
    result.sql.reserve(jet.size() + 32);
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (top && i >= top->first && i <= top->second)
            continue;
        if (t.kind == TokKind::Date) {
            // The literal stays one token of its own whatever stands next to it.
            if (!result.sql.empty() && JoinsALiteral(result.sql.back()))
                result.sql += ' ';
            result.sql += (server ? "TIMESTAMP " : "") + DateLiteralToSql(t.text);
            if (i + 1 < tokens.size() && JoinsALiteral(tokens[i + 1].text.front()))
                result.sql += ' ';
        } else if (server) {
            result.sql += ServerToken(tokens, i);
            if (t.kind == TokKind::Punct && t.text == "(") {
                ++depth;
                const Token* before = PreviousMeaningful(tokens, i);
                if (before != nullptr && before->kind == TokKind::Word &&
                    IsKeyword(before->text, "round"))
                    rounds.push_back({depth, result.sql.rfind(before->text), result.sql.size()});
            }
            if (!rounds.empty() && rounds.back().depth == depth &&
                (t.text == ")" || t.text == ",")) {
                const Round r = rounds.back();
                rounds.pop_back();
                const std::string arg =
                    result.sql.substr(r.argStart, result.sql.size() - 1 - r.argStart);
                // Halves away from zero on the double itself, as Jet and the file engine round;
                // with a count of digits, the server's decimal rounding.
                if (t.text == ")")
                    result.sql.replace(r.start, std::string::npos,
                                       "trunc((" + arg + ") + sign(" + arg + ") * 0.5)");
                else
                    result.sql.replace(r.argStart, std::string::npos,
                                       "CAST(" + arg + " AS numeric),");
            }
            if (t.kind == TokKind::Punct && t.text == ")")
                --depth;
        } else {
            result.sql.append(t.text);
        }
        if (!result.identityTable.empty() && i == selectIndex) {
            result.sqlWithIdentity = result.sql + " rowid,";
        }
    }
    if (!result.identityTable.empty()) {
        result.sqlWithIdentity += result.sql.substr(result.sqlWithIdentity.size() - 7);
        // The server keeps no order of its own: rows of one table come in the order they
        // were stored, as the file gives them.
        if (server && !HasOrderBy(tokens)) {
            const std::string order = StoredOrderOf(tokens);
            Append(result.sql, order);
            Append(result.sqlWithIdentity, order);
        }
    }
    if (top) {
        Append(result.sql, "LIMIT " + topCount);
        if (!result.sqlWithIdentity.empty())
            Append(result.sqlWithIdentity, "LIMIT " + topCount);
    }
    return result;
}

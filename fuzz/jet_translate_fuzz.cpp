// The Jet translator never changes quoted text: every quoted run of the statement comes out as
// the same run, each #date# literal as one text literal of its own, and nothing merges.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ado/ComError.h"
#include "platform/ado/JetDialect.h"

namespace {

struct Quoted {
    std::string text;
    bool prefixed;  // a lone x right before it: x'..' reads as a blob
};

bool IsWordByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
           c == '$' || c >= 0x80;
}

// The quoted runs of a statement as SQLite reads them (a doubled quote stays inside), with
// comments skipped. With `dates`, #...# is a run too (the translator's input).
std::vector<Quoted> QuotedRuns(std::string_view s, bool dates) {
    std::vector<Quoted> out;
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
            const std::size_t end = s.find('\n', i);
            i = end == std::string_view::npos ? s.size() : end + 1;
        } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            const std::size_t end = s.find("*/", i + 2);
            i = end == std::string_view::npos ? s.size() : end + 2;
        } else if (c == '\'' || c == '"' || c == '`' || c == '[' || (dates && c == '#')) {
            const char close = c == '[' ? ']' : c;
            const bool doubling = c != '[' && c != '#';
            std::size_t end = i + 1;
            for (; end < s.size(); ++end) {
                if (s[end] == close) {
                    if (doubling && end + 1 < s.size() && s[end + 1] == close) {
                        ++end;
                        continue;
                    }
                    ++end;
                    break;
                }
            }
            if (end > s.size())
                end = s.size();
            const bool prefixed = i > 0 && (s[i - 1] == 'x' || s[i - 1] == 'X') &&
                                  (i == 1 || !IsWordByte(static_cast<unsigned char>(s[i - 2])));
            out.push_back({std::string(s.substr(i, end - i)), prefixed});
            i = end;
        } else {
            ++i;
        }
    }
    return out;
}

bool IsDateText(const std::string& t) {
    // '2010-03-05 14:07:09' with an optional .mmm
    if (t.size() != 21 && t.size() != 25)
        return false;
    const std::string_view shape = "'dddd-dd-dd dd:dd:dd.ddd'";
    for (std::size_t i = 0; i + 1 < t.size(); ++i) {
        const char want = shape[i];
        if (want == 'd' ? !(t[i] >= '0' && t[i] <= '9') : t[i] != want)
            return false;
    }
    return t.back() == '\'';
}

void Check(const std::vector<Quoted>& in, std::string_view sql) {
    const std::vector<Quoted> out = QuotedRuns(sql, false);
    if (out.size() != in.size())
        std::abort();
    for (std::size_t k = 0; k < in.size(); ++k) {
        if (in[k].text.front() == '#') {
            if (!IsDateText(out[k].text) || out[k].prefixed)
                std::abort();
        } else if (out[k].text != in[k].text || out[k].prefixed != in[k].prefixed) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view jet(reinterpret_cast<const char*>(data), size);
    JetTranslation t;
    try {
        t = TranslateJetStatement(jet);
    } catch (const CComError& e) {
        if (e.Error() != DB_E_ERRORSINCOMMAND)
            std::abort();
        return 0;
    }
    const std::vector<Quoted> in = QuotedRuns(jet, true);
    Check(in, t.sql);
    if (!t.identityTable.empty())
        Check(in, t.sqlWithIdentity);
    return 0;
}

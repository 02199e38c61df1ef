#include "bills/BillText.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QStringDecoder>
#include <QTime>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string ToUtf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool Decodes(QStringDecoder& decoder, std::string_view bytes, QString& text) {
    text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !decoder.hasError();
}

// Where GB18030 decoding first fails: decodes line by line and reports the first bad one.
std::string LocateBadBytes(std::string_view bytes) {
    int line = 1;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        const std::string_view one = bytes.substr(start, end - start);
        QStringDecoder decoder("GB18030");
        QString text;
        if (!Decodes(decoder, one, text)) {
            // The column is the first replacement character the decoder put in.
            const qsizetype bad = text.indexOf(QChar::ReplacementCharacter);
            return "第" + std::to_string(line) + "行第" + std::to_string(bad < 0 ? 1 : bad + 1) +
                   "列：文字既不是 UTF-8 也不是 GB18030 编码（支付宝账单应为 "
                   "GB18030，微信支付账单应为 "
                   "UTF-8），可能是别的编码或文件已损坏";
        }
        if (end == bytes.size())
            break;
        start = end + 1;
        ++line;
    }
    return "文字既不是 UTF-8 也不是 GB18030 编码";
}

}  // namespace

std::string DecodeBillText(std::string_view bytes, std::string& problem) {
    problem.clear();
    if (bytes.find('\0') != std::string_view::npos) {
        problem =
            "第1行第1列：文件含有零字节，不是文本账单（可能是 UTF-16 "
            "编码或别的文件）；应为支付宝的 "
            "GB18030 或微信支付的 UTF-8 文本";
        return {};
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    QString text;
    // A file cut short may end inside a character; the rows then tell what is missing.
    for (std::size_t cut = 0; cut < 4 && cut < bytes.size(); ++cut) {
        const std::string_view whole = bytes.substr(0, bytes.size() - cut);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        if (Decodes(utf8, whole, text))
            return ToUtf8(text);
        QStringDecoder gb18030("GB18030");
        if (gb18030.isValid() && Decodes(gb18030, whole, text))
            return ToUtf8(text);
    }
    problem = LocateBadBytes(bytes);
    return {};
}

std::optional<std::int64_t> ParseFen(std::string_view text) {
    for (std::string_view sign : {"\xC2\xA5", "\xEF\xBF\xA5"}) {  // ¥ U+00A5, ￥ U+FFE5
        if (text.substr(0, sign.size()) == sign)
            text.remove_prefix(sign.size());
    }
    std::int64_t yuan = 0;
    int digits = 0;
    std::size_t i = 0;
    for (; i < text.size() && (IsDigit(text[i]) || (text[i] == ',' && digits > 0)); ++i) {
        if (text[i] == ',')
            continue;
        if (++digits > 15)
            return std::nullopt;
        yuan = yuan * 10 + (text[i] - '0');
    }
    if (digits == 0)
        return std::nullopt;
    std::int64_t fen = yuan * 100;
    if (i < text.size() && text[i] == '.') {
        ++i;
        int place = 0;
        bool roundUp = false;
        const std::size_t first = i;
        for (; i < text.size() && IsDigit(text[i]); ++i, ++place) {
            if (place == 0)
                fen += (text[i] - '0') * 10;
            else if (place == 1)
                fen += text[i] - '0';
            else if (place == 2)
                roundUp = text[i] >= '5';
        }
        if (i == first)
            return std::nullopt;
        if (roundUp)
            ++fen;
    }
    if (i != text.size())
        return std::nullopt;
    return fen;
}

std::string CleanField(std::string_view field) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!field.empty() && blank(field.front()))
        field.remove_prefix(1);
    while (!field.empty() && blank(field.back()))
        field.remove_suffix(1);
    return std::string(field);
}

std::optional<std::string> NormaliseBillTime(std::string_view text) {
    if (text.size() == 19) {
        const QDateTime moment = QDateTime::fromString(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
            "yyyy-MM-dd HH:mm:ss");
        if (moment.isValid())
            return std::string(text);
        return std::nullopt;
    }
    // An Excel day number: whole days since 1899-12-30, the fraction the time of day.
    std::size_t i = 0;
    std::int64_t days = 0;
    for (; i < text.size() && IsDigit(text[i]) && i < 7; ++i)
        days = days * 10 + (text[i] - '0');
    if (i == 0 || days < 1 || days > 2958465)
        return std::nullopt;
    std::int64_t fraction = 0;
    std::int64_t scale = 1;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i) {
            if (scale < 1'000'000'000'000) {
                fraction = fraction * 10 + (text[i] - '0');
                scale *= 10;
            }
        }
    }
    if (i != text.size())
        return std::nullopt;
    std::int64_t seconds = (fraction * 86400 + scale / 2) / scale;
    if (seconds >= 86400) {
        seconds -= 86400;
        ++days;
    }
    const QDate date = QDate(1899, 12, 30).addDays(days);
    const QTime time = QTime(0, 0).addSecs(static_cast<int>(seconds));
    return ToUtf8(QDateTime(date, time).toString("yyyy-MM-dd HH:mm:ss"));
}

int CharacterColumn(std::string_view line, std::size_t offset) {
    int column = 1;
    for (std::size_t i = 0; i < offset && i < line.size(); ++i) {
        if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80)
            ++column;
    }
    return column;
}

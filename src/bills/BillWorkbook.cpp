#include "bills/BillWorkbook.h"

#include <zip.h>

#include <QXmlStreamReader>
#include <map>
#include <memory>
#include <optional>

namespace {

// No part of a statement workbook comes near this; a larger one is refused, not read.
constexpr zip_uint64_t kMaxPartBytes = 64u << 20;

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

std::string Text(QStringView text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

BillError Damaged(const std::string& detail) {
    return BillError{"XLSX 文件已损坏或不完整（" + detail +
                     "）；应为微信支付导出的原始账单工作簿，请重新解压或重新导出"};
}

// One part of the archive, or nothing when it is absent; damage throws its description.
std::optional<std::string> ReadPart(zip_t* archive, const std::string& name) {
    const zip_int64_t index = zip_name_locate(archive, name.c_str(), 0);
    if (index < 0)
        return std::nullopt;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, static_cast<zip_uint64_t>(index), 0, &stat) != 0 ||
        (stat.valid & ZIP_STAT_SIZE) == 0 || stat.size > kMaxPartBytes)
        throw std::string(name + " 无法读取");
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0);
    if (file == nullptr)
        throw std::string(name + "：" + zip_strerror(archive));
    std::string bytes(static_cast<std::size_t>(stat.size), '\0');
    const zip_int64_t read = zip_fread(file, bytes.data(), stat.size);
    const bool whole = read == static_cast<zip_int64_t>(stat.size);
    std::string problem = whole ? std::string() : name + "：" + zip_file_strerror(file);
    zip_fclose(file);
    if (!whole)
        throw problem;
    return bytes;
}

QXmlStreamReader XmlOf(const std::string& bytes) {
    return QXmlStreamReader(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// The text of a string item: its <t> elements, leaving out phonetic runs.
std::string ReadStringItem(QXmlStreamReader& xml, QStringView endName) {
    std::string text;
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"rPh")
                ++phonetic;
            else if (xml.name() == u"t" && phonetic == 0)
                text += Text(xml.readElementText(QXmlStreamReader::IncludeChildElements));
        } else if (xml.isEndElement()) {
            if (xml.name() == u"rPh")
                --phonetic;
            else if (xml.name() == endName)
                break;
        }
    }
    return text;
}

std::vector<std::string> ReadSharedStrings(const std::string& bytes) {
    std::vector<std::string> strings;
    QXmlStreamReader xml = XmlOf(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"si")
            strings.push_back(ReadStringItem(xml, u"si"));
    }
    if (xml.hasError())
        throw std::string("sharedStrings.xml：" + Text(xml.errorString()));
    return strings;
}

// "B19" -> 1; -1 when the reference has no letters.
int ColumnOf(QStringView reference) {
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && reference[i] >= u'A' && reference[i] <= u'Z' && i < 3; ++i)
        column = column * 26 + (reference[i].unicode() - u'A' + 1);
    return i == 0 ? -1 : column - 1;
}

BillGrid ReadSheet(const std::string& bytes, const std::vector<std::string>& shared,
                   const std::string& name) {
    BillGrid grid;
    grid.bSheet = true;
    grid.strSheet = name;
    QXmlStreamReader xml = XmlOf(bytes);
    BillGridRow* row = nullptr;
    int nextColumn = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"row") {
            const int number = xml.attributes().value(QLatin1String("r")).toInt();
            const int previous = grid.rows.empty() ? 0 : grid.rows.back().nLine;
            grid.rows.push_back({number > previous ? number : previous + 1, {}});
            row = &grid.rows.back();
            nextColumn = 0;
        } else if (xml.name() == u"c" && row != nullptr) {
            const QString type = xml.attributes().value(QLatin1String("t")).toString();
            int column = ColumnOf(xml.attributes().value(QLatin1String("r")));
            if (column < 0)
                column = nextColumn;
            nextColumn = column + 1;
            std::string value;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && xml.name() == u"v") {
                    value = Text(xml.readElementText());
                } else if (xml.isStartElement() && xml.name() == u"is") {
                    value = ReadStringItem(xml, u"is");
                } else if (xml.isEndElement() && xml.name() == u"c") {
                    break;
                }
            }
            if (type == u"s") {
                bool ok = false;
                const unsigned long index = QString::fromStdString(value).toULong(&ok);
                value = ok && index < shared.size() ? shared[index] : std::string();
            }
            if (column < 16384) {
                if (row->cells.size() <= static_cast<std::size_t>(column))
                    row->cells.resize(static_cast<std::size_t>(column) + 1);
                row->cells[static_cast<std::size_t>(column)] = value;
            }
        }
    }
    if (xml.hasError())
        throw std::string("工作表“" + name + "”：" + Text(xml.errorString()));
    return grid;
}

// The workbook's sheets in order: name and part path.
std::vector<std::pair<std::string, std::string>> SheetParts(const std::string& workbook,
                                                            const std::string& relations) {
    std::map<std::string, std::string> targets;
    QXmlStreamReader rels = XmlOf(relations);
    while (!rels.atEnd()) {
        rels.readNext();
        if (rels.isStartElement() && rels.name() == u"Relationship") {
            std::string target = Text(rels.attributes().value(QLatin1String("Target")));
            target = target.rfind('/', 0) == 0 ? target.substr(1) : "xl/" + target;
            targets[Text(rels.attributes().value(QLatin1String("Id")))] = target;
        }
    }
    std::vector<std::pair<std::string, std::string>> sheets;
    QXmlStreamReader xml = XmlOf(workbook);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"sheet") {
            std::string id;
            for (const QXmlStreamAttribute& a : xml.attributes()) {
                if (a.name() == u"id")
                    id = Text(a.value());
            }
            const auto found = targets.find(id);
            if (found != targets.end())
                sheets.emplace_back(Text(xml.attributes().value(QLatin1String("name"))),
                                    found->second);
        }
    }
    if (xml.hasError() || rels.hasError())
        throw std::string("workbook.xml：" +
                          Text(xml.hasError() ? xml.errorString() : rels.errorString()));
    return sheets;
}

}  // namespace

bool LooksLikeZip(std::string_view bytes) {
    return bytes.substr(0, 4) == std::string_view("PK\x03\x04", 4);
}

std::variant<std::vector<BillGrid>, BillError> ReadWorkbookSheets(std::string_view bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (source == nullptr) {
        const std::string detail = zip_error_strerror(&error);
        zip_error_fini(&error);
        return Damaged(detail);
    }
    Archive archive(zip_open_from_source(source, ZIP_RDONLY, &error));
    if (!archive) {
        zip_source_free(source);
        const std::string detail = zip_error_strerror(&error);
        zip_error_fini(&error);
        return Damaged(detail);
    }
    zip_error_fini(&error);
    try {
        const auto workbook = ReadPart(archive.get(), "xl/workbook.xml");
        const auto relations = ReadPart(archive.get(), "xl/_rels/workbook.xml.rels");
        if (!workbook || !relations)
            return BillError{
                "这个压缩文件不是 XLSX 工作簿（缺少 "
                "xl/workbook.xml）；应为微信支付导出的账单工作簿"};
        std::vector<std::string> shared;
        if (const auto strings = ReadPart(archive.get(), "xl/sharedStrings.xml"))
            shared = ReadSharedStrings(*strings);
        std::vector<BillGrid> grids;
        for (const auto& [name, part] : SheetParts(*workbook, *relations)) {
            const auto sheet = ReadPart(archive.get(), part);
            if (!sheet)
                return Damaged("缺少工作表“" + name + "”的 " + part);
            grids.push_back(ReadSheet(*sheet, shared, name));
        }
        if (grids.empty())
            return BillError{"XLSX 工作簿里没有工作表；应有一张微信支付账单明细表"};
        return grids;
    } catch (const std::string& detail) {
        return Damaged(detail);
    }
}

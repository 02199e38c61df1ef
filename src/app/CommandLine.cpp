#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>

#include "res/Version.h"

namespace {

struct OptionText {
    const char* names;
    const char* value;
    const char* description;
};

const OptionText kOptions[] = {
    {"-h, --help", "", "显示本帮助并退出"},
    {"--version", "", "显示版本并退出"},
    {"--book", "PATH",
     "打开 PATH 处的账本（账本文件，或存放 data.mdb 的文件夹）。不给出时，打开当前文件夹中的 "
     "data.mdb；当前文件夹没有时，打开 $XDG_DATA_HOME/tillbook/data.mdb（首次使用时创建）"},
};

}  // namespace

StartOptions ReadCommandLine(int argc, char** argv) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption book(QStringLiteral("book"), QString(), QStringLiteral("PATH"));
    parser.addOptions({help, version, book});
    QStringList words;
    for (int i = 0; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    // Unknown options (Qt's -platform, -style, ...) are not an error: the program goes on.
    parser.parse(words);

    StartOptions options;
    options.showHelp = parser.isSet(help);
    options.showVersion = parser.isSet(version);
    if (parser.isSet(book))
        options.book = parser.value(book).toStdString();
    return options;
}

std::string HelpText() {
    std::string text =
        "用法：tillbook "
        "[选项]\n家庭记账：记录家庭每天的收入和支出，按时间、成员和项目查询与统计。\n\n选项：\n";
    for (const OptionText& o : kOptions) {
        std::string left = std::string(o.names) + (*o.value ? std::string(" ") + o.value : "");
        left.resize(std::max<std::size_t>(left.size(), 18), ' ');
        text += "  " + left + "  " + o.description + "\n";
    }
    return text;
}

std::string VersionText() {
    return std::string(version::ProductName) + " " + version::FileVersion + "\n";
}

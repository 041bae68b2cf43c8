#include "shell/CommandLine.h"
#include "shell/CommandLineTokenizer.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

// Each word as kind letter and text: "O" option, "N" name=value, "P" plain.
std::string words(const std::string& line) {
    CommandLineTokenizer tokenizer(line);
    std::string result;
    CommandWord word;
    while (tokenizer.next(word)) {
        const bool named = word.kind == CommandWord::Kind::NameValue;
        result += (word.kind == CommandWord::Kind::Option ? "O:"
                   : named                                ? "N:"
                                                          : "P:") +
                  word.name + (named ? "=" + word.value : "") + "|";
    }
    return result;
}

} // namespace

// Single quotes group but stay; a lone "-" is too short for an option; "="
// inside quotes makes no name=value word.
TEST(CommandLineTokenizer, KindsQuotesAndEquals) {
    EXPECT_EQ(words("  -noupdate\tfilter=\"a b\" host1 'x y' -"),
              "O:noupdate|N:filter=a b|P:host1|P:'x y'|P:-|");
    EXPECT_EQ(words("\"a=b\" x=\"1=2\" \"unterminated rest"),
              "P:a=b|N:x=1=2|P:\"unterminated rest|");
    EXPECT_EQ(stripEnclosingQuotes("\""), "\"");
    EXPECT_EQ(stripEnclosingQuotes("\"\""), "");
}

// A computer name or an action ends reading; names are case-sensitive and
// unknown ones skipped.
TEST(CommandLineReading, OptionsActionsExportTheComputerNameAndSwitchesFoundAnywhere) {
    auto r = readCommandLine("nopersist=1 -noupdate\tfilter=\"my service\" host1 -tray");
    EXPECT_TRUE(r.config.noPersist);
    EXPECT_TRUE(r.config.noUpdate);
    EXPECT_EQ(r.config.filterText, "my service");
    EXPECT_EQ(r.config.computerName, "host1");
    EXPECT_EQ(r.action, StartAction::MainWindow);
    EXPECT_EQ(readCommandLine("\"-tray\"").config.computerName, "-tray");
    const std::pair<const char*, StartAction> actions[] = {
        {"install=x", StartAction::Install},      {"-remove", StartAction::Remove},
        {"-uninstall", StartAction::Uninstall},   {"-tray", StartAction::Tray},
        {"-install -tray", StartAction::Install}, {"-Install -bogus", StartAction::MainWindow},
        {"export=", StartAction::MainWindow},     {"export=x.csv -tray", StartAction::Tray},
    };
    for (const auto& [line, action] : actions) {
        EXPECT_EQ(readCommandLine(line).action, action) << line;
    }
    EXPECT_EQ(readCommandLine("x=y -filter").config.filterText, "y");

    // An export takes its path and lets the computer name follow.
    r = readCommandLine("export=\"C:\\inventory\\daily list.xls\" -nopersist server7");
    EXPECT_EQ(r.action, StartAction::Export);
    EXPECT_EQ(r.exportPath, "C:\\inventory\\daily list.xls");
    EXPECT_EQ(r.config.computerName, "server7");
    EXPECT_EQ(readCommandLine("-export=out.csv").exportPath, "out.csv");

    // The update and language switches are found anywhere.
    EXPECT_TRUE(hasPostUpdateSwitch("host\"x-postupdatey\""));
    EXPECT_FALSE(hasPostUpdateSwitch("-postupdat"));
    EXPECT_STREQ(selectUiLanguage(1033, "-ger -swe").switchText, " -ger");
    EXPECT_EQ(selectUiLanguage(1033, "-swe -eng").locale, 2057u);
    EXPECT_EQ(selectUiLanguage(0x0C07, "").locale, 1031u); // German (Austria)
    EXPECT_EQ(selectUiLanguage(1053, "").locale, 1053u);
    EXPECT_EQ(selectUiLanguage(1036, "").locale, 2057u); // French falls back to English
    EXPECT_EQ(selectUiLanguage(1033, "host-german").locale, 1031u);
}

#include "shell/CommandLine.h"
#include "shell/CommandLineTokenizer.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kelvane;

namespace {

std::vector<CommandWord> words(const std::string& line) {
    CommandLineTokenizer tokenizer(line);
    std::vector<CommandWord> result;
    CommandWord word;
    while (tokenizer.next(word)) {
        result.push_back(word);
    }
    return result;
}

} // namespace

TEST(CommandLineTokenizer, KindsOfWords) {
    auto w = words("  -noupdate\tfilter=\"a b\" host1 'x y' -");
    ASSERT_EQ(w.size(), 5u);
    EXPECT_EQ(w[0].kind, CommandWord::Kind::Option);
    EXPECT_EQ(w[0].name, "noupdate");
    EXPECT_EQ(w[1].kind, CommandWord::Kind::NameValue);
    EXPECT_EQ(w[1].name, "filter");
    EXPECT_EQ(w[1].value, "a b");
    EXPECT_EQ(w[2].kind, CommandWord::Kind::Plain);
    EXPECT_EQ(w[2].name, "host1");
    // Single quotes group but are never removed.
    EXPECT_EQ(w[3].name, "'x y'");
    // A lone "-" is too short for an option word.
    EXPECT_EQ(w[4].kind, CommandWord::Kind::Plain);
}

TEST(CommandLineTokenizer, QuotesAndEquals) {
    auto w = words("\"a=b\" x=\"1=2\" \"unterminated rest");
    ASSERT_EQ(w.size(), 3u);
    // "=" inside quotes does not make a name=value word.
    EXPECT_EQ(w[0].kind, CommandWord::Kind::Plain);
    EXPECT_EQ(w[0].name, "a=b");
    EXPECT_EQ(w[1].name, "x");
    EXPECT_EQ(w[1].value, "1=2");
    EXPECT_EQ(w[2].name, "\"unterminated rest");
    EXPECT_EQ(stripEnclosingQuotes("\""), "\"");
    EXPECT_EQ(stripEnclosingQuotes("\"\""), "");
}

TEST(CommandLineReading, ComputerNameEndsReading) {
    auto r = readCommandLine("host1 -noupdate");
    EXPECT_EQ(r.config.computerName, "host1");
    EXPECT_FALSE(r.config.noUpdate);
    r = readCommandLine("-noupdate host1");
    EXPECT_EQ(r.config.computerName, "host1");
    EXPECT_TRUE(r.config.noUpdate);
    r = readCommandLine("\"-tray\"");
    EXPECT_EQ(r.action, StartAction::MainWindow);
    EXPECT_EQ(r.config.computerName, "-tray");
}

TEST(CommandLineReading, OptionsAndActions) {
    auto r = readCommandLine("nopersist=1 -noupdate\tfilter=\"my service\"");
    EXPECT_TRUE(r.config.noPersist);
    EXPECT_TRUE(r.config.noUpdate);
    EXPECT_EQ(r.config.filterText, "my service");
    EXPECT_EQ(readCommandLine("-install").action, StartAction::Install);
    EXPECT_EQ(readCommandLine("install=x").action, StartAction::Install);
    EXPECT_EQ(readCommandLine("-remove").action, StartAction::Remove);
    EXPECT_EQ(readCommandLine("-uninstall").action, StartAction::Uninstall);
    EXPECT_EQ(readCommandLine("-tray").action, StartAction::Tray);
    EXPECT_EQ(readCommandLine("-install -tray").action, StartAction::Install)
        << "an action ends reading";
    // Names are case-sensitive; unknown ones are skipped.
    EXPECT_EQ(readCommandLine("-Install -bogus").action, StartAction::MainWindow);
    EXPECT_EQ(readCommandLine("x=y -filter").config.filterText, "y");
    EXPECT_EQ(readCommandLine("-filter").config.filterText, "");
}

TEST(CommandLineReading, ExportTakesItsPathAndLetsTheComputerNameFollow) {
    auto r = readCommandLine("export=\"C:\\inventory\\daily list.xls\" -nopersist server7");
    EXPECT_EQ(r.action, StartAction::Export);
    EXPECT_EQ(r.exportPath, "C:\\inventory\\daily list.xls");
    EXPECT_TRUE(r.config.noPersist);
    EXPECT_EQ(r.config.computerName, "server7");

    r = readCommandLine("-export=\"out file.csv\"");
    EXPECT_EQ(r.action, StartAction::Export);
    EXPECT_EQ(r.exportPath, "out file.csv");
    EXPECT_EQ(readCommandLine("-export=out.csv").exportPath, "out.csv");

    EXPECT_EQ(readCommandLine("export=").action, StartAction::MainWindow) << "no path, no export";
    EXPECT_EQ(readCommandLine("export=x.csv -tray").action, StartAction::Tray);
}

TEST(CommandLineSwitches, FoundAnywhere) {
    EXPECT_TRUE(hasPostUpdateSwitch("host\"x-postupdatey\""));
    EXPECT_FALSE(hasPostUpdateSwitch("-postupdat"));
    EXPECT_EQ(selectUiLanguage(1033, "-x -swe").locale, 1053u);
    EXPECT_STREQ(selectUiLanguage(1033, "-ger -swe").switchText, " -ger");
    EXPECT_EQ(selectUiLanguage(1033, "-swe -eng").locale, 2057u);
    EXPECT_EQ(selectUiLanguage(1031, "").locale, 1031u);
    EXPECT_EQ(selectUiLanguage(0x0C07, "").locale, 1031u); // German (Austria)
    EXPECT_EQ(selectUiLanguage(1053, "").locale, 1053u);
    EXPECT_EQ(selectUiLanguage(1036, "").locale, 2057u); // French falls back to English
    EXPECT_EQ(selectUiLanguage(1033, "host-german").locale, 1031u);
}

#include "shell/CommandLine.h"

#include "shell/CommandLineTokenizer.h"

namespace kelvane {

StartRequest readCommandLine(const std::string& line) {
    StartRequest request;
    AppConfig& config = request.config;
    CommandLineTokenizer tokenizer(line);
    CommandWord word;
    while (tokenizer.next(word)) {
        if (word.kind == CommandWord::Kind::Plain) {
            config.computerName = word.name;
            break;
        }
        const std::string& name = word.name;
        if (name == "install") {
            request.action = StartAction::Install;
            break;
        }
        if (name == "remove") {
            request.action = StartAction::Remove;
            break;
        }
        if (name == "uninstall") {
            request.action = StartAction::Uninstall;
            break;
        }
        if (name == "tray") {
            request.action = StartAction::Tray;
            break;
        }
        if (name == "nopersist") {
            config.noPersist = true;
        } else if (name == "noupdate") {
            config.noUpdate = true;
        } else if (name == "filter") {
            config.filterText = word.value;
        } else if (word.kind == CommandWord::Kind::NameValue && name == "export") {
            request.exportPath = word.value;
        } else if (word.kind == CommandWord::Kind::Option && name.rfind("export=", 0) == 0) {
            // The tokenizer keeps "=" inside an option word.
            request.exportPath = stripEnclosingQuotes(name.substr(7));
        }
    }
    if (request.action == StartAction::MainWindow && !request.exportPath.empty()) {
        request.action = StartAction::Export;
    }
    return request;
}

bool hasPostUpdateSwitch(const std::string& line) {
    return line.find("-postupdate") != std::string::npos;
}

UiLanguage selectUiLanguage(unsigned threadLocale, const std::string& line) {
    unsigned primary = threadLocale & 0x3FF;
    if (line.find("-ger") != std::string::npos) {
        primary = 7;
    } else if (line.find("-eng") != std::string::npos) {
        primary = 9;
    } else if (line.find("-swe") != std::string::npos) {
        primary = 29;
    }
    switch (primary) {
    case 7:
        return {7, 1031, " -ger"};
    case 29:
        return {29, 1053, " -swe"};
    default:
        return {primary, 2057, " -eng"};
    }
}

} // namespace kelvane

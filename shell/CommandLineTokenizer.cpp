#include "shell/CommandLineTokenizer.h"

#include <algorithm>

namespace kelvane {

std::string stripEnclosingQuotes(const std::string& text) {
    if (text.size() > 1 && text.front() == '"' && text.back() == '"') {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

CommandLineTokenizer::CommandLineTokenizer(std::string line) : line_(std::move(line)) {
    std::replace(line_.begin(), line_.end(), '\t', ' ');
}

bool CommandLineTokenizer::next(CommandWord& word) {
    while (position_ < line_.size() && line_[position_] == ' ') {
        ++position_;
    }
    if (position_ >= line_.size()) {
        return false;
    }

    std::string text;
    size_t equalsAt = std::string::npos;
    char quote = 0;
    for (; position_ < line_.size(); ++position_) {
        char c = line_[position_];
        if (quote) {
            if (c == quote) {
                quote = 0;
            }
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ' ') {
            break;
        } else if (c == '=' && equalsAt == std::string::npos) {
            equalsAt = text.size();
        }
        text += c;
    }

    if (text.size() >= 2 && text[0] == '-') {
        word.kind = CommandWord::Kind::Option;
        word.name = stripEnclosingQuotes(text.substr(1));
        word.value = lastValue_;
    } else if (equalsAt != std::string::npos) {
        word.kind = CommandWord::Kind::NameValue;
        word.name = stripEnclosingQuotes(text.substr(0, equalsAt));
        word.value = stripEnclosingQuotes(text.substr(equalsAt + 1));
        lastValue_ = word.value;
    } else {
        word.kind = CommandWord::Kind::Plain;
        word.name = stripEnclosingQuotes(text);
        word.value.clear();
    }
    return true;
}

} // namespace kelvane

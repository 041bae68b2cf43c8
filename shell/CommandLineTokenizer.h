#pragma once
// Splits the program's command line into words: option words ("-name"),
// name=value words and plain words. Quotes group blanks into a word; one pair
// of enclosing double quotes is removed from each name and value.
#include <string>

namespace kelvane {

struct CommandWord {
    enum class Kind { Option, NameValue, Plain };
    Kind kind = Kind::Plain;
    std::string name;  // option name without "-", the text before "=", or the plain word
    std::string value; // the text after "="; for an option word the last value read
};

class CommandLineTokenizer {
public:
    explicit CommandLineTokenizer(std::string line);

    // The next word, false at the end of the line.
    bool next(CommandWord& word);

private:
    std::string line_;
    size_t position_ = 0;
    // An option word carries the value of the last name=value word, so that
    // "-filter" alone reuses it.
    std::string lastValue_;
};

// Removes one pair of enclosing double quotes from a text longer than one
// character; single quotes stay.
std::string stripEnclosingQuotes(const std::string& text);

} // namespace kelvane

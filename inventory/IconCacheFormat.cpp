#include "inventory/IconCacheFormat.h"

#include "framework/TextFormat.h"

#include <cstring>

namespace kelvane {

namespace {

constexpr char imagesMagic[8] = {'K', 'V', 'I', 'C', 'O', 'N', 'S', '1'};
constexpr std::size_t headerBytes = sizeof imagesMagic + 4 * 4;
constexpr std::size_t imageBytes = IconImage::size * IconImage::size * 4 + sizeof(IconImage::mask);
constexpr std::size_t longestPath = 1023;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

void putWord(std::string& out, std::uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((word >> shift) & 0xFF));
    }
}

std::uint32_t getWord(std::string_view bytes, std::size_t at) {
    std::uint32_t word = 0;
    for (int i = 3; i >= 0; --i) {
        word = (word << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return word;
}

// The leading decimal number of line from at, which is moved past it.
std::optional<std::int64_t> readNumber(std::string_view line, std::size_t& at) {
    bool negative = false;
    if (at < line.size() && (line[at] == '-' || line[at] == '+')) {
        negative = line[at] == '-';
        ++at;
    }
    std::size_t digits = at;
    std::int64_t value = 0;
    while (at < line.size() && line[at] >= '0' && line[at] <= '9') {
        value = value * 10 + (line[at] - '0');
        if (value > INT32_MAX) {
            return std::nullopt;
        }
        ++at;
    }
    if (at == digits) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

void parseLine(std::string_view line, IconIndexes& indexes) {
    std::size_t at = 0;
    while (at < line.size() && isBlank(line[at])) {
        ++at;
    }
    std::optional<std::int64_t> index = readNumber(line, at);
    if (!index || *index < -1) {
        return;
    }
    while (at < line.size() && isBlank(line[at])) {
        ++at;
    }
    std::string_view path = line.substr(at);
    // A file written on another system may end its lines with CR LF.
    while (!path.empty() && path.back() == '\r') {
        path.remove_suffix(1);
    }
    if (path.empty() || path.size() > longestPath) {
        return;
    }
    indexes[std::string(path)] = static_cast<std::int32_t>(*index);
}

} // namespace

IconCacheFiles iconCacheFiles(const std::string& localAppDataFolder) {
    const char* folder = localAppDataFolder.c_str();
    return {Plinth::formatText("%s\\Dunmere\\kelvane-imagelist.dat", folder),
            Plinth::formatText("%s\\Dunmere\\kelvane-imagepaths.txt", folder)};
}

std::string writeImagePaths(const IconIndexes& indexes) {
    std::string text;
    for (const auto& [path, index] : indexes) {
        text += std::to_string(index);
        text += ' ';
        text += path;
        text += '\n';
    }
    return text;
}

IconIndexes parseImagePaths(std::string_view text) {
    IconIndexes indexes;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        parseLine(text.substr(0, end), indexes);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return indexes;
}

std::string encodeIconImages(std::int32_t firstIndex, const std::vector<IconImage>& images) {
    std::string bytes(imagesMagic, sizeof imagesMagic);
    putWord(bytes, IconImage::size);
    putWord(bytes, IconImage::size);
    putWord(bytes, static_cast<std::uint32_t>(firstIndex));
    putWord(bytes, static_cast<std::uint32_t>(images.size()));
    bytes.reserve(headerBytes + images.size() * imageBytes);
    for (const IconImage& image : images) {
        for (std::uint32_t pixel : image.colour) {
            putWord(bytes, pixel);
        }
        bytes.append(reinterpret_cast<const char*>(image.mask.data()), image.mask.size());
    }
    return bytes;
}

std::optional<std::vector<IconImage>> decodeIconImages(std::string_view bytes,
                                                       std::int32_t firstIndex) {
    if (bytes.size() < headerBytes ||
        std::memcmp(bytes.data(), imagesMagic, sizeof imagesMagic) != 0) {
        return std::nullopt;
    }
    std::size_t at = sizeof imagesMagic;
    if (getWord(bytes, at) != IconImage::size || getWord(bytes, at + 4) != IconImage::size ||
        getWord(bytes, at + 8) != static_cast<std::uint32_t>(firstIndex)) {
        return std::nullopt;
    }
    std::uint64_t count = getWord(bytes, at + 12);
    if (bytes.size() - headerBytes != count * imageBytes) {
        return std::nullopt;
    }
    std::vector<IconImage> images(static_cast<std::size_t>(count));
    at = headerBytes;
    for (IconImage& image : images) {
        for (std::uint32_t& pixel : image.colour) {
            pixel = getWord(bytes, at);
            at += 4;
        }
        std::memcpy(image.mask.data(), bytes.data() + at, image.mask.size());
        at += image.mask.size();
    }
    return images;
}

} // namespace kelvane

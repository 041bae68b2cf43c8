// The reader takes files other programs wrote and bytes from the network.
#include "xml/XmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kelvane::XmlDocument document;
    document.readBytes(bytes, "fuzz");

    // Every node's text and attributes, walked without recursion.
    std::vector<const kelvane::XmlNode*> pending{&document.root()};
    size_t nodes = 0;
    while (!pending.empty()) {
        const kelvane::XmlNode* node = pending.back();
        pending.pop_back();
        ++nodes;
        (void)node->text();
        for (const auto& [name, value] : node->attributes)
            (void)node->attribute(name);
        for (const auto& child : node->children)
            pending.push_back(child.get());
    }
    // Each element needs a "<", so there are never more nodes than bytes.
    if (nodes > size + 1)
        __builtin_trap();

    // The first line doubles as a path into the tree.
    const std::string_view path = bytes.substr(0, bytes.find('\n'));
    kelvane::XmlCursor cursor(document);
    if (cursor.goToPath(path))
        cursor.back();
    (void)document.root().textAtPath(kelvane::parseXmlPath(path));
    return 0;
}

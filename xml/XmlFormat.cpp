#include "xml/XmlFormat.h"

#include "framework/Exception.h"

#include <cstring>

namespace kelvane {

bool equalsIgnoringCase(const std::string& a, const char* b) {
    const size_t length = std::strlen(b);
    if (a.size() != length) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') {
            x = static_cast<char>(x - 'A' + 'a');
        }
        if (y >= 'A' && y <= 'Z') {
            y = static_cast<char>(y - 'A' + 'a');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

std::string xmlHeader(const XmlFormat& format, bool lineEnds) {
    const std::string end = lineEnds ? format.lineEnd : std::string();
    std::string out;
    if (format.bom) {
        if (!equalsIgnoringCase(format.encoding, "utf-8")) {
            throw Plinth::Exception(0, "byte order mark with encoding " + format.encoding);
        }
        out += "\xEF\xBB\xBF";
    }
    out += "<?xml version=\"" + format.version + "\" encoding=\"" + format.encoding + "\"";
    if (format.standalone == 1) {
        out += " standalone=\"yes\"";
    }
    out += "?>" + end;

    const XmlDoctype& doctype = format.doctype;
    if (!doctype.name.empty()) {
        out += "<!DOCTYPE " + doctype.name;
        if (!doctype.publicId.empty()) {
            out += " PUBLIC \"" + doctype.publicId + "\"" + end + " \"" + doctype.systemId + "\"";
        } else if (!doctype.systemId.empty()) {
            out += " SYSTEM \"" + doctype.systemId + "\"";
        }
        out += ">" + end;
    }

    for (const XmlStylesheetRef& sheet : format.styleSheets) {
        out += "<?xml-stylesheet href=\"" + sheet.href + "\" type=\"" + sheet.type + "\"";
        if (!sheet.title.empty()) {
            out += " title=\"" + sheet.title + "\"";
        }
        if (!sheet.media.empty()) {
            out += " media=\"" + sheet.media + "\"";
        }
        if (!sheet.charset.empty()) {
            out += " charset=\"" + sheet.charset + "\"";
        }
        if (sheet.alternate) {
            out += " alternate=\"yes\"";
        }
        out += "?>" + end;
    }
    return out;
}

} // namespace kelvane

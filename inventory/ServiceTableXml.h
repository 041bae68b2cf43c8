#pragma once
// The stored form of a service table: one "row" element per row, one
// attribute per persisted, non-empty cell, named by its column. Columns
// optional in a baseline are written even when empty; a stored row without
// one reads back with the column marked absent.
#include "inventory/ServiceTable.h"

namespace kelvane {

class XmlNode;
class XmlStreamWriter;

// Rows in key order as children of the writer's current element; columns in
// the byte order of their names.
void writeXml(const ServiceTable& table, XmlStreamWriter& writer);

// Adds a row for every "row" child of node; other children are ignored. An
// attribute that names no column of the table throws
// Plinth::UserException("column not found"), keeping the rows read before.
void readXml(ServiceTable& table, const XmlNode& node);

} // namespace kelvane

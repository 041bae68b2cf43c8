#include "inventory/ServiceEntry.h"

#include "inventory/ServiceColumns.h"

namespace kelvane {

ServiceEntry ServiceEntry::fromRow(const TableRow& row) {
    using C = ServiceColumns;
    ServiceEntry entry;
    entry.displayName = row.cell(C::displayName).text;
    entry.serviceName = row.cell(C::serviceName).text;
    entry.typeText = row.cell(C::typeText).text;
    entry.startText = row.cell(C::start).text;
    entry.statusText = row.cell(C::status).text;
    entry.pidText = row.cell(C::pid).text;
    entry.account = row.cell(C::account).text;
    entry.command = row.cell(C::command).text;
    entry.binaryPath = row.cell(C::binaryPath).text;
    entry.type = row.cell(C::type).intValue();
    entry.startType = row.cell(C::startType).intValue();
    entry.active = row.cell(C::active).intValue();
    entry.typeImage = row.cell(C::typeImage).intValue();
    entry.timeText = row.cell(C::time).text;
    entry.changed = row.cell(C::changed).intValue();
    entry.description = row.cell(C::description).text;
    entry.dependencies = row.cell(C::dependencies).text;
    entry.neededBy = row.cell(C::neededBy).text;
    entry.startOptions = row.cell(C::startOptions).text;
    entry.onFailure = row.cell(C::onFailure).text;
    return entry;
}

} // namespace kelvane

#include "inventory/RowBuilder.h"

#include "inventory/ServiceColumns.h"

namespace kelvane {

namespace {

constexpr std::uint32_t stopped = 1, startPending = 2, stopPending = 3, running = 4,
                        pausePending = 6, paused = 7;

const std::string unknownText = "???";

} // namespace

RowTexts RowTexts::load(const std::function<std::string(unsigned id)>& loadString) {
    RowTexts t;
    t.starting = loadString(132);
    t.stopping = loadString(133);
    t.started = loadString(134);
    t.pausing = loadString(135);
    t.paused = loadString(136);
    t.automatic = loadString(137);
    t.boot = loadString(138);
    t.manual = loadString(139);
    t.disabled = loadString(140);
    t.system = loadString(141);
    t.fileSystemDriver = loadString(165);
    t.kernelDriver = loadString(166);
    t.adapter = loadString(168);
    t.recognizer = loadString(169);
    t.ownProcess = loadString(126);
    t.sharedProcess = loadString(127);
    t.interactive = loadString(178);
    t.delayed = loadString(245);
    t.trigger = loadString(246);
    RecoveryWords& r = t.recovery;
    r.noAction = loadString(247);
    r.restart = loadString(248);
    r.reboot = loadString(249);
    r.run = loadString(250);
    r.after = loadString(251);
    r.reset = loadString(252);
    r.rebootMessage = loadString(253);
    r.day = loadString(254);
    r.days = loadString(255);
    return t;
}

StateInfo stateInfo(const RowTexts& texts, std::uint32_t state) {
    switch (state) {
    case stopped:
        return {"-", 2};
    case startPending:
        return {texts.starting, 1};
    case stopPending:
        return {texts.stopping, 1};
    case running:
        return {texts.started, 1};
    case pausePending:
        return {texts.pausing, 1};
    case paused:
        return {texts.paused, 1};
    default:
        return {unknownText, 1}; // continue pending and anything unknown
    }
}

std::string typeText(const RowTexts& texts, std::uint32_t type) {
    std::string text = type & 0x01   ? texts.kernelDriver
                       : type & 0x02 ? texts.fileSystemDriver
                       : type & 0x04 ? texts.adapter
                       : type & 0x08 ? texts.recognizer
                       : type & 0x10 ? texts.ownProcess
                       : type & 0x20 ? texts.sharedProcess
                                     : unknownText;
    if (type & 0x100) {
        text += ", " + texts.interactive;
    }
    return text;
}

std::string startText(const RowTexts& texts, std::optional<std::uint32_t> startType) {
    if (!startType) {
        return unknownText;
    }
    switch (*startType) {
    case 0:
        return texts.boot;
    case 1:
        return texts.system;
    case 2:
        return texts.automatic;
    case 3:
        return texts.manual;
    case 4:
        return texts.disabled;
    default:
        return unknownText;
    }
}

std::int32_t iconClass(std::uint32_t type, std::uint32_t state) {
    std::int32_t base = type & 0x01 ? 0 : type & 0x02 ? 2 : (type & 0x30) ? 4 : 6;
    return base + (state == running ? 1 : 0);
}

std::string startOptionsText(const RowTexts& texts, std::optional<std::uint32_t> startType,
                             const ServiceExtras& extras) {
    constexpr std::uint32_t automaticStart = 2;
    const bool delayed = extras.delayedStart && startType == automaticStart;
    if (delayed && extras.triggerStart) {
        return texts.delayed + ", " + texts.trigger;
    }
    return delayed ? texts.delayed : extras.triggerStart ? texts.trigger : std::string();
}

void appendListItem(std::string& text, std::string_view item) {
    if (!text.empty()) {
        text += listCellSeparator;
    }
    text += item;
}

namespace {

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) {
        appendListItem(text, item);
    }
    return text;
}

} // namespace

TableRow buildServiceRow(const RowTexts& texts, const EnumeratedService& service,
                         const std::optional<ServiceConfiguration>& configuration,
                         const std::string& timeText, const ServiceExtras& extras) {
    using C = ServiceColumns;
    TableRow row;
    row.cells.resize(C::count);
    const StateInfo state = stateInfo(texts, service.state);
    const auto number = [](std::uint32_t value) {
        return TableCell::integer(static_cast<std::int32_t>(value));
    };

    row.cells[C::serviceName] = TableCell(SharedText(service.serviceName));
    row.cells[C::displayName] = TableCell(SharedText(service.displayName));
    row.cells[C::typeText] = TableCell(SharedText(typeText(texts, service.type)));
    const std::optional<std::uint32_t> startType =
        configuration ? std::optional<std::uint32_t>(configuration->startType) : std::nullopt;
    row.cells[C::start] = TableCell(SharedText(startText(texts, startType)));
    row.cells[C::status] = TableCell(SharedText(state.text));
    // The one Integer cell whose text may be empty: a service without a process.
    row.cells[C::pid] = service.processId != 0 ? number(service.processId) : TableCell();
    row.cells[C::type] = number(service.type);
    row.cells[C::active] = TableCell::integer(state.active);
    row.cells[C::typeImage] = TableCell::integer(iconClass(service.type, service.state));
    if (configuration) {
        row.cells[C::account] = TableCell(SharedText(configuration->account));
        row.cells[C::command] = TableCell(SharedText(configuration->command));
        row.cells[C::binaryPath] = TableCell(SharedText(configuration->binaryPath));
        row.cells[C::startType] = number(configuration->startType);
        row.cells[C::dependencies] = TableCell(SharedText(joined(configuration->dependencies)));
        row.cells[C::loadOrderGroup] = TableCell(SharedText(configuration->loadOrderGroup));
    } else {
        row.cells[C::startType] = TableCell::integer(0);
    }
    row.cells[C::time] = TableCell(SharedText(timeText));
    row.cells[C::description] = TableCell(SharedText(extras.description));
    row.cells[C::startOptions] = TableCell(SharedText(startOptionsText(texts, startType, extras)));
    row.cells[C::onFailure] =
        TableCell(SharedText(recoveryText(extras.failureActions, texts.recovery)));
    return row;
}

} // namespace kelvane

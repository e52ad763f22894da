#include "message_map.h"

#include <set>
#include <tuple>

using namespace ostrel::dialog;

MessageMap::MessageMap(const MessageMap* base, const char* className,
                       std::vector<MessageMapEntry> entries)
    : base_(base), className_(className), entries_(std::move(entries)) {}

const MessageMapEntry* MessageMap::findHere(UINT message, UINT code, int id) const {
    const MessageMapEntry* any = nullptr;
    for (const auto& e : entries_) {
        if (e.message != message)
            continue;
        switch (message) {
            case WM_COMMAND:
            case WM_NOTIFY:
                if (e.code == code && e.id == id)
                    return &e;
                break;
            case WM_TIMER:
                if (e.id == id)
                    return &e;
                if (e.id == kAnyId && !any)
                    any = &e;
                break;
            default:
                return &e;
        }
    }
    return any;
}

const MessageMapEntry* MessageMap::find(UINT message, UINT code, int id) const {
    for (const MessageMap* map = this; map; map = map->base_) {
        if (const auto* e = map->findHere(message, code, id))
            return e;
    }
    return nullptr;
}

std::vector<std::string> MessageMap::problems() const {
    std::vector<std::string> out;
    std::set<std::tuple<UINT, UINT, int>> seen;
    for (const auto& e : entries_) {
        if (!e.hasHandler || !e.invoke) {
            out.push_back(std::string(className_) + ": null handler " + e.handlerName);
        }
        if (!seen.insert({e.message, e.code, e.id}).second) {
            out.push_back(std::string(className_) + ": bound twice: " + e.handlerName);
        }
    }
    return out;
}

QPoint ostrel::dialog::message_map_detail::pointFromLParam(LPARAM lParam) {
    const auto v = static_cast<std::uintptr_t>(lParam);
    return QPoint(static_cast<std::int16_t>(LOWORD(v)), static_cast<std::int16_t>(HIWORD(v)));
}

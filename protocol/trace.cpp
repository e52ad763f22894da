#include "protocol/trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

TraceSink traceSink = nullptr;

}  // namespace

bool TraceEnabled() {
    const char* value = std::getenv("OSTREL_DEBUG");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

void SetTraceSink(TraceSink sink) {
    traceSink = sink;
}

bool TraceDebug(const char* format, ...) {
    if (!TraceEnabled() || format == nullptr) {
        return true;
    }
    char text[kTraceBufferSize];
    va_list arguments;
    va_start(arguments, format);
    const int wanted = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (wanted < 0) {
        return true;
    }
    const std::size_t length = std::strlen(text);  // vsnprintf cut it to 999
    if (traceSink != nullptr) {
        traceSink(std::string_view(text, length));
    } else {
        std::fwrite(text, 1, length, stderr);
    }
    return true;
}

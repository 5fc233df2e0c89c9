#include "pack/pack_names.h"

#include <string.h>

namespace {

// Device names Windows resolves in every folder, with or without an extension.
const char* const RESERVED_NAMES[] = {
    "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
    "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9",
};

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The component's part before its first dot, trailing spaces dropped, against
// the reserved names, ignoring case.
bool IsReservedDevice(const char* component, size_t length)
{
    size_t base = 0;
    while (base < length && component[base] != '.') ++base;
    while (base > 0 && component[base - 1] == ' ') --base;
    for (const char* reserved : RESERVED_NAMES) {
        size_t reservedLength = strlen(reserved);
        if (reservedLength != base) continue;
        size_t i = 0;
        while (i < base && Upper(component[i]) == reserved[i]) ++i;
        if (i == base) return true;
    }
    return false;
}

const char* ComponentProblem(const char* component, size_t length)
{
    if (length == 0) return "has an empty component";
    if ((length == 1 && component[0] == '.') || (length == 2 && component[0] == '.' && component[1] == '.')) {
        return "has a '.' or '..' component";
    }
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(component[i]);
        if (c < 0x20 || c == 0x7F) return "has a control character";
        if (c == ':') return "has a colon (a drive or a stream)";
        if (c == '/') return "has a forward slash";
        if (strchr("<>\"|?*", c) != nullptr) return "has a character Windows does not allow in names";
    }
    char last = component[length - 1];
    if (last == '.' || last == ' ') return "has a component ending in a dot or a space";
    if (IsReservedDevice(component, length)) return "names a reserved device";
    return nullptr;
}

}  // namespace

const char* PackNameProblem(const char* name)
{
    if (name == nullptr || name[0] != '\\') return "does not begin with a backslash";
    size_t total = strlen(name);
    if (total > MAX_NAME_LENGTH) return "is longer than 259 bytes";
    const char* component = name + 1;
    for (;;) {
        const char* end = strchr(component, '\\');
        size_t length = end != nullptr ? static_cast<size_t>(end - component) : strlen(component);
        const char* problem = ComponentProblem(component, length);
        if (problem != nullptr) return problem;
        if (end == nullptr) return nullptr;
        component = end + 1;
    }
}

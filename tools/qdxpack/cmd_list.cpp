// qdxpack list PACK: the rows of a pack, one a line, with totals.
#include <string>

#include "commands.h"
#include "pack_tool.h"

const char LIST_HELP[] =
    "Lists the rows of PACK in table order: the kind (folder or file), the name,\n"
    "and for files the stored size, the uncompressed size and their ratio; then\n"
    "the totals. A file whose entry lies outside the pack is marked so.\n";

namespace {

// The uncompressed size a stored entry announces in its length field.
bool ReadAnnouncedSize(FILE* pack, int64_t position, uint32_t storedSize, uint32_t* size)
{
    unsigned char bytes[4];
    if (storedSize < 4 || fseek(pack, static_cast<long>(position), SEEK_SET) != 0 || fread(bytes, 1, 4, pack) != 4) {
        return false;
    }
    *size = static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
            (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
    return true;
}

}  // namespace

int RunList(const char* command, int operandCount, char** operands)
{
    if (!HasOperands(command, operandCount, 1)) return EXIT_USAGE;
    const char* path = operands[0];
    PackTables tables;
    FILE* pack = OpenPackTables(path, &tables);
    if (pack == nullptr) return EXIT_FAILED;

    printf("%-6s %12s %12s %7s  %s\n", "kind", "stored", "size", "ratio", "name");
    for (const PackEntry* row = tables.folders.head; row != nullptr; row = row->next) {
        printf("%-6s %12s %12s %7s  %s\n", "folder", "-", "-", "-", row->name);
    }
    uint64_t stored = 0;
    uint64_t uncompressed = 0;
    int damaged = 0;
    for (const PackEntry* row = tables.files.head; row != nullptr; row = row->next) {
        int64_t position = 0;
        const char* problem = nullptr;
        uint32_t size = 0;
        if (!LocateEntry(tables, *row, &position, &problem) || !ReadAnnouncedSize(pack, position, row->size, &size)) {
            printf("%-6s %12lu %12s %7s  %s  (%s)\n", "file", static_cast<unsigned long>(row->size), "?", "?",
                   row->name, problem != nullptr ? problem : "entry shorter than its length field");
            ++damaged;
            stored += row->size;
            continue;
        }
        printf("%-6s %12lu %12lu %7s  %s\n", "file", static_cast<unsigned long>(row->size),
               static_cast<unsigned long>(size), FormatRatio(row->size, size).c_str(), row->name);
        stored += row->size;
        uncompressed += size;
    }
    fclose(pack);
    printf("%d folders, %d files, %llu bytes stored, %llu bytes uncompressed (%s)\n", tables.folders.count,
           tables.files.count, static_cast<unsigned long long>(stored), static_cast<unsigned long long>(uncompressed),
           FormatRatio(stored, uncompressed).c_str());
    if (damaged > 0) {
        char text[96];
        snprintf(text, sizeof text, "%d file rows point outside the pack; run 'qdxpack check' for details", damaged);
        ReportFileError(path, text);
        return EXIT_FAILED;
    }
    return EXIT_SUCCEEDED;
}

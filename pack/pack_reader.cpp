#include "pack/pack_reader.h"

#include "launcher/temp_folders.h"
#include "pack/staging_expansion.h"
#include "platform/platform.h"
#include "platform/streams.h"

#include <stdlib.h>
#include <string.h>

namespace {

// Every row holds at least its length, offset and size fields.
const int64_t MIN_ROW_BYTES = 12;
const size_t COPY_BLOCK = 4096;

int ReadUint32(FILE* stream, uint32_t* value)
{
    unsigned char bytes[4];
    if (fread(bytes, 1, 4, stream) != 4) return 0;
    *value = static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
             (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
    return 1;
}

void Tell(const ExtractReport* report, const char* subject, const char* description)
{
    if (report != nullptr && report->problem != nullptr) report->problem(report->context, subject, description);
}

// Joins the staging folder and a stored name into a platform path of at most
// MAX_PATH bytes with its terminator. Returns 0 when it does not fit.
int JoinStagedPath(char* out, const char* stagingFolder, const char* name)
{
    if (!FormatPath(out, MAX_PATH, "%s%s", stagingFolder, name)) return 0;
    MapStoredSeparators(out + strlen(stagingFolder));
    return 1;
}

// The row's staged path when the row may be unpacked; otherwise reports why
// and returns 0.
int StagedPathOfRow(char* out, const char* stagingFolder, const PackEntry* row, const ExtractReport* report)
{
    const char* problem = PackNameProblem(row->name);
    if (problem != nullptr) {
        Tell(report, row->name, problem);
        return 0;
    }
    if (!JoinStagedPath(out, stagingFolder, row->name)) {
        Tell(report, row->name, "staged path would not fit in 260 bytes");
        return 0;
    }
    return 1;
}

}  // namespace

PackEntryList::PackEntryList() : head(nullptr), tail(nullptr), count(0)
{
}

PackEntryList::~PackEntryList()
{
    PackEntry* record = head;
    while (record != nullptr) {
        PackEntry* following = record->next;
        free(record);
        record = following;
    }
}

void PackEntryList::Append(PackEntry* record)
{
    if (head == nullptr) {
        head = record;
        tail = record;
    } else {
        tail->next = record;
        tail = record;
    }
    ++count;
}

int ReadPackTable(FILE* pack, int64_t packLength, PackEntryList* list, const char** problem)
{
    const char* ignored = nullptr;
    if (problem == nullptr) problem = &ignored;

    uint32_t rawCount = 0;
    if (!ReadUint32(pack, &rawCount)) {
        *problem = "the pack ends inside a table count";
        return 0;
    }
    int32_t count = static_cast<int32_t>(rawCount);
    int64_t position = StreamPosition(pack);
    if (count > 0 && (position < 0 || (packLength - position) / MIN_ROW_BYTES < count)) {
        *problem = "the table counts more rows than the pack holds";
        return 0;
    }
    for (int32_t i = 0; i < count; ++i) {
        uint32_t rawLength = 0;
        if (!ReadUint32(pack, &rawLength)) {
            *problem = "the pack ends inside a row";
            return 0;
        }
        int32_t length = static_cast<int32_t>(rawLength);
        if (length < 0 || length > MAX_NAME_LENGTH) {
            *problem = "a row's name length is outside 0 to 259";
            return 0;
        }
        PackEntry* record = static_cast<PackEntry*>(malloc(sizeof(PackEntry)));
        if (record == nullptr) {
            *problem = "out of memory for the tables";
            return 0;
        }
        record->next = nullptr;
        size_t nameLength = static_cast<size_t>(length);
        bool complete = fread(record->name, 1, nameLength, pack) == nameLength;
        record->name[nameLength] = '\0';
        complete = complete && ReadUint32(pack, &record->offset) && ReadUint32(pack, &record->size);
        if (!complete) {
            free(record);
            *problem = "the pack ends inside a row";
            return 0;
        }
        list->Append(record);
    }
    return 1;
}

int CopyStoredEntry(const char* stagedPath, FILE* pack, int32_t position, uint32_t size)
{
    FILE* staged = fopen(stagedPath, "wb");
    if (staged == nullptr) return 0;
    if (fseek(pack, position, SEEK_SET) == 0) {
        unsigned char buffer[COPY_BLOCK];
        uint32_t left = size;
        while (left > 0) {
            size_t want = left < COPY_BLOCK ? left : COPY_BLOCK;
            size_t got = fread(buffer, 1, want, pack);
            if (got > 0) fwrite(buffer, 1, got, staged);
            if (got != want) break;
            left -= static_cast<uint32_t>(got);
        }
    }
    fclose(staged);
    return 1;
}

int ExtractPack(const char* packPath, const char* installFolder, const ExtractReport* report)
{
    char stagingFolder[PATH_BUFFER_SIZE];
    stagingFolder[0] = '\0';
    MakeStagingFolder(stagingFolder);
    if (stagingFolder[0] == '\0') {
        Tell(report, "staging folder", "cannot be made in the temporary folder");
        return 0;
    }

    FILE* pack = fopen(packPath, "rb");
    if (pack == nullptr) {
        RemoveTree(stagingFolder);
        return 0;
    }

    int result = 0;
    {
        PackEntryList folders;
        PackEntryList files;
        const char* problem = nullptr;
        int64_t packLength = StreamLength(pack);
        if (packLength >= 0 && ReadPackTable(pack, packLength, &folders, &problem) &&
            ReadPackTable(pack, packLength, &files, &problem)) {
            int64_t dataStart = StreamPosition(pack);
            char staged[PATH_BUFFER_SIZE];
            for (PackEntry* row = folders.head; row != nullptr; row = row->next) {
                if (!StagedPathOfRow(staged, stagingFolder, row, report)) continue;
                CreateDirectoryA(staged, nullptr);
            }
            for (PackEntry* row = files.head; row != nullptr; row = row->next) {
                int64_t position = dataStart + row->offset;
                if (position > INT32_MAX || position + row->size > packLength) {
                    Tell(report, row->name, "stored entry lies outside the pack");
                    continue;
                }
                if (!StagedPathOfRow(staged, stagingFolder, row, report)) continue;
                if (!CopyStoredEntry(staged, pack, static_cast<int32_t>(position), row->size)) {
                    Tell(report, row->name, "cannot be staged: its folder is missing or a folder has its name");
                }
            }
            result = 1;
        } else {
            Tell(report, packPath, problem != nullptr ? problem : "cannot be measured");
        }
        fclose(pack);
        if (result) ExpandStagingTree(stagingFolder, installFolder, report);
        RemoveTree(stagingFolder);
    }
    return result;
}
